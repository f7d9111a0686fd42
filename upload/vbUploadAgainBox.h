#pragma once

#include "vbKitDialog.h"

#include <QImage>

class QLabel;
class vbPushButton;
class vbTitleBar;

// Asks whether a photo that the log records as uploaded goes again.
// Escape and the title bar's close leave the answer Yes.
class vbUploadAgainBox : public vbKitDialog
{
    Q_OBJECT
public:
    enum Result
    {
        Yes,
        YesAll,
        No,
        NoAll
    };

    // thumbnail may be null (the picture area stays empty).
    vbUploadAgainBox(const QImage& thumbnail, const QString& filePath, QWidget* parent = nullptr);

    Result resultValue() const { return m_result; }

    // Form children
    vbTitleBar* widget;
    QLabel* lblImage;
    QLabel* label;
    vbPushButton* btnYes;
    vbPushButton* btnYesAll;
    vbPushButton* btnNo;
    vbPushButton* btnNoAll;

public slots:
    void on_btnYes_clicked();
    void on_btnYesAll_clicked();
    void on_btnNo_clicked();
    void on_btnNoAll_clicked();

private:
    Result m_result = Yes;
};
