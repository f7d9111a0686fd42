#pragma once

#include "vbFittedImage.h"

#include <QString>
#include <QWidget>

// The slideshow's picture: one image file, fitted and centred on black.
class vbPaintWnd : public QWidget
{
    Q_OBJECT
public:
    explicit vbPaintWnd(QWidget* parent = nullptr);

    // Stores the path and schedules a repaint.
    void setImagePath(const QString& path);
    QString imagePath() const { return m_imagePath; }

    // Where the current picture is drawn; empty while nothing is.
    QRect pictureRect();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_imagePath;
    vbFittedImage m_picture;
};
