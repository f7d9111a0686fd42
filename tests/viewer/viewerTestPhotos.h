#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

// Writes a test photo: a vertical gradient from colour to a darker shade with a
// white disc in the middle, so pictures are easy to tell apart on screen.
inline bool writeTestPhoto(const QString& path, const QSize& size, const QColor& colour,
                           const char* format = nullptr)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, colour);
    gradient.setColorAt(1, colour.darker(250));
    painter.fillRect(image.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    const int r = qMin(size.width(), size.height()) / 5;
    painter.drawEllipse(QPoint(size.width() / 2, size.height() / 2), r, r);
    painter.end();
    return image.save(path, format, 90);
}
