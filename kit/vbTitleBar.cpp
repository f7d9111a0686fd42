#include "vbTitleBar.h"

#include "KitButtonFlags.h"
#include "vbKitStyle.h"
#include "vbPushButton.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

vbTitleBar::vbTitleBar(QWidget* owner)
    : QWidget(owner), m_owner(owner),
      m_btnMin(new vbPushButton(25, 20, QStringLiteral(":/Resources/min.png"),
                                QStringLiteral(":/Resources/min_hover.png"), this)),
      m_btnMax(new vbPushButton(25, 20, QStringLiteral(":/Resources/max.png"),
                                QStringLiteral(":/Resources/max_hover.png"), this)),
      m_btnClose(new vbPushButton(25, 20, QStringLiteral(":/Resources/closeWnd.png"),
                                  QStringLiteral(":/Resources/closeWnd_hover.png"), this))
{
    setFixedHeight(30);
    m_btnMin->setObjectName(QStringLiteral("btnMin"));
    m_btnMax->setObjectName(QStringLiteral("btnMax"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->setAlignment(Qt::AlignRight);
    layout->addWidget(m_btnMin);
    layout->addWidget(m_btnMax);
    layout->addWidget(m_btnClose);

    connect(m_btnClose, &vbPushButton::Clicked, this, &vbTitleBar::slot_closed);
    connect(m_btnMin, &vbPushButton::Clicked, this, &vbTitleBar::showSmall);
    connect(m_btnMax, &vbPushButton::Clicked, this, &vbTitleBar::showMaxRestore);
}

void vbTitleBar::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void vbTitleBar::setButtons(int flags)
{
    const std::pair<vbPushButton*, int> buttons[] = {
        {m_btnMin, MinButton}, {m_btnMax, MaxButton}, {m_btnClose, CloseButton}};
    for (const auto& [button, bit] : buttons) {
        const bool on = (flags & bit) != 0;
        button->setEnabled(on);
        button->setVisible(on);
    }
}

void vbTitleBar::slot_closed()
{
    emit Closed();
}

void vbTitleBar::showSmall()
{
    ownerWindow()->showMinimized();
}

void vbTitleBar::showMaxRestore()
{
    if (!m_maximised) {
        ownerWindow()->showMaximized();
        m_maximised = true;
        m_btnMax->setImages(QStringLiteral(":/Resources/normal.png"),
                            QStringLiteral(":/Resources/normal_hover.png"));
    } else {
        ownerWindow()->showNormal();
        m_maximised = false;
        m_btnMax->setImages(QStringLiteral(":/Resources/max.png"),
                            QStringLiteral(":/Resources/max_hover.png"));
    }
}

void vbTitleBar::mousePressEvent(QMouseEvent* event)
{
    m_drag.press(this, ownerWindow(), event, !m_maximised);
}

void vbTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    m_drag.move(ownerWindow(), event, !m_maximised);
}

void vbTitleBar::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, vbKit::titleGradientTop());
        gradient.setColorAt(1, vbKit::titleGradientBottom());
        painter.fillRect(rect(), gradient);
        painter.drawText(5, height() - 5, m_title);
    }
    QWidget::paintEvent(event);
}

QWidget* vbTitleBar::ownerWindow() const
{
    // The owner is normally the window itself; if a form nests the bar in a
    // container, the window around it is what moves.
    return m_owner ? m_owner->window() : window();
}
