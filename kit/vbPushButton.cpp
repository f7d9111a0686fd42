#include "vbPushButton.h"

#include <QMouseEvent>
#include <QPainter>

vbPushButton::vbPushButton(QWidget* parent) : QPushButton(parent) {}

vbPushButton::vbPushButton(int width, int height, const QString& normalPath, const QString& hoverPath,
                           QWidget* parent)
    : QPushButton(parent), m_normalImage(normalPath), m_hoverImage(hoverPath)
{
    setFixedSize(width, height);
    setCursor(Qt::PointingHandCursor);
}

void vbPushButton::setImages(const QString& normalPath, const QString& hoverPath)
{
    m_normalImage = QPixmap(normalPath);
    m_hoverImage = hoverPath.isEmpty() ? m_normalImage : QPixmap(hoverPath);
    m_hovered = false;
    update();
}

void vbPushButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The base handler would only emit clicked() for a left release inside;
    // this button reports any release after a press on it.
    setDown(false);
    if (isEnabled())
        emit Clicked();
    event->accept();
}

void vbPushButton::enterEvent(QEnterEvent* event)
{
    if (isEnabled()) {
        m_hovered = true;
        update();
    }
    QPushButton::enterEvent(event);
}

void vbPushButton::leaveEvent(QEvent* event)
{
    if (isEnabled()) {
        m_hovered = false;
        update();
    }
    QPushButton::leaveEvent(event);
}

void vbPushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // A disabled button (while an upload runs) is drawn faded so that it
    // does not look as if it would answer a click.
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QPixmap& image = currentImage();
    if (!image.isNull())
        painter.drawPixmap(QRect(0, 0, width(), height()), image);
}
