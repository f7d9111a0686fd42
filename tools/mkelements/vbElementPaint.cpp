#include "vbElementPaint.h"

#include <QPainter>
#include <QtMath>

namespace vbElementPaint {

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginPainter(QPainter& p, QImage& image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// A soft shadow of path: its shape in colour, blurred by a few box passes.
void drawShadow(QPainter& p, const QPainterPath& path, const QSize& size, QPointF offset, int radius,
                QColor colour)
{
    QImage layer = canvas(size.width(), size.height());
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.setPen(Qt::NoPen);
        lp.setBrush(colour);
        lp.drawPath(path.translated(offset));
    }
    const int w = layer.width(), h = layer.height();
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 0; horizontal < 2; ++horizontal) {
            QImage next = canvas(w, h);
            for (int y = 0; y < h; ++y) {
                const QRgb* src = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
                QRgb* dst = reinterpret_cast<QRgb*>(next.scanLine(y));
                for (int x = 0; x < w; ++x) {
                    int a = 0, r = 0, g = 0, b = 0, n = 0;
                    for (int k = -radius; k <= radius; ++k) {
                        const int sx = horizontal ? x + k : x;
                        const int sy = horizontal ? y : y + k;
                        if (sx < 0 || sx >= w || sy < 0 || sy >= h)
                            continue;
                        const QRgb c =
                            horizontal ? src[sx] : reinterpret_cast<const QRgb*>(layer.constScanLine(sy))[x];
                        a += qAlpha(c), r += qRed(c), g += qGreen(c), b += qBlue(c), ++n;
                    }
                    dst[x] = n ? qRgba(r / n, g / n, b / n, a / n) : 0;
                }
            }
            layer = next;
        }
    }
    p.drawImage(0, 0, layer);
}

QPainterPath starPath(QPointF c, double outer, double inner, int points, double turnDegrees)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = qDegreesToRadians(turnDegrees + i * 180.0 / points);
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath heartPath(const QRectF& r)
{
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    QPainterPath path;
    path.moveTo(x + w * 0.5, y + h * 0.25);
    path.cubicTo(x + w * 0.5, y + h * 0.05, x + w * 0.1, y - h * 0.02, x + w * 0.03, y + h * 0.28);
    path.cubicTo(x - w * 0.04, y + h * 0.55, x + w * 0.3, y + h * 0.75, x + w * 0.5, y + h);
    path.cubicTo(x + w * 0.7, y + h * 0.75, x + w * 1.04, y + h * 0.55, x + w * 0.97, y + h * 0.28);
    path.cubicTo(x + w * 0.9, y - h * 0.02, x + w * 0.5, y + h * 0.05, x + w * 0.5, y + h * 0.25);
    path.closeSubpath();
    return path;
}

QLinearGradient goldGradient(QPointF from, QPointF to)
{
    QLinearGradient g(from, to);
    g.setColorAt(0.0, QColor(255, 236, 150));
    g.setColorAt(0.3, QColor(212, 160, 48));
    g.setColorAt(0.55, QColor(250, 220, 120));
    g.setColorAt(0.8, QColor(178, 122, 30));
    g.setColorAt(1.0, QColor(240, 200, 100));
    return g;
}

// A small shiny sphere.
void pearl(QPainter& p, QPointF c, double r, QColor tint)
{
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.35), r * 1.3);
    g.setColorAt(0, Qt::white);
    g.setColorAt(0.5, tint);
    g.setColorAt(1, tint.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void gloss(QPainter& p, const QRectF& r, int alpha)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(r);
}

} // namespace vbElementPaint
