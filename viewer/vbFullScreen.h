#pragma once

#include "vbFittedImage.h"

#include <QDialog>
#include <QString>

// One photo maximised on black, fitted and centred, never enlarged. Any click
// closes it.
class vbFullScreen : public QDialog
{
    Q_OBJECT
public:
    // Shows itself maximised; run it with exec().
    explicit vbFullScreen(QWidget* parent = nullptr);

    void setImagePath(const QString& path);
    QString imagePath() const { return m_imagePath; }

    // Where the picture is drawn; empty while nothing is.
    QRect pictureRect();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_imagePath;
    vbFittedImage m_picture;
};
