#pragma once

#include "vbKitDialog.h"

class QLabel;
class QRadioButton;
class vbPushButton;
class vbTitleBar;

// Shown when an upload run ended without failures: visit the album site or
// go on uploading.
class vbUploadComplete : public vbKitDialog
{
    Q_OBJECT
public:
    enum Result
    {
        None,
        VisitSite,
        ContinueUpload
    };

    // webAddress: the service's site, shown as the tool tip of "visit the website".
    explicit vbUploadComplete(const QString& webAddress, QWidget* parent = nullptr);

    Result resultValue() const { return m_result; }
    // Says how many photos arrived.
    void setUploaded(int count);

    // Form children
    vbTitleBar* widget;
    QLabel* label;
    QRadioButton* radioButton;
    QRadioButton* radioButton_2;
    vbPushButton* btnOK;

public slots:
    void slot_ok();
    void slot_close();

private:
    Result m_result = None;
};
