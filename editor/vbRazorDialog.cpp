#include "vbRazorDialog.h"

#include "KitButtonFlags.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct PrintSize
{
    const char* name;
    float ratio;
    int minWidth;
    int minHeight;
};

// The big prints from 16S up need 1953 lines, not a 4:3 share of 2048.
const PrintSize printSizes[] = {
    {QT_TRANSLATE_NOOP("vbRazorDialog", "5S"), 10.0f / 7.0f, 800, 600},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "6S"), 1.5f, 1024, 768},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "Full 6S"), 4.0f / 3.0f, 1024, 768},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "7S"), 1.4f, 1280, 960},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "8S"), 4.0f / 3.0f, 1280, 960},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "10S"), 1.25f, 1600, 1200},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "12S"), 1.5f, 1600, 1200},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "16S"), 4.0f / 3.0f, 2048, 1953},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "18S"), 1.5f, 2048, 1953},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "20S"), 1.25f, 2048, 1953},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "24S"), 1.2f, 3600, 2400},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "30S"), 1.25f, 3600, 2400},
    {QT_TRANSLATE_NOOP("vbRazorDialog", "40S"), 4.0f / 3.0f, 3600, 2400},
};
constexpr int printSizeCount = int(sizeof(printSizes) / sizeof(printSizes[0]));

QString trForm(const char* text)
{
    return QCoreApplication::translate("vbRazorDialogClass", text);
}

} // namespace

int vbRazorDialog::sizeCount()
{
    return printSizeCount;
}

const char* vbRazorDialog::sizeName(int index)
{
    return index >= 0 && index < printSizeCount ? printSizes[index].name : "";
}

float vbRazorDialog::sizeRatio(int index)
{
    return index >= 0 && index < printSizeCount ? printSizes[index].ratio : 0.0f;
}

QSize vbRazorDialog::sizeMinimum(int index)
{
    if (index < 0 || index >= printSizeCount)
        return QSize();
    return QSize(printSizes[index].minWidth, printSizes[index].minHeight);
}

bool vbRazorDialog::isBigEnough(int index, bool horizontal, const QSize& photo)
{
    if (index < 0 || index >= printSizeCount)
        return false;
    QSize need = sizeMinimum(index);
    if (!horizontal)
        need.transpose();
    return need.width() < photo.width() || need.height() < photo.height();
}

vbRazorDialog::vbRazorDialog(int width, int height, QWidget* parent)
    : vbKitDialog(parent, 1), m_photo(width, height)
{
    setObjectName(QStringLiteral("vbRazorDialog"));
    resize(414, 107);

    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(6);
    verticalLayout->setContentsMargins(1, 1, 1, 5);

    title = new vbTitleBar(this);
    title->setObjectName(QStringLiteral("title"));
    title->setFixedHeight(30);
    title->setButtons(CloseButton);
    verticalLayout->addWidget(title);

    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setSpacing(6);
    horizontalLayout->setContentsMargins(5, 0, 5, 0);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setMinimumWidth(110);
    rbx_h = new QRadioButton(this);
    rbx_h->setObjectName(QStringLiteral("rbx_h"));
    rbx_v = new QRadioButton(this);
    rbx_v->setObjectName(QStringLiteral("rbx_v"));
    horizontalLayout->addWidget(label);
    horizontalLayout->addWidget(comboBox);
    horizontalLayout->addWidget(rbx_h);
    horizontalLayout->addWidget(rbx_v);
    horizontalLayout->addStretch();
    verticalLayout->addLayout(horizontalLayout);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setSpacing(6);
    horizontalLayout_2->setContentsMargins(5, 0, 5, 0);
    lblTips = new QLabel(this);
    lblTips->setObjectName(QStringLiteral("lblTips"));
    lblTips->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    btnOk = new vbPushButton(this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setFixedSize(85, 25);
    btnOk->setImages(QStringLiteral(":/Resources/ok.png"), QStringLiteral(":/Resources/ok_hover.png"));
    btnCancel = new vbPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setFixedSize(85, 25);
    btnCancel->setImages(QStringLiteral(":/Resources/cancel.png"),
                         QStringLiteral(":/Resources/cancel_hover.png"));
    horizontalLayout_2->addWidget(lblTips, 1);
    horizontalLayout_2->addWidget(btnOk);
    horizontalLayout_2->addWidget(btnCancel);
    verticalLayout->addLayout(horizontalLayout_2);

    for (int i = 0; i < printSizeCount; ++i)
        comboBox->addItem(tr(printSizes[i].name));
    retranslateUi();

    connect(btnOk, &vbPushButton::Clicked, this, &vbRazorDialog::on_btnOk_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbRazorDialog::on_btnCancel_clicked);
    connect(title, &vbTitleBar::Closed, this, &vbRazorDialog::on_btnCancel_clicked);
    connect(rbx_h, &QRadioButton::toggled, this, &vbRazorDialog::on_rbxHor_clicked);
    connect(rbx_v, &QRadioButton::toggled, this, &vbRazorDialog::on_rbxVer_clicked);
    connect(comboBox, &QComboBox::currentIndexChanged, this, &vbRazorDialog::on_cbx_currentIndexChanged);
}

void vbRazorDialog::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("vbRazorDialogClass", "vbRazorDialog"));
    setToolTip(trForm("Click OK to razor photo"));
    title->setTitle(trForm("Select size"));
    label->setText(trForm("Size:"));
    rbx_h->setText(trForm("Hor"));
    rbx_v->setText(trForm("Ver"));
    btnOk->setText(trForm("Ok"));
    btnCancel->setText(trForm("Cancel"));
}

void vbRazorDialog::selectSize(int index, bool horizontal)
{
    comboBox->setCurrentIndex(index);
    rbx_v->setChecked(!horizontal);
    rbx_h->setChecked(horizontal);
}

bool vbRazorDialog::bigEnough(bool horizontal) const
{
    return isBigEnough(comboBox->currentIndex(), horizontal, m_photo);
}

void vbRazorDialog::updateTips()
{
    lblTips->setText(bigEnough(rbx_h->isChecked()) ? QString()
                                                   : trForm("Can razor because image is too small"));
}

void vbRazorDialog::on_btnOk_clicked()
{
    // The rectangle stays on the photo for the user to adjust; the editor's
    // own Ok cuts it.
    accept();
}

void vbRazorDialog::on_btnCancel_clicked()
{
    emit sig_terminal(false, true);
    accept();
}

void vbRazorDialog::on_rbxHor_clicked(bool checked)
{
    const int i = comboBox->currentIndex();
    if (checked && i >= 0)
        emit sig_aspectChanged(sizeRatio(i), bigEnough(true));
    updateTips();
}

void vbRazorDialog::on_rbxVer_clicked(bool checked)
{
    const int i = comboBox->currentIndex();
    if (checked && i >= 0)
        emit sig_aspectChanged(1.0f / sizeRatio(i), bigEnough(false));
    updateTips();
}

void vbRazorDialog::on_cbx_currentIndexChanged(int index)
{
    if (index != -1) {
        if (rbx_h->isChecked())
            on_rbxHor_clicked(true);
        else if (rbx_v->isChecked())
            on_rbxVer_clicked(true);
    }
    updateTips();
}
