#pragma once

#include "vbClickLabel.h"
#include "vbPushButton.h"

#include <QLabel>
#include <QWidget>

// The bottom strip of the main window; the main window drives its children.
class vbStatusBar : public QWidget
{
    Q_OBJECT
public:
    explicit vbStatusBar(QWidget* parent = nullptr);

    // Form children
    QLabel* lblStatus;
    vbClickLabel* lblDeleteAll; // hidden until there are photos
    vbPushButton* btnUpload;
    vbPushButton* btnClose;
};
