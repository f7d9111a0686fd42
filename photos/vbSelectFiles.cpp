#include "vbSelectFiles.h"

#include "KitButtonFlags.h"
#include "vbFileList.h"
#include "vbIniParser.h"
#include "vbLanguage.h"
#include "vbMessageBox.h"
#include "vbNameOrder.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"
#include "vbTreeView.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QStandardItem>
#include <QVBoxLayout>

namespace {
const QString recentSection = QStringLiteral("recent.directory");
const QString recentKey = QStringLiteral("dir");
} // namespace

vbSelectFiles::vbSelectFiles(QWidget* parent, vbFileList* uploadList)
    : vbKitDialog(parent), m_uploadList(uploadList)
{
    setObjectName(QStringLiteral("vbSelectFilesClass"));
    setFixedSize(710, 500);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(1, 1, 1, 8);
    column->setSpacing(6);

    widget = new vbTitleBar(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setFixedHeight(30);
    widget->setTitle(QString());
    setWindowTitle(QCoreApplication::translate("vbSelectFilesClass", "vbSelectFiles"));
    widget->setButtons(CloseButton);
    column->addWidget(widget);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->setSpacing(6);
    QString recent;
    vbIniParser(settingsPath()).getString(recentSection, recentKey, &recent, 256);
    treeView = new vbTreeView(recent, this);
    treeView->setObjectName(QStringLiteral("treeView"));
    treeView->setFixedWidth(185);
    treeView->setMinimumHeight(400);
    body->addWidget(treeView);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    auto* selectRow = new QHBoxLayout;
    cbSelectAll = new QCheckBox(this);
    cbSelectAll->setObjectName(QStringLiteral("cbSelectAll"));
    cbSelectAll->setText(QCoreApplication::translate("vbSelectFilesClass", "select all"));
    lblSelectInfo = new QLabel(this);
    lblSelectInfo->setObjectName(QStringLiteral("lblSelectInfo"));
    selectRow->addWidget(cbSelectAll);
    selectRow->addWidget(lblSelectInfo);
    selectRow->addStretch(1);
    right->addLayout(selectRow);
    fileList = new vbFileList(this, false);
    fileList->setObjectName(QStringLiteral("fileList"));
    right->addWidget(fileList);
    body->addLayout(right);
    column->addLayout(body);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch(1);
    btnOk = new vbPushButton(85, 25, QStringLiteral(":/Resources/ok.png"),
                             QStringLiteral(":/Resources/ok_hover.png"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setText(QCoreApplication::translate("vbSelectFilesClass", "OK"));
    btnCancel = new vbPushButton(85, 25, QStringLiteral(":/Resources/cancel.png"),
                                 QStringLiteral(":/Resources/cancel_hover.png"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setText(QCoreApplication::translate("vbSelectFilesClass", "Cancel"));
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    column->addLayout(buttons);

    connect(btnOk, &vbPushButton::Clicked, this, &vbSelectFiles::on_btnOk_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbSelectFiles::on_btnCancel_clicked);
    connect(widget, &vbTitleBar::Closed, this, &vbSelectFiles::on_btnCancel_clicked);
    connect(treeView, &vbTreeView::sig_selectFolder, this, &vbSelectFiles::slot_URLChanged);
    connect(cbSelectAll, &QCheckBox::stateChanged, this, &vbSelectFiles::slot_selectAll);
    connect(fileList, &vbFileList::sig_checkStatusChanged, this, &vbSelectFiles::slot_updateSelectInfo);

    if (QStandardItem* item = treeView->recentItem()) {
        treeView->setCurrentIndex(item->index());
        treeView->activated(item->index());
    }
    slot_updateSelectInfo(0, 0);
}

QString vbSelectFiles::settingsPath()
{
    return QStringLiteral("system.ini");
}

QList<QFileInfo> vbSelectFiles::checkedFileInfos() const
{
    QList<QFileInfo> files;
    fileList->checkedFileInfos(files);
    return files;
}

void vbSelectFiles::slot_URLChanged(const QString& url)
{
    m_currentFolder = url;
    const QDir dir(url);
    QStringList paths;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")},
                       QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Unsorted))
        paths.append(dir.absoluteFilePath(name));
    vbNameOrder::sort(paths);
    QList<QFileInfo> files;
    files.reserve(paths.size());
    for (const QString& path : std::as_const(paths))
        files.append(QFileInfo(path));
    fileList->clearAll();
    fileList->addFiles(files, true);
    // The box follows the list: a new folder starts with nothing ticked.
    const bool blocked = cbSelectAll->blockSignals(true);
    cbSelectAll->setChecked(false);
    cbSelectAll->blockSignals(blocked);
    slot_updateSelectInfo(0, 0);
}

void vbSelectFiles::slot_refreshAll()
{
    slot_URLChanged(m_currentFolder);
}

void vbSelectFiles::slot_selectAll(int state)
{
    fileList->setAllChecked(state == Qt::Checked);
    slot_updateSelectInfo(fileList->checkedCount(), 0);
}

void vbSelectFiles::slot_updateSelectInfo(int checked, int)
{
    lblSelectInfo->setText(selectInfoText(checked));
}

QString vbSelectFiles::selectInfoText(int checked)
{
    return vbLanguage::compose(tr("%1%n%2", "You select <n> files", checked),
                               {tr("You select "), tr("files")});
}

void vbSelectFiles::refuse(const QString& text)
{
    vbMessageBox box(OkButton, tr("Tips"), text, this);
    box.exec();
}

void vbSelectFiles::on_btnCancel_clicked()
{
    reject();
}

void vbSelectFiles::on_btnOk_clicked()
{
    const int checked = fileList->checkedCount();
    const int total = (m_uploadList ? m_uploadList->count() : 0) + checked;
    if (total > vbFileList::kMaxPhotos) {
        refuse(tr("You can not select more then 300 photos!"));
        return;
    }
    if (checked == 0) {
        refuse(tr("You must select a photo!"));
        return;
    }
    vbIniParser(settingsPath()).setString(recentSection, recentKey, m_currentFolder);
    accept();
}
