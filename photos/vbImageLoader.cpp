#include "vbImageLoader.h"

#include "vbFitSize.h"

#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <mutex>

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
    reader.setAutoTransform(false);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return QImage();
    if (qint64(size.width()) * size.height() > maxPixels)
        return QImage();

    if (box.isValid()) {
        const QSize fitted = fitSize(size, box);
        if (fitted.isEmpty())
            return QImage();
        if (fitted != size)
            reader.setScaledSize(fitted);
    }
    QImage image = reader.read();
    if (image.isNull())
        return QImage();
    if (image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);
    if (sourceSize)
        *sourceSize = size;
    return image;
}

bool saveJpeg(const QImage& image, const QString& path, int quality)
{
    if (image.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "jpg");
    writer.setQuality(quality);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vbImageLoader
