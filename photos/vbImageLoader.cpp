#include "vbImageLoader.h"

#include "vbFitSize.h"
#include "vbPhotoMetadata.h"
#include "vbUpright.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <mutex>
#include <utility>

namespace {

void raiseAllocationLimit()
{
    // Qt refuses images above 256 MB by default; allow our largest photo at
    // full size (4 bytes a pixel) and nothing beyond.
    static std::once_flag once;
    std::call_once(once, [] {
        const int limitMb = int(vbImageLoader::maxPixels * 4 / (1024 * 1024)) + 16;
        if (QImageReader::allocationLimit() < limitMb)
            QImageReader::setAllocationLimit(limitMb);
    });
}

} // namespace

namespace vbImageLoader {

QImage load(const QString& path, const QSize& box, QSize* sourceSize)
{
    raiseAllocationLimit();
    if (sourceSize)
        *sourceSize = QSize(0, 0);

    QImageReader reader(path);
    // The orientation is applied here, after the decoder reduced the picture.
    reader.setAutoTransform(false);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return QImage();
    if (qint64(stored.width()) * stored.height() > maxPixels)
        return QImage();
    const QImageIOHandler::Transformations orientation = reader.transformation();
    const QSize size = vbUpright::size(stored, orientation);

    if (box.isValid()) {
        const QSize fitted = fitSize(size, box);
        if (fitted.isEmpty())
            return QImage();
        if (fitted != size)
            reader.setScaledSize(vbUpright::size(fitted, orientation));
    }
    QImage image = reader.read();
    if (image.isNull())
        return QImage();
    if (image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);
    image = vbUpright::image(std::move(image), orientation);
    if (sourceSize)
        *sourceSize = size;
    return image;
}

bool saveJpeg(const QImage& image, const QString& path, int quality, const QString& metadataFrom)
{
    if (image.isNull())
        return false;
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(quality);
        if (!writer.write(image))
            return false;
    }
    if (!metadataFrom.isEmpty() &&
        vbPhotoMetadata::transfer(metadataFrom, jpeg, image.size()) == vbPhotoMetadata::Failed)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(jpeg) != jpeg.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vbImageLoader
