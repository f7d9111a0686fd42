#pragma once

#include "KitButtonFlags.h"
#include "vbKitDialog.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QLabel>

// The modal message and question box. flags picks the buttons (OkButton,
// CancelButton, OkAllButton); exec() returns 1 for OK / OK-all and 0 for
// Cancel or Escape.
class vbMessageBox : public vbKitDialog
{
    Q_OBJECT
public:
    vbMessageBox(int flags, const QString& title, const QString& text, QWidget* parent = nullptr);

    // which: OkButton or CancelButton; any other value changes nothing.
    void setButtonImages(int which, const QString& normalPath, const QString& hoverPath);

    // Form children
    vbTitleBar* widget;
    QLabel* label;
    vbPushButton* btnOK;
    vbPushButton* btnOKAll;
    vbPushButton* btnCancel;

public slots:
    void on_btnOK_clicked();
    void on_btnOKAll_clicked();
    void on_btnCancel_clicked();
};
