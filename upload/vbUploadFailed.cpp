#include "vbUploadFailed.h"

#include "vbLanguage.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpacerItem>
#include <QVBoxLayout>

vbUploadFailed::vbUploadFailed(QWidget* parent) : vbKitDialog(parent)
{
    setObjectName(QStringLiteral("vbUploadFailedClass"));
    setFixedSize(440, 300);
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

    failedList = new QListWidget(this);
    failedList->setObjectName(QStringLiteral("failedList"));
    failedList->setSelectionMode(QAbstractItemView::NoSelection);
    failedList->setWordWrap(true);
    auto* listRow = new QHBoxLayout;
    listRow->setContentsMargins(10, 0, 10, 0);
    listRow->addWidget(failedList);
    column->addLayout(listRow, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(10);
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnYes = new vbPushButton(85, 25, QStringLiteral(":/Resources/reUpload.png"),
                              QStringLiteral(":/Resources/reUpload_hover.png"), this);
    btnYes->setObjectName(QStringLiteral("btnYes"));
    btnYes->setText(QCoreApplication::translate("vbUploadFailedClass", "Re-upload"));
    btnNo = new vbPushButton(85, 25, QStringLiteral(":/Resources/cancel.png"),
                             QStringLiteral(":/Resources/cancel_hover.png"), this);
    btnNo->setObjectName(QStringLiteral("btnNo"));
    btnNo->setText(QCoreApplication::translate("vbUploadFailedClass", "Cancel"));
    buttonRow->addWidget(btnYes);
    buttonRow->addWidget(btnNo);
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    column->addLayout(buttonRow);

    widget->setTitle(tr("Upload complete"));

    connect(btnYes, &vbPushButton::Clicked, this, &vbUploadFailed::on_btnYes_clicked);
    connect(btnNo, &vbPushButton::Clicked, this, &vbUploadFailed::on_btnNo_clicked);
    // Closing through the title bar is the same as Escape: the answer stays Cancel.
    connect(widget, &vbTitleBar::Closed, this, &QDialog::reject);
}

void vbUploadFailed::setCounts(int succeeded, int failed)
{
    widget->setTitle(titleText(succeeded));
    setWindowTitle(titleText(succeeded));
    label->setText(countsText(succeeded, failed));
}

QString vbUploadFailed::titleText(int succeeded)
{
    return succeeded > 0 ? tr("Upload finished with failures") : tr("Upload failed");
}

void vbUploadFailed::setFailures(const UploadLogRecords& failed)
{
    failedList->clear();
    for (const UploadLogRecord& record : failed) {
        const QString reason = record.reason.isEmpty() ? tr("no reason was given") : record.reason;
        auto* item = new QListWidgetItem(
            QFileInfo(record.filePath).fileName() + QStringLiteral(": ") + reason, failedList);
        item->setToolTip(record.filePath);
    }
}

QString vbUploadFailed::countsText(int succeeded, int failed)
{
    if (succeeded == 0)
        return tr("None of the %n photo(s) could be uploaded.", nullptr, failed);
    // One sentence part per number, so English can give each its plural.
    return vbLanguage::compose(tr("%1%n%2", "Successed upload <n> photo,", succeeded),
                               {tr("Successed upload"), tr(" photo,")}) +
           vbLanguage::compose(tr("%1%n%2", "has <n> failed", failed), {tr("has"), tr(" failed")});
}

void vbUploadFailed::on_btnYes_clicked()
{
    m_result = ReUpload;
    accept();
}

void vbUploadFailed::on_btnNo_clicked()
{
    m_result = Cancel;
    accept();
}
