#include "vbPaintWnd.h"

#include <QPainter>

vbPaintWnd::vbPaintWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vbPaintWndClass"));
    resize(400, 300);
    // Every pixel is painted, black where there is no picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void vbPaintWnd::setImagePath(const QString& path)
{
    m_imagePath = path;
    update();
}

QRect vbPaintWnd::pictureRect()
{
    QRect target;
    if (!m_imagePath.isEmpty())
        m_picture.image(m_imagePath, size(), &target);
    return target;
}

void vbPaintWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_picture.paint(painter, rect(), m_imagePath);
}
