#include "vbShowImage.h"

#include "vbFileNode.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {
// Room between the tile and the pop-up.
constexpr int gap = 4;
} // namespace

vbShowImage::vbShowImage(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::CustomizeWindowHint),
      m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("vbShowImage"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_timer->setSingleShot(true);
    m_timer->setInterval(2000);
    connect(m_timer, &QTimer::timeout, this, &vbShowImage::timeout);
    hide();
}

int vbShowImage::hideInterval() const
{
    return m_timer->interval();
}

void vbShowImage::setHideInterval(int ms)
{
    m_timer->setInterval(ms);
}

QRect vbShowImage::placement(const QRect& tile, const QSize& size, const QRect& available)
{
    int x = tile.right() + 1 + gap;
    if (x + size.width() - 1 > available.right()) {
        const int left = tile.left() - gap - size.width();
        if (left >= available.left())
            x = left;
        else
            x = available.right() + 1 - size.width();
    }
    x = qMax(x, available.left());
    int y = qMin(tile.top(), available.bottom() + 1 - size.height());
    y = qMax(y, available.top());
    return QRect(QPoint(x, y), size);
}

void vbShowImage::showFor(vbFileNode* node, const QRect& tileGlobalRect)
{
    const QImage image = node ? node->thumbnail() : QImage();
    if (image.isNull()) {
        hideNow();
        return;
    }
    if (m_node != node) {
        if (m_node)
            disconnect(m_node, nullptr, this, nullptr);
        // A photo removed from the list takes its preview with it.
        connect(node, &QObject::destroyed, this, [this] {
            m_timer->stop();
            hide();
        });
    }
    m_node = node;
    m_image = image;

    QScreen* screen = QGuiApplication::screenAt(tileGlobalRect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), image.size());
    setGeometry(placement(tileGlobalRect, image.size(), available));
    show();
    raise();
    update();
    m_timer->start();
}

void vbShowImage::timeout()
{
    hideNow();
}

void vbShowImage::hideNow()
{
    m_timer->stop();
    hide();
    vbFileNode* node = m_node;
    if (node)
        disconnect(node, nullptr, this, nullptr);
    m_node = nullptr;
    m_image = QImage();
    if (node)
        emit sig_previewHidden(node);
}

void vbShowImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_image.isNull())
        return;
    painter.drawImage(0, 0, m_image);
    // A thin frame in the tiles' selection colour sets the pop-up off the list.
    painter.setPen(QColor(181, 197, 230));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void vbShowImage::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    hideNow();
}
