#include "vbMessageBox.h"

#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

vbPushButton* makeButton(const char* name, const char* text, QWidget* parent)
{
    auto* button = new vbPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(85, 25);
    button->setCursor(Qt::PointingHandCursor);
    // Kept as the button's text for accessibility; the bitmap carries the caption.
    button->setText(QCoreApplication::translate("vbMessageBoxClass", text));
    return button;
}

} // namespace

vbMessageBox::vbMessageBox(int flags, const QString& title, const QString& text, QWidget* parent)
    : vbKitDialog(parent)
{
    setObjectName(QStringLiteral("vbMessageBoxClass"));
    resize(279, 133);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(1);
    column->setContentsMargins(1, 1, 1, 5);

    widget = new vbTitleBar(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setMinimumHeight(30);
    column->addWidget(widget);

    auto* textRow = new QHBoxLayout;
    textRow->setSpacing(6);
    textRow->addItem(new QSpacerItem(20, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setWordWrap(true);
    textRow->addWidget(label);
    textRow->addItem(new QSpacerItem(20, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    column->addLayout(textRow);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(5);
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnOK = makeButton("btnOK", QT_TRANSLATE_NOOP("vbMessageBoxClass", "Ok"), this);
    btnOKAll = makeButton("btnOKAll", QT_TRANSLATE_NOOP("vbMessageBoxClass", "Ok"), this);
    btnCancel = makeButton("btnCancel", QT_TRANSLATE_NOOP("vbMessageBoxClass", "Cancel"), this);
    buttonRow->addWidget(btnOK);
    buttonRow->addWidget(btnOKAll);
    buttonRow->addWidget(btnCancel);
    buttonRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    column->addLayout(buttonRow);

    widget->setTitle(title);
    setWindowTitle(title);
    widget->setButtons(flags);
    label->setText(text);

    btnOK->setVisible((flags & OkButton) != 0);
    btnOKAll->setVisible((flags & OkAllButton) != 0);
    btnCancel->setVisible((flags & CancelButton) != 0);

    btnOK->setImages(QStringLiteral(":/Resources/ok.png"), QStringLiteral(":/Resources/ok_hover.png"));
    btnCancel->setImages(QStringLiteral(":/Resources/cancel.png"),
                         QStringLiteral(":/Resources/cancel_hover.png"));
    // No caller shows OK-all yet; should one, it reads "Yes all" rather than nothing.
    btnOKAll->setImages(QStringLiteral(":/Resources/allYes.png"),
                        QStringLiteral(":/Resources/allYes_hover.png"));

    connect(btnOK, &vbPushButton::Clicked, this, &vbMessageBox::on_btnOK_clicked);
    connect(btnOKAll, &vbPushButton::Clicked, this, &vbMessageBox::on_btnOKAll_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbMessageBox::on_btnCancel_clicked);
}

void vbMessageBox::setButtonImages(int which, const QString& normalPath, const QString& hoverPath)
{
    if (which == OkButton)
        btnOK->setImages(normalPath, hoverPath);
    else if (which == CancelButton)
        btnCancel->setImages(normalPath, hoverPath);
}

void vbMessageBox::on_btnOK_clicked()
{
    accept();
}

void vbMessageBox::on_btnOKAll_clicked()
{
    accept();
}

void vbMessageBox::on_btnCancel_clicked()
{
    reject();
}
