#include "vbGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace {

// Maps the unit square onto box.
struct Unit
{
    QRectF box;
    QPointF p(qreal x, qreal y) const { return {box.left() + x * box.width(), box.top() + y * box.height()}; }
    qreal s(qreal v) const { return v * box.width(); }
    QRectF r(qreal x, qreal y, qreal w, qreal h) const { return {p(x, y), QSizeF(s(w), s(h))}; }
};

QPainterPath arrowHead(QPointF tip, qreal angleDeg, qreal size)
{
    // A filled triangle whose tip points along angleDeg (screen degrees, y down).
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotate(angleDeg);
    QPainterPath head;
    head.moveTo(0, 0);
    head.lineTo(-size, -size * 0.6);
    head.lineTo(-size, size * 0.6);
    head.closeSubpath();
    return t.map(head);
}

void rotateArrow(QPainter& painter, const Unit& u, const QColor& colour, bool clockwise)
{
    // A 300-degree arc open at the top; the head sits where the travel ends,
    // just beside the top, pointing the way the picture turns.
    const QRectF circle = u.r(0.2, 0.2, 0.6, 0.6);
    const qreal start = clockwise ? 20.0 : 160.0;
    const qreal sweep = clockwise ? -300.0 : 300.0;
    QPainterPath arc;
    arc.arcMoveTo(circle, start);
    arc.arcTo(circle, start, sweep);
    painter.drawPath(arc);

    const qreal end = qDegreesToRadians(start + sweep);
    const qreal sign = sweep > 0 ? 1.0 : -1.0;
    const QPointF direction(-std::sin(end) * sign, -std::cos(end) * sign); // screen y points down
    const qreal heading = qRadiansToDegrees(std::atan2(direction.y(), direction.x()));
    const QPointF tip = arc.currentPosition() + direction * u.s(0.1);
    painter.fillPath(arrowHead(tip, heading, u.s(0.17)), colour);
}

void magnifier(QPainter& painter, const Unit& u, bool plus)
{
    painter.drawEllipse(u.r(0.16, 0.16, 0.5, 0.5));
    QPen pen = painter.pen();
    const QPen thin = pen;
    pen.setWidthF(pen.widthF() * 1.6);
    painter.setPen(pen);
    painter.drawLine(u.p(0.6, 0.6), u.p(0.84, 0.84));
    painter.setPen(thin);
    painter.drawLine(u.p(0.29, 0.41), u.p(0.53, 0.41));
    if (plus)
        painter.drawLine(u.p(0.41, 0.29), u.p(0.41, 0.53));
}

} // namespace

void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& colour)
{
    const Unit u{box};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, qMax(1.5, u.s(0.09)), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    switch (glyph) {
    case Glyph::Minimise:
        painter.drawLine(u.p(0.25, 0.7), u.p(0.75, 0.7));
        break;
    case Glyph::Maximise:
        painter.drawRect(u.r(0.25, 0.25, 0.5, 0.5));
        painter.drawLine(u.p(0.25, 0.3), u.p(0.75, 0.3));
        break;
    case Glyph::Restore:
        painter.drawRect(u.r(0.22, 0.38, 0.4, 0.4));
        painter.drawPolyline(
            QPolygonF{u.p(0.38, 0.38), u.p(0.38, 0.22), u.p(0.78, 0.22), u.p(0.78, 0.62), u.p(0.62, 0.62)});
        break;
    case Glyph::Close:
    case Glyph::Remove:
        painter.drawLine(u.p(0.28, 0.28), u.p(0.72, 0.72));
        painter.drawLine(u.p(0.72, 0.28), u.p(0.28, 0.72));
        break;
    case Glyph::ZoomIn:
    case Glyph::ZoomOut:
        magnifier(painter, u, glyph == Glyph::ZoomIn);
        break;
    case Glyph::RotateLeft:
    case Glyph::RotateRight:
        rotateArrow(painter, u, colour, glyph == Glyph::RotateRight);
        break;
    case Glyph::Crop:
        // Two interlocking corner brackets and a diagonal cut.
        painter.drawPolyline(QPolygonF{u.p(0.3, 0.12), u.p(0.3, 0.7), u.p(0.88, 0.7)});
        painter.drawPolyline(QPolygonF{u.p(0.12, 0.3), u.p(0.7, 0.3), u.p(0.7, 0.88)});
        pen.setWidthF(pen.widthF() * 0.6);
        painter.setPen(pen);
        painter.drawLine(u.p(0.38, 0.62), u.p(0.62, 0.38));
        break;
    case Glyph::Play: {
        QPainterPath path;
        path.moveTo(u.p(0.34, 0.22));
        path.lineTo(u.p(0.78, 0.5));
        path.lineTo(u.p(0.34, 0.78));
        path.closeSubpath();
        painter.setBrush(colour);
        painter.drawPath(path);
        break;
    }
    case Glyph::Pause:
        painter.setBrush(colour);
        painter.drawRoundedRect(u.r(0.28, 0.24, 0.14, 0.52), u.s(0.03), u.s(0.03));
        painter.drawRoundedRect(u.r(0.58, 0.24, 0.14, 0.52), u.s(0.03), u.s(0.03));
        break;
    case Glyph::Previous:
    case Glyph::Next: {
        const bool next = glyph == Glyph::Next;
        const qreal dir = next ? 1 : -1;
        const qreal cx = 0.5;
        QPainterPath path;
        path.moveTo(u.p(cx - dir * 0.22, 0.26));
        path.lineTo(u.p(cx + dir * 0.14, 0.5));
        path.lineTo(u.p(cx - dir * 0.22, 0.74));
        path.closeSubpath();
        painter.setBrush(colour);
        painter.drawPath(path);
        painter.drawLine(u.p(cx + dir * 0.22, 0.26), u.p(cx + dir * 0.22, 0.74));
        break;
    }
    case Glyph::Exit:
        // An open door frame with an arrow leaving it.
        painter.drawPolyline(QPolygonF{u.p(0.52, 0.3), u.p(0.52, 0.2), u.p(0.2, 0.2), u.p(0.2, 0.8),
                                       u.p(0.52, 0.8), u.p(0.52, 0.7)});
        painter.drawLine(u.p(0.38, 0.5), u.p(0.72, 0.5));
        painter.fillPath(arrowHead(u.p(0.86, 0.5), 0, u.s(0.17)), colour);
        break;
    case Glyph::Info:
        painter.drawEllipse(u.r(0.14, 0.14, 0.72, 0.72));
        painter.drawLine(u.p(0.5, 0.45), u.p(0.5, 0.7));
        painter.setBrush(colour);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(u.p(0.5, 0.32), u.s(0.06), u.s(0.06));
        break;
    case Glyph::FullScreen:
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}}) {
            const qreal cx = 0.2 + x * 0.6;
            const qreal cy = 0.2 + y * 0.6;
            const qreal dx = x ? -0.2 : 0.2;
            const qreal dy = y ? -0.2 : 0.2;
            painter.drawPolyline(QPolygonF{u.p(cx + dx, cy), u.p(cx, cy), u.p(cx, cy + dy)});
        }
        break;
    case Glyph::Edit: {
        // A pencil lying from bottom-left to top-right.
        QPainterPath pencil;
        pencil.moveTo(u.p(0.22, 0.78));
        pencil.lineTo(u.p(0.27, 0.6));
        pencil.lineTo(u.p(0.64, 0.23));
        pencil.lineTo(u.p(0.77, 0.36));
        pencil.lineTo(u.p(0.4, 0.73));
        pencil.closeSubpath();
        painter.drawPath(pencil);
        painter.drawLine(u.p(0.27, 0.6), u.p(0.4, 0.73));
        break;
    }
    case Glyph::Check:
        pen.setWidthF(u.s(0.13));
        painter.setPen(pen);
        painter.drawPolyline(QPolygonF{u.p(0.26, 0.52), u.p(0.43, 0.68), u.p(0.75, 0.32)});
        break;
    case Glyph::Failed:
        pen.setWidthF(u.s(0.13));
        painter.setPen(pen);
        painter.drawLine(u.p(0.5, 0.24), u.p(0.5, 0.56));
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(u.p(0.5, 0.74), u.s(0.075), u.s(0.075));
        break;
    case Glyph::Plus:
        painter.drawLine(u.p(0.5, 0.22), u.p(0.5, 0.78));
        painter.drawLine(u.p(0.22, 0.5), u.p(0.78, 0.5));
        break;
    case Glyph::Photo: {
        painter.drawRoundedRect(u.r(0.1, 0.2, 0.8, 0.6), u.s(0.06), u.s(0.06));
        QPainterPath hills;
        hills.moveTo(u.p(0.16, 0.74));
        hills.lineTo(u.p(0.38, 0.46));
        hills.lineTo(u.p(0.52, 0.62));
        hills.lineTo(u.p(0.64, 0.52));
        hills.lineTo(u.p(0.84, 0.74));
        hills.closeSubpath();
        painter.setBrush(colour);
        painter.setPen(Qt::NoPen);
        painter.drawPath(hills);
        painter.drawEllipse(u.p(0.7, 0.34), u.s(0.06), u.s(0.06));
        break;
    }
    }
    painter.restore();
}
