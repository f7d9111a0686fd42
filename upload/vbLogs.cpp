#include "vbLogs.h"

#include "KitButtonFlags.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QSpacerItem>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// The date column fits "yyyy.MM.dd HH:mm:ss"; the status one "Re-uploaded".
constexpr int kColumnWidths[] = {140, 170, 120, 200, 120};
constexpr int kFileColumn = 3;
constexpr int kStatusColumn = 4;

QString formText(const char* text)
{
    return QCoreApplication::translate("vbLogsClass", text);
}
} // namespace

vbLogs::vbLogs(QWidget* parent) : vbKitDialog(parent)
{
    setObjectName(QStringLiteral("vbLogsClass"));
    setFixedSize(800, 600);
    setWindowTitle(tr("Upload logs"));

    auto* column = new QVBoxLayout(this);
    column->setSpacing(5);
    column->setContentsMargins(1, 1, 1, 8);

    title = new vbTitleBar(this);
    title->setObjectName(QStringLiteral("title"));
    title->setFixedHeight(30);
    column->addWidget(title);

    auto* tableRow = new QHBoxLayout;
    tableRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    tableWidget = new QTableWidget(this);
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    tableRow->addWidget(tableWidget);
    tableRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    column->addLayout(tableRow);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnLoad = new vbPushButton(85, 25, QStringLiteral(":/Resources/reUpload.png"),
                               QStringLiteral(":/Resources/reUpload_hover.png"), this);
    btnLoad->setObjectName(QStringLiteral("btnLoad"));
    btnLoad->setText(formText(QT_TRANSLATE_NOOP("vbLogsClass", "Re-upload")));
    btnClose = new vbPushButton(85, 25, QStringLiteral(":/Resources/close.png"),
                                QStringLiteral(":/Resources/close_hover.png"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setText(formText(QT_TRANSLATE_NOOP("vbLogsClass", "Close")));
    buttonRow->addWidget(btnLoad);
    buttonRow->addWidget(btnClose);
    buttonRow->addItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    column->addLayout(buttonRow);

    title->setTitle(tr("Upload logs"));
    title->setButtons(CloseButton);

    connect(btnClose, &vbPushButton::Clicked, this, &vbLogs::on_btnClose_clicked);
    connect(title, &vbTitleBar::Closed, this, &vbLogs::on_btnClose_clicked);
    connect(btnLoad, &vbPushButton::Clicked, this, &vbLogs::on_btnLoad_clicked);

    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget->setColumnCount(5);
    for (int i = 0; i < 5; ++i)
        tableWidget->setColumnWidth(i, kColumnWidths[i]);
    tableWidget->setHorizontalHeaderLabels(
        {tr("Date"), tr("User"), tr("Album"), tr("File Name"), tr("Status")});
    tableWidget->horizontalHeader()->setSectionsClickable(false);
    tableWidget->setSortingEnabled(false);
}

void vbLogs::setRecords(const UploadLogRecords& records)
{
    const int count = static_cast<int>(records.size());
    // A failure followed by a success of the same photo: the success is a
    // re-upload, and the failure is settled (shown grey, not red).
    QHash<QString, int> lastSuccess;
    for (int i = 0; i < count; ++i) {
        if (records.at(i).succeeded)
            lastSuccess.insert(records.at(i).filePath, i);
    }
    QHash<QString, int> firstFailure;
    for (int i = count - 1; i >= 0; --i) {
        if (!records.at(i).succeeded)
            firstFailure.insert(records.at(i).filePath, i);
    }

    tableWidget->clearContents();
    tableWidget->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        const int index = count - 1 - row;
        const UploadLogRecord& record = records.at(index);
        const QString fileName = record.filePath.mid(record.filePath.lastIndexOf(QLatin1Char('/')) + 1);
        const bool reUploaded = record.succeeded && firstFailure.value(record.filePath, index) < index;
        const int laterSuccess = record.succeeded ? -1 : lastSuccess.value(record.filePath, -1);
        const bool settled = laterSuccess > index;
        QString status = record.succeeded ? tr("Successed") : tr("Faild");
        QString tip = record.reason;
        if (reUploaded) {
            status = tr("Re-uploaded");
            tip = tr("Uploaded after an earlier attempt failed");
        } else if (settled) {
            const QString later = tr("Uploaded again on %1").arg(records.at(laterSuccess).date);
            tip = tip.isEmpty() ? later : tip + QLatin1Char('\n') + later;
        }
        const QString cells[] = {record.date, record.userName, record.albumName, fileName, status};
        for (int col = 0; col < 5; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            // Read-only, yet enabled: the view selects only enabled items.
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (col == kFileColumn)
                item->setData(kPathRole, record.filePath);
            if (!record.succeeded)
                item->setForeground(settled ? Qt::darkGray : Qt::red);
            if (!tip.isEmpty())
                item->setToolTip(tip);
            tableWidget->setItem(row, col, item);
        }
    }
}

void vbLogs::on_btnLoad_clicked()
{
    const QModelIndexList rows = tableWidget->selectionModel()->selectedRows(kFileColumn);
    if (rows.isEmpty()) {
        vbMessageBox box(OkButton, tr("Tips"), tr("Please select a failed photo to upload"), this);
        box.exec();
        return;
    }
    m_reUploadList.clear();
    for (const QModelIndex& index : rows) {
        const QTableWidgetItem* status = tableWidget->item(index.row(), kStatusColumn);
        if (!status || status->text() != tr("Faild"))
            continue;
        const QString path = index.data(kPathRole).toString();
        if (!path.isEmpty())
            m_reUploadList.append(path);
    }
    if (!m_reUploadList.isEmpty()) {
        accept();
        return;
    }
    vbMessageBox box(OkButton, tr("Tips"), tr("Successed photo can not import!"), this);
    box.exec();
}

void vbLogs::on_btnClose_clicked()
{
    accept();
}
