#include "vbUploadAgainBox.h"

#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {
constexpr int kPictureBox = 122;

vbPushButton* makeButton(const char* name, const QString& image, const char* text, QWidget* parent)
{
    auto* button =
        new vbPushButton(85, 25, QStringLiteral(":/Resources/") + image + QStringLiteral(".png"),
                         QStringLiteral(":/Resources/") + image + QStringLiteral("_hover.png"), parent);
    button->setObjectName(QLatin1String(name));
    // Kept for accessibility; the bitmap carries the caption.
    if (text)
        button->setText(QCoreApplication::translate("vbUploadAgainBoxClass", text));
    return button;
}
} // namespace

vbUploadAgainBox::vbUploadAgainBox(const QImage& thumbnail, const QString& filePath, QWidget* parent)
    : vbKitDialog(parent)
{
    setObjectName(QStringLiteral("vbUploadAgainBoxClass"));
    setFixedSize(400, 220);
    setWindowTitle(tr("Tips"));

    auto* column = new QVBoxLayout(this);
    column->setSpacing(6);
    column->setContentsMargins(1, 1, 1, 10);

    widget = new vbTitleBar(this);
    widget->setObjectName(QStringLiteral("widget"));
    column->addWidget(widget);

    auto* contentRow = new QHBoxLayout;
    contentRow->setSpacing(12);
    contentRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    lblImage = new QLabel(this);
    lblImage->setObjectName(QStringLiteral("lblImage"));
    lblImage->setFixedSize(kPictureBox, kPictureBox);
    lblImage->setAlignment(Qt::AlignCenter);
    contentRow->addWidget(lblImage);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setWordWrap(true);
    contentRow->addWidget(label, 1);
    contentRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    column->addLayout(contentRow);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(5);
    buttonRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnYes = makeButton("btnYes", QStringLiteral("yes"), nullptr, this);
    btnYesAll = makeButton("btnYesAll", QStringLiteral("allYes"),
                           QT_TRANSLATE_NOOP("vbUploadAgainBoxClass", "Yes all"), this);
    btnNo = makeButton("btnNo", QStringLiteral("no"), nullptr, this);
    btnNoAll = makeButton("btnNoAll", QStringLiteral("allNo"),
                          QT_TRANSLATE_NOOP("vbUploadAgainBoxClass", "No all"), this);
    buttonRow->addWidget(btnYes);
    buttonRow->addWidget(btnYesAll);
    buttonRow->addWidget(btnNo);
    buttonRow->addWidget(btnNoAll);
    buttonRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    column->addLayout(buttonRow);

    widget->setTitle(tr("Tips"));
    label->setText(QFileInfo(filePath).completeBaseName() + QLatin1Char('\n') +
                   tr("This photo has been upload.Do you want upload again?"));

    if (!thumbnail.isNull()) {
        QPixmap picture = QPixmap::fromImage(thumbnail);
        if (picture.width() >= kPictureBox || picture.height() >= kPictureBox)
            picture = picture.scaled(kPictureBox, kPictureBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        lblImage->setPixmap(picture);
    }

    connect(btnYes, &vbPushButton::Clicked, this, &vbUploadAgainBox::on_btnYes_clicked);
    connect(btnYesAll, &vbPushButton::Clicked, this, &vbUploadAgainBox::on_btnYesAll_clicked);
    connect(btnNo, &vbPushButton::Clicked, this, &vbUploadAgainBox::on_btnNo_clicked);
    connect(btnNoAll, &vbPushButton::Clicked, this, &vbUploadAgainBox::on_btnNoAll_clicked);
    // Closing through the title bar is the same as Escape: the answer stays Yes.
    connect(widget, &vbTitleBar::Closed, this, &QDialog::reject);
}

void vbUploadAgainBox::on_btnYes_clicked()
{
    m_result = Yes;
    accept();
}

void vbUploadAgainBox::on_btnYesAll_clicked()
{
    m_result = YesAll;
    accept();
}

void vbUploadAgainBox::on_btnNo_clicked()
{
    m_result = No;
    reject();
}

void vbUploadAgainBox::on_btnNoAll_clicked()
{
    m_result = NoAll;
    reject();
}
