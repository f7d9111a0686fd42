#include "vbPhotoInfo.h"

#include "KitButtonFlags.h"
#include "vbFileNode.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

vbPhotoInfo::vbPhotoInfo(QWidget* parent) : vbKitDialog(parent)
{
    setupUi();
    connect(m_widget, &vbTitleBar::Closed, this, &vbPhotoInfo::slot_ok);
    connect(m_pushButton, &vbPushButton::Clicked, this, &vbPhotoInfo::slot_ok);
}

void vbPhotoInfo::setupUi()
{
    setObjectName(QStringLiteral("vbPhotoInfoClass"));
    resize(400, 267);

    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setContentsMargins(1, 1, 1, 8);
    verticalLayout->setSpacing(6);

    m_widget = new vbTitleBar(this);
    m_widget->setObjectName(QStringLiteral("widget"));
    // A sheet to read and close: no minimising or maximising.
    m_widget->setButtons(CloseButton);
    verticalLayout->addWidget(m_widget);

    auto* grid = new QGridLayout();
    grid->setContentsMargins(24, 4, 24, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    m_lblName = addRow(grid, 0, "label", "lblName");
    m_lblPath = addRow(grid, 1, "label_2", "lblPath");
    m_lblSize = addRow(grid, 2, "label_3", "lblSize");
    m_lblPhotoSize = addRow(grid, 3, "label_4", "lblPhotoSize");
    m_lblDate = addRow(grid, 4, "label_5", "lblDate");
    m_lblCompany = addRow(grid, 5, "label_6", "lblCompany");
    m_lblModel = addRow(grid, 6, "label_7", "lblModel");
    verticalLayout->addLayout(grid);
    verticalLayout->addStretch();

    m_pushButton = new vbPushButton(this);
    m_pushButton->setObjectName(QStringLiteral("pushButton"));
    m_pushButton->setImages(QStringLiteral(":/Resources/ok.png"), QStringLiteral(":/Resources/ok_hover.png"));
    const QSize okSize = m_pushButton->normalImage().size();
    m_pushButton->setFixedSize(okSize.isEmpty() ? QSize(75, 25) : okSize);
    m_pushButton->setCursor(Qt::PointingHandCursor);
    verticalLayout->addWidget(m_pushButton, 0, Qt::AlignHCenter);

    retranslateUi();
}

QLabel* vbPhotoInfo::addRow(QGridLayout* grid, int row, const char* captionName, const char* valueName)
{
    auto* caption = new QLabel(this);
    caption->setObjectName(QLatin1String(captionName));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_captions[row] = caption;
    auto* value = new QLabel(this);
    value->setObjectName(QLatin1String(valueName));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long folder name must not stretch the sheet; the tool tip holds it all.
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(caption, row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

void vbPhotoInfo::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("vbPhotoInfoClass", "vbPhotoInfo"));
    const char* const captions[7] = {
        QT_TRANSLATE_NOOP("vbPhotoInfoClass", "Name:"), QT_TRANSLATE_NOOP("vbPhotoInfoClass", "Path:"),
        QT_TRANSLATE_NOOP("vbPhotoInfoClass", "Size:"), QT_TRANSLATE_NOOP("vbPhotoInfoClass", "Photo size:"),
        QT_TRANSLATE_NOOP("vbPhotoInfoClass", "Date:"), QT_TRANSLATE_NOOP("vbPhotoInfoClass", "company:"),
        QT_TRANSLATE_NOOP("vbPhotoInfoClass", "Model:")};
    for (int row = 0; row < 7; ++row)
        m_captions[row]->setText(QCoreApplication::translate("vbPhotoInfoClass", captions[row]));
}

void vbPhotoInfo::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    vbKitDialog::changeEvent(event);
}

void vbPhotoInfo::setValue(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setToolTip(text);
}

void vbPhotoInfo::setNode(vbFileNode* node)
{
    if (!node) {
        for (QLabel* label :
             {m_lblName, m_lblPath, m_lblSize, m_lblPhotoSize, m_lblDate, m_lblCompany, m_lblModel})
            setValue(label, QString());
        return;
    }
    // The service stores every photo as JPEG, so that is the name it will have.
    setValue(m_lblName, node->baseName() + QStringLiteral(".jpg"));
    setValue(m_lblPath, node->absolutePath());
    setValue(m_lblSize, QString::number(node->sourceWidth()) + QLatin1Char('x') +
                            QString::number(node->sourceHeight()) + tr("pix"));
    // Asked of the disk now: the file may have been replaced since the record was made.
    setValue(m_lblPhotoSize, QString::number(QFileInfo(node->absoluteFilePath()).size()));
    setValue(m_lblDate, node->time1());
    setValue(m_lblCompany, node->make());
    setValue(m_lblModel, node->model());
}

void vbPhotoInfo::slot_ok()
{
    accept();
}
