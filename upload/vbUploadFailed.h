#pragma once

#include "vbKitDialog.h"
#include "vbUploadLogRecord.h"

class QLabel;
class QListWidget;
class vbPushButton;
class vbTitleBar;

// Shown when an upload run ended with failures: which photos failed and why,
// then upload them again, or not. Escape and the title bar's close leave the
// answer Cancel.
class vbUploadFailed : public vbKitDialog
{
    Q_OBJECT
public:
    enum Result
    {
        Cancel,
        ReUpload
    };

    explicit vbUploadFailed(QWidget* parent = nullptr);

    // Title and sentence; a run where nothing arrived does not read like success.
    void setCounts(int succeeded, int failed);
    static QString countsText(int succeeded, int failed);
    static QString titleText(int succeeded);
    // One line per failed photo: its file name and why it failed.
    void setFailures(const UploadLogRecords& failed);
    Result resultValue() const { return m_result; }

    // Form children
    vbTitleBar* widget;
    QLabel* label;
    QListWidget* failedList;
    vbPushButton* btnYes;
    vbPushButton* btnNo;

public slots:
    void on_btnYes_clicked();
    void on_btnNo_clicked();

private:
    Result m_result = Cancel;
};
