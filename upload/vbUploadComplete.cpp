#include "vbUploadComplete.h"

#include "KitButtonFlags.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpacerItem>
#include <QVBoxLayout>

vbUploadComplete::vbUploadComplete(const QString& webAddress, QWidget* parent) : vbKitDialog(parent)
{
    setObjectName(QStringLiteral("vbUploadCompleteClass"));
    setFixedSize(300, 180);
    setWindowTitle(tr("Upload complete"));

    auto* column = new QVBoxLayout(this);
    column->setSpacing(6);
    column->setContentsMargins(1, 1, 1, 10);

    widget = new vbTitleBar(this);
    widget->setObjectName(QStringLiteral("widget"));
    column->addWidget(widget);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    column->addWidget(label);

    auto* choices = new QVBoxLayout;
    choices->setContentsMargins(30, 8, 20, 0);
    radioButton = new QRadioButton(this);
    radioButton->setObjectName(QStringLiteral("radioButton"));
    radioButton_2 = new QRadioButton(this);
    radioButton_2->setObjectName(QStringLiteral("radioButton_2"));
    radioButton_2->setText(QCoreApplication::translate("vbUploadCompleteClass", "continue to upload"));
    choices->addWidget(radioButton);
    choices->addWidget(radioButton_2);
    column->addLayout(choices);
    column->addStretch(1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnOK = new vbPushButton(85, 25, QStringLiteral(":/Resources/ok.png"),
                             QStringLiteral(":/Resources/ok_hover.png"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setText(QCoreApplication::translate("vbUploadCompleteClass", "OK"));
    buttonRow->addWidget(btnOK);
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    column->addLayout(buttonRow);

    widget->setTitle(tr("Upload complete"));
    widget->setButtons(CloseButton);
    // The site by its name; the address is there for those who want it.
    radioButton->setText(tr("Visit the velbrook website"));
    radioButton->setToolTip(webAddress);

    connect(widget, &vbTitleBar::Closed, this, &vbUploadComplete::slot_close);
    connect(btnOK, &vbPushButton::Clicked, this, &vbUploadComplete::slot_ok);
}

void vbUploadComplete::setUploaded(int count)
{
    label->setText(tr("All %n photo(s) uploaded.", nullptr, count));
}

void vbUploadComplete::slot_ok()
{
    if (radioButton->isChecked())
        m_result = VisitSite;
    else if (radioButton_2->isChecked())
        m_result = ContinueUpload;
    accept();
}

void vbUploadComplete::slot_close()
{
    m_result = None;
    accept();
}
