#include "vbBaseItem.h"

#include <QGraphicsItem>
#include <QTransform>

vbBaseItem::~vbBaseItem() = default;

QGraphicsItem* vbBaseItem::graphicsItem()
{
    return dynamic_cast<QGraphicsItem*>(this);
}

void vbBaseItem::setAngle(int a)
{
    const int delta = a - m_angle;
    m_angle = a % 360;
    QGraphicsItem* item = graphicsItem();
    if (!item)
        return;
    const QRectF bounds = item->boundingRect();
    const double cx = qRound(bounds.width()) / 2;
    const double cy = qRound(bounds.height()) / 2;
    QTransform t;
    t.translate(cx, cy);
    t.rotate(delta);
    t.translate(-cx, -cy);
    item->setTransform(t, true);
}

void vbBaseItem::setItemScale(double sx, double sy)
{
    QGraphicsItem* item = graphicsItem();
    if (item) {
        const QRectF bounds = item->boundingRect();
        const double cx = int(bounds.width() * 0.5);
        const double cy = int(bounds.height() * 0.5);
        QTransform t;
        t.translate(cx, cy);
        t.rotate(m_angle);
        t.translate(-cx, -cy);
        t.translate(cx, cy);
        t.scale(sx, sy);
        t.translate(-cx, -cy);
        item->setTransform(t);
    }
    m_scaleX = sx;
    m_scaleY = sy;
}
