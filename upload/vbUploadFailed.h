#pragma once

#include "vbKitDialog.h"

class QLabel;
class vbPushButton;
class vbTitleBar;

// Shown when an upload run ended with failures: upload the rest again, or not.
// Escape and the title bar's close leave the answer Cancel.
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

    void setCounts(int succeeded, int failed);
    static QString countsText(int succeeded, int failed);
    Result resultValue() const { return m_result; }

    // Form children
    vbTitleBar* widget;
    QLabel* label;
    vbPushButton* btnYes;
    vbPushButton* btnNo;

public slots:
    void on_btnYes_clicked();
    void on_btnNo_clicked();

private:
    Result m_result = Cancel;
};
