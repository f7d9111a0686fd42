#include "vbToolPanel.h"

#include "vbClickLabel.h"
#include "vbKitStyle.h"
#include "vbPushButton.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

QString form(const char* text)
{
    return QCoreApplication::translate("vbToolPanelClass", text);
}

vbPushButton* imageButton(const char* name, int w, int h, const QString& image, QWidget* parent)
{
    auto* button =
        new vbPushButton(w, h, QStringLiteral(":/Resources/") + image + QStringLiteral(".png"),
                         QStringLiteral(":/Resources/") + image + QStringLiteral("_hover.png"), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QSpacerItem* stretch()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

} // namespace

vbToolPanel::vbToolPanel(QWidget* owner) : QWidget(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("vbToolPanelClass"));
    setMinimumHeight(85);
    setMaximumHeight(88);

    lblLogo = new vbClickLabel(this);
    lblLogo->setObjectName(QStringLiteral("lblLogo"));
    lblLogo->setFixedSize(200, 45);
    lblLogo->setPixmap(QPixmap(QStringLiteral("://Resources/logo.png")));

    lblLoginInfo = new QLabel(this);
    lblLoginInfo->setObjectName(QStringLiteral("lblLoginInfo"));
    lblLoginInfo->setMinimumSize(150, 25);

    btnLogin = imageButton("btnLogin", 32, 17, QStringLiteral("login"), this);
    btnRegister = imageButton("btnRegister", 32, 17, QStringLiteral("register"), this);
    btnRegister->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "Register")));
    btnTask = imageButton("btnTask", 32, 17, QStringLiteral("task"), this);
    btnTask->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "task")));
    btnHelp = imageButton("btnHelp", 32, 17, QStringLiteral("help"), this);
    btnHelp->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "Help")));
    btnViewMode = imageButton("btnViewMode", 69, 17, QStringLiteral("viewMode"), this);
    btnMin = imageButton("btnMin", 25, 20, QStringLiteral("min"), this);
    btnNormal = imageButton("btnNormal", 25, 20, QStringLiteral("max"), this);
    btnClose = imageButton("btnClose", 25, 20, QStringLiteral("closeWnd"), this);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "Photo upload to:")));
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setMinimumWidth(150);
    lblCreate = new vbClickLabel(this);
    lblCreate->setObjectName(QStringLiteral("lblCreate"));
    lblCreate->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "Create Album")));
    vbKit::applyLinkLook(lblCreate);

    lblSelectCount = new QLabel(this);
    lblSelectCount->setObjectName(QStringLiteral("lblSelectCount"));
    lblSelectCount->setMinimumWidth(200);
    lblSelectCount->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "You have no select photo!")));
    btnSelectFile = imageButton("btnSelectFile", 85, 25, QStringLiteral("addPhoto"), this);
    btnSelectFile->setText(form(QT_TRANSLATE_NOOP("vbToolPanelClass", "Select Files")));

    auto* outer = new QHBoxLayout(this);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 5, 10, 5);
    outer->addWidget(lblLogo);
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    outer->addLayout(column);

    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(lblLoginInfo);
    top->addItem(stretch());
    for (QWidget* w :
         {static_cast<QWidget*>(btnLogin), static_cast<QWidget*>(btnRegister), static_cast<QWidget*>(btnTask),
          static_cast<QWidget*>(btnHelp), static_cast<QWidget*>(btnViewMode), static_cast<QWidget*>(btnMin),
          static_cast<QWidget*>(btnNormal), static_cast<QWidget*>(btnClose)})
        top->addWidget(w);
    column->addLayout(top);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(6);
    middle->addWidget(label);
    middle->addWidget(comboBox);
    middle->addWidget(lblCreate);
    middle->addItem(stretch());
    column->addLayout(middle);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(lblSelectCount);
    bottom->addItem(stretch());
    bottom->addWidget(btnSelectFile);
    column->addLayout(bottom);

    m_menu = new QMenu(this);
    m_actSmallIcon = m_menu->addAction(tr("Samll Icon mode"));
    m_actBigIcon = m_menu->addAction(tr("Big Icon mode"));
    m_actList = m_menu->addAction(tr("List mode"));
    m_actPlay = m_menu->addAction(tr("Play mode"));
    for (QAction* action : {m_actSmallIcon, m_actBigIcon, m_actList})
        action->setCheckable(true);
    m_actSmallIcon->setChecked(true);
    btnViewMode->setMenu(m_menu);

    connect(btnMin, &vbPushButton::Clicked, this, &vbToolPanel::slot_min);
    connect(btnNormal, &vbPushButton::Clicked, this, &vbToolPanel::slot_normal);
}

void vbToolPanel::slot_min()
{
    ownerWindow()->showMinimized();
}

void vbToolPanel::slot_normal()
{
    if (!m_maximised) {
        emit showMax(true);
        btnNormal->setImages(QStringLiteral(":/Resources/normal.png"),
                             QStringLiteral(":/Resources/normal_hover.png"));
        m_maximised = true;
    } else {
        emit showMax(false);
        btnNormal->setImages(QStringLiteral(":/Resources/max.png"),
                             QStringLiteral(":/Resources/max_hover.png"));
        m_maximised = false;
    }
}

void vbToolPanel::mousePressEvent(QMouseEvent* event)
{
    m_drag.press(this, ownerWindow(), event, !m_maximised);
}

void vbToolPanel::mouseDoubleClickEvent(QMouseEvent*)
{
    slot_normal();
}

void vbToolPanel::mouseMoveEvent(QMouseEvent* event)
{
    m_drag.move(ownerWindow(), event, !m_maximised);
}

void vbToolPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, vbKit::panelGradientTop());
    gradient.setColorAt(1, vbKit::panelGradientBottom());
    painter.fillRect(rect(), gradient);
}

QWidget* vbToolPanel::ownerWindow() const
{
    return m_owner ? m_owner->window() : window();
}
