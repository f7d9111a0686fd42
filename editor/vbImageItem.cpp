#include "vbImageItem.h"

#include <QCursor>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPen>

vbImageItem::vbImageItem(QGraphicsItem* parent) : QGraphicsItem(parent) {}

vbImageItem::~vbImageItem() = default;

bool vbImageItem::loadImage(const QString& path)
{
    QImage image;
    image.load(path);
    setImage(image);
    return !image.isNull();
}

void vbImageItem::setImage(const QImage& image)
{
    prepareGeometryChange();
    // Premultiplied pixels are what the painter draws fastest.
    m_image = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    update();
}

bool vbImageItem::isTurned() const
{
    const int a = angle();
    return a != 0 && a != 180 && a != -180;
}

QSize vbImageItem::displaySize() const
{
    const QSize s = m_image.size();
    return isTurned() ? s.transposed() : s;
}

QRectF vbImageItem::boundingRect() const
{
    if (m_image.isNull())
        return QRectF(0, 0, 100, 100);
    return QRectF(0, 0, m_image.width(), m_image.height());
}

void vbImageItem::setRazorMode(bool on)
{
    m_razorMode = on;
    m_pressed = false;
    m_edges = vbRazor::Zones();
    m_razorRect = vbRazor::initialRect(boundingRect());
    setAcceptHoverEvents(on);
    if (!on)
        setCursor(Qt::ArrowCursor);
    update();
}

double vbImageItem::itemRatio() const
{
    if (!m_ratioSet || m_ratio <= 0)
        return 0.0;
    return isTurned() ? 1.0 / double(m_ratio) : double(m_ratio);
}

void vbImageItem::setRazorAspect(float ratio)
{
    if (ratio <= 0)
        return;
    m_ratio = ratio;
    m_ratioSet = true;
    m_razorRect = vbRazor::aspectRect(boundingRect(), itemRatio());
    update();
}

void vbImageItem::applyRazor()
{
    if (!m_razorMode)
        return;
    const QRect cut = m_razorRect.toRect().intersected(m_image.rect());
    if (!cut.isEmpty())
        setImage(m_image.copy(cut));
    m_razorMode = false;
    m_pressed = false;
    setAcceptHoverEvents(false);
    setCursor(Qt::ArrowCursor);
    update();
}

void vbImageItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    if (isSelected()) {
        painter->setPen(QPen(Qt::red, 0));
        painter->drawRect(boundingRect());
    }
    // A zoomed photo would shimmer without filtering.
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QPointF(0, 0), m_image);
    if (m_razorMode) {
        painter->save();
        // Cosmetic: two device pixels whatever the zoom and the turn.
        QPen pen(QBrush(Qt::red), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(m_razorRect);
        painter->restore();
    }
    painter->restore();
}

void vbImageItem::hoverMoveEvent(QGraphicsSceneHoverEvent* event)
{
    if (m_razorMode)
        setCursor(vbRazor::cursorFor(vbRazor::hitZones(m_razorRect, event->pos())));
    QGraphicsItem::hoverMoveEvent(event);
}

void vbImageItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (m_razorMode) {
        const vbRazor::Zones zones = vbRazor::hitZones(m_razorRect, event->pos());
        if (zones.outer) {
            m_pressPoint = event->pos();
            m_pressed = true;
            m_edges = zones;
            event->accept();
            return;
        }
    }
    QGraphicsItem::mousePressEvent(event);
}

void vbImageItem::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!m_razorMode || !m_pressed) {
        QGraphicsItem::mouseMoveEvent(event);
        return;
    }
    QRectF r = m_razorRect;
    if (!vbRazor::drag(boundingRect(), r, itemRatio(), m_edges, event->pos() - m_pressPoint))
        return;
    m_razorRect = r;
    m_pressPoint = event->pos();
    // The frame is two device pixels wide at any zoom: repaint the whole
    // picture rather than guess its reach in picture units.
    update();
}

void vbImageItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (m_razorMode) {
        m_pressed = false;
        m_edges = vbRazor::Zones();
    }
    QGraphicsItem::mouseReleaseEvent(event);
}
