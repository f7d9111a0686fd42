#include "vbFittedImage.h"

#include "vbFitRect.h"
#include "vbImageLoader.h"

#include <QFileInfo>
#include <QPainter>

void vbFittedImage::paint(QPainter& painter, const QRect& area, const QString& path)
{
    painter.fillRect(area, Qt::black);
    if (path.isEmpty())
        return;
    QRect target;
    const QImage picture = image(path, area.size(), &target);
    if (!picture.isNull())
        painter.drawImage(target.translated(area.topLeft()), picture);
}

QImage vbFittedImage::image(const QString& path, const QSize& area, QRect* target)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || area.isEmpty()) {
        m_path.clear();
        m_image = QImage();
        if (target)
            *target = QRect();
        return QImage();
    }
    const qint64 fileSize = file.size();
    const QDateTime modified = file.lastModified();
    if (path != m_path || area != m_area || fileSize != m_fileSize || modified != m_modified) {
        QSize source;
        // The loader fits the picture into area while decoding and never enlarges it.
        m_image = vbImageLoader::load(path, area, &source);
        m_target = m_image.isNull() ? QRect() : vbFitRect(source, area);
        m_path = path;
        m_area = area;
        m_fileSize = fileSize;
        m_modified = modified;
        ++m_decodeCount;
    }
    if (target)
        *target = m_target;
    return m_image;
}
