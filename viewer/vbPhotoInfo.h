#pragma once

#include "vbKitDialog.h"

class QGridLayout;
class QLabel;
class vbFileNode;
class vbPushButton;
class vbTitleBar;

// The information sheet of one photo: name, folder, pixel size, file size and
// the camera data from its EXIF block, shown as the photo's record holds them.
class vbPhotoInfo : public vbKitDialog
{
    Q_OBJECT
public:
    explicit vbPhotoInfo(QWidget* parent = nullptr);

    // Fills the value labels from node; a null node leaves them empty.
    void setNode(vbFileNode* node);

public slots:
    void slot_ok();

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    QLabel* addRow(QGridLayout* grid, int row, const char* captionName, const char* valueName);
    void setValue(QLabel* label, const QString& text);

    vbTitleBar* m_widget = nullptr;
    QLabel* m_captions[7] = {};
    QLabel* m_lblName = nullptr;
    QLabel* m_lblPath = nullptr;
    QLabel* m_lblSize = nullptr;
    QLabel* m_lblPhotoSize = nullptr;
    QLabel* m_lblDate = nullptr;
    QLabel* m_lblCompany = nullptr;
    QLabel* m_lblModel = nullptr;
    vbPushButton* m_pushButton = nullptr;
};
