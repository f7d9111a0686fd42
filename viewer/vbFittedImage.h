#pragma once

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// Paints one photo file fitted and centred on black, for the full-window views.
// The file is looked at on every paint, but a decoded picture is kept while the
// file (path, size, modification time) and the area stay the same: decoding a
// large JPEG on every expose or slideshow repaint would make the view stutter,
// and a file replaced on disk (an edit) is still picked up at the next paint.
class vbFittedImage
{
public:
    // Fills area with black and draws the picture of path into it. A missing or
    // unreadable file leaves black.
    void paint(QPainter& painter, const QRect& area, const QString& path);

    // The picture of path decoded at its fitted size for area, and where it goes
    // in area; a null image when the file cannot be read.
    QImage image(const QString& path, const QSize& area, QRect* target = nullptr);

    // How many times a file was actually decoded.
    int decodeCount() const { return m_decodeCount; }

private:
    QString m_path;
    QSize m_area;
    qint64 m_fileSize = -1;
    QDateTime m_modified;
    QImage m_image;
    QRect m_target;
    int m_decodeCount = 0;
};
