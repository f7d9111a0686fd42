#include "vbStatusBar.h"

#include "vbClickLabel.h"
#include "vbKitStyle.h"
#include "vbPushButton.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>

vbStatusBar::vbStatusBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vbStatusBarClass"));
    resize(513, 45);
    setMinimumHeight(45);
    setMaximumHeight(60);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(5, 2, 10, 2);
    row->setSpacing(5);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumSize(200, 30);
    row->addWidget(lblStatus);
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    lblDeleteAll = new vbClickLabel(this);
    lblDeleteAll->setObjectName(QStringLiteral("lblDeleteAll"));
    lblDeleteAll->setText(QCoreApplication::translate("vbStatusBarClass", "Remove All"));
    vbKit::applyLinkLook(lblDeleteAll);
    row->addWidget(lblDeleteAll);
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    btnUpload = new vbPushButton(84, 25, QStringLiteral(":/Resources/upload.png"),
                                 QStringLiteral(":/Resources/upload_hover.png"), this);
    btnUpload->setObjectName(QStringLiteral("btnUpload"));
    btnUpload->setText(QCoreApplication::translate("vbStatusBarClass", "Upload"));
    row->addWidget(btnUpload);

    btnClose = new vbPushButton(84, 25, QStringLiteral(":/Resources/close.png"),
                                QStringLiteral(":/Resources/close_hover.png"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setText(QCoreApplication::translate("vbStatusBarClass", "Close"));
    row->addWidget(btnClose);

    lblDeleteAll->hide();
}
