#include "vbRazorGeometry.h"

#include "vbFitSize.h"

namespace vbRazor {

QRectF initialRect(const QRectF& bounds)
{
    const double dx = bounds.width() / 10.0;
    const double dy = bounds.height() / 10.0;
    return bounds.adjusted(dx, dy, -dx, -dy);
}

QRectF aspectRect(const QRectF& bounds, double ratio)
{
    if (ratio <= 0)
        return initialRect(bounds);
    const QSize s =
        fitSize(bounds.width(), bounds.width() / ratio, 0.95 * bounds.width(), 0.95 * bounds.height());
    return QRectF((bounds.width() - s.width()) * 0.5, (bounds.height() - s.height()) * 0.5, s.width(),
                  s.height());
}

QRectF fitRect(const QRectF& bounds, const QRectF& r)
{
    const QSize s = fitSize(r.width(), r.height(), bounds.width(), bounds.height());
    return QRectF((bounds.width() - s.width()) * 0.5, (bounds.height() - s.height()) * 0.5, s.width(),
                  s.height());
}

Zones hitZones(const QRectF& r, const QPointF& p)
{
    const double g = edgeGrip;
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    Zones z;
    z.outer = QRectF(x - g, y - g, w + 2 * g, h + 2 * g).contains(p);
    z.left = QRectF(x - g, y, 2 * g, h).contains(p);
    z.right = QRectF(x + w - g, y, 2 * g, h).contains(p);
    z.top = QRectF(x, y - g, w, 2 * g).contains(p);
    z.bottom = QRectF(x, y + h - g, w, 2 * g).contains(p);
    return z;
}

Qt::CursorShape cursorFor(const Zones& zones)
{
    if (!zones.outer)
        return Qt::ArrowCursor;
    if (zones.left || zones.right)
        return Qt::SizeHorCursor;
    if (zones.top || zones.bottom)
        return Qt::SizeVerCursor;
    return Qt::SizeAllCursor;
}

namespace {

// A rectangle fitted from a vanished or inverted size means the drag went
// through the opposite edge.
bool usable(const QRectF& r)
{
    return r.width() >= 1.0 && r.height() >= 1.0;
}

} // namespace

bool drag(const QRectF& bounds, QRectF& rect, double ratio, const Zones& edges, const QPointF& delta)
{
    const double dx = delta.x();
    const double dy = delta.y();
    if (ratio <= 0)
        ratio = bounds.height() > 0 ? bounds.width() / bounds.height() : 1.0;
    QRectF r = rect;
    bool changed = false;

    if (edges.left) {
        if (r.x() + dx < 0)
            return false;
        r.setX(r.x() + dx); // moves the left edge, the width follows
        r.setHeight(r.width() / ratio);
        if (!usable(r))
            return false;
        r = fitRect(bounds, r);
        changed = true;
    }
    if (edges.right) {
        if (bounds.x() + bounds.width() < r.x() + r.width() + dx)
            return false;
        r.setWidth(r.width() + dx);
        r.setHeight(r.width() / ratio);
        if (!usable(r))
            return false;
        r = fitRect(bounds, r);
        changed = true;
    }
    if (edges.top) {
        if (r.y() + dy < 0)
            return false;
        r.setY(r.y() + dy);
        r.setWidth(ratio * r.height());
        if (!usable(r))
            return false;
        r = fitRect(bounds, r);
        changed = true;
    }
    if (edges.bottom) {
        if (bounds.y() + bounds.height() < r.y() + r.height() + dy)
            return false;
        r.setHeight(r.height() + dy);
        r.setWidth(ratio * r.height());
        if (!usable(r))
            return false;
        r = fitRect(bounds, r);
        changed = true;
    }
    if (!changed) {
        if (r.x() + dx > 0 && r.x() + r.width() + dx < bounds.x() + bounds.width())
            r.translate(dx, 0);
        if (r.y() + dy > 0 && r.y() + r.height() + dy < bounds.y() + bounds.height())
            r.translate(0, dy);
    }
    rect = r;
    return true;
}

} // namespace vbRazor
