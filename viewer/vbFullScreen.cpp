#include "vbFullScreen.h"

#include <QMouseEvent>
#include <QPainter>

vbFullScreen::vbFullScreen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("vbFullScreenClass"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    setWindowTitle(tr("Full screen"));
    // The paint event covers the whole window.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(400, 300);
    // Shown here already, so exec() would not make it modal any more.
    setWindowModality(Qt::ApplicationModal);
    showMaximized();
}

void vbFullScreen::setImagePath(const QString& path)
{
    m_imagePath = path;
    update();
}

QRect vbFullScreen::pictureRect()
{
    QRect target;
    if (!m_imagePath.isEmpty())
        m_picture.image(m_imagePath, size(), &target);
    return target;
}

void vbFullScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_picture.paint(painter, rect(), m_imagePath);
}

void vbFullScreen::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    accept();
}
