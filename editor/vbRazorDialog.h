#pragma once

#include "vbKitDialog.h"

#include <QSize>

class QComboBox;
class QLabel;
class QRadioButton;
class vbPushButton;
class vbTitleBar;

// The print-size chooser of a crop. Every choice of size or orientation tells
// the canvas the ratio the crop rectangle keeps and whether the photo has
// enough pixels for that print. It crops nothing itself.
class vbRazorDialog : public vbKitDialog
{
    Q_OBJECT
public:
    // width x height: the photo as it is shown (turned sides swapped).
    vbRazorDialog(int width, int height, QWidget* parent = nullptr);

    // The print sizes in list order.
    static int sizeCount();
    static const char* sizeName(int index);
    // Width / height of the horizontal print.
    static float sizeRatio(int index);
    // Least pixels of the horizontal print.
    static QSize sizeMinimum(int index);
    // Either side strictly larger than the print needs is enough; an index
    // outside the list never is.
    static bool isBigEnough(int index, bool horizontal, const QSize& photo);

    // Sets the list to index and checks the orientation; emits the ratio.
    void selectSize(int index, bool horizontal);

    // Form children
    vbTitleBar* title;
    QLabel* label;
    QComboBox* comboBox;
    QRadioButton* rbx_h;
    QRadioButton* rbx_v;
    QLabel* lblTips;
    vbPushButton* btnOk;
    vbPushButton* btnCancel;

signals:
    // Only Cancel: (false, true), the crop is dropped.
    void sig_terminal(bool apply, bool unused);
    void sig_aspectChanged(float ratio, bool bigEnough);

public slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_rbxHor_clicked(bool checked);
    void on_rbxVer_clicked(bool checked);
    void on_cbx_currentIndexChanged(int index);

private:
    void retranslateUi();
    void updateTips();
    bool bigEnough(bool horizontal) const;

    QSize m_photo;
};
