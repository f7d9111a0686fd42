#pragma once

#include "vbKitDialog.h"
#include "vbUploadLogRecord.h"

#include <QStringList>

class QTableWidget;
class vbPushButton;
class vbTitleBar;

// The upload log viewer: every record, newest first, failed ones in red with
// the reason as tool tip, a later success of a failed photo marked as a
// re-upload; re-upload takes the selected failed photos.
class vbLogs : public vbKitDialog
{
    Q_OBJECT
public:
    explicit vbLogs(QWidget* parent = nullptr);

    // Fills the table from the log (oldest first), showing the newest on top.
    void setRecords(const UploadLogRecords& records);
    // The files to upload again; filled when re-upload accepted the dialog.
    QStringList reUploadList() const { return m_reUploadList; }

    // Form children
    vbTitleBar* title;
    QTableWidget* tableWidget;
    vbPushButton* btnLoad;
    vbPushButton* btnClose;

    // Item data role of column 3 holding the full file path.
    static constexpr int kPathRole = Qt::UserRole;

public slots:
    void on_btnLoad_clicked();
    void on_btnClose_clicked();

private:
    QStringList m_reUploadList;
};
