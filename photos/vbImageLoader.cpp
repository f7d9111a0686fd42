#include "vbImageLoader.h"

#include "vbFitSize.h"
#include "vbJpegCodec.h"
#include "vbPhotoMetadata.h"
#include "vbSaveFile.h"
#include "vbUpright.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

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
    QImage image = decode(path, box, sourceSize);
    if (!image.isNull() && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);
    return image;
}

QImage decode(const QString& path, const QSize& box, QSize* sourceSize, QImage reuse)
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
    if (reader.format() == "jpeg") {
        // libjpeg-turbo straight into the final format; the generic reader
        // stays for what it cannot decode.
        // Mapped, not copied: the page cache already holds what check() read.
        QFile file(path);
        const uchar* mapped = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
        const QByteArray bytes =
            mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), file.size())
                   : file.readAll();
        const QSize wanted = reader.scaledSize();
        QImage image = vbJpegCodec::decode(bytes, wanted, std::move(reuse));
        if (!image.isNull()) {
            if (wanted.isValid() && image.size() != wanted)
                image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            if (sourceSize)
                *sourceSize = size;
            return vbUpright::image(std::move(image), orientation);
        }
    }
    // A buffer that does not fit is let go first: never two full-size pictures at once.
    const QSize decoded = reader.scaledSize().isValid() ? reader.scaledSize() : stored;
    QImage image =
        reuse.size() == decoded && reuse.format() == reader.imageFormat() ? std::move(reuse) : QImage();
    reuse = QImage();
    if (!reader.read(&image) || image.isNull())
        return QImage();
    image = vbUpright::image(std::move(image), orientation);
    if (sourceSize)
        *sourceSize = size;
    return image;
}

bool jpegComplete(const uchar* data, qint64 size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    qint64 p = 2;
    while (p + 1 < size) {
        if (data[p] != 0xFF)
            return false;
        const uchar marker = data[p + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++p;
            continue;
        }
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            p += 2;
            continue;
        }
        if (p + 3 >= size)
            return false;
        const qint64 length = (qint64(data[p + 2]) << 8) | data[p + 3];
        if (length < 2)
            return false;
        p += 2 + length;
        if (p > size)
            return false;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data: a 0xFF in it is followed by 0x00 or a restart
        // marker, so the next other marker ends the scan.
        while (p + 1 < size) {
            if (data[p] == 0xFF) {
                const uchar next = data[p + 1];
                if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                    break;
            }
            ++p;
        }
    }
    return false;
}

Problem check(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return Problem::Missing;
    if (info.size() == 0)
        return Problem::Empty;
    const QByteArray format = QImageReader::imageFormat(path);
    if (format.isEmpty())
        return Problem::NotAnImage;
    if (format == "jpeg" || format == "jpg") {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return Problem::Missing;
        const qint64 bytes = file.size();
        bool complete = false;
        if (const uchar* mapped = file.map(0, bytes)) {
            complete = jpegComplete(mapped, bytes);
        } else {
            const QByteArray all = file.readAll();
            complete = jpegComplete(reinterpret_cast<const uchar*>(all.constData()), all.size());
        }
        if (!complete)
            return Problem::Truncated;
    }
    QImageReader reader(path, format);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return Problem::Damaged;
    if (qint64(size.width()) * size.height() > maxPixels)
        return Problem::TooLarge;
    return Problem::None;
}

QString problemText(Problem problem)
{
    const char* text = nullptr;
    switch (problem) {
    case Problem::None:
        return QString();
    case Problem::Missing:
        text = QT_TRANSLATE_NOOP("vbImageLoader", "The photo file no longer exists.");
        break;
    case Problem::Empty:
        text = QT_TRANSLATE_NOOP("vbImageLoader", "The photo file is empty.");
        break;
    case Problem::NotAnImage:
        text = QT_TRANSLATE_NOOP("vbImageLoader", "The file is not a picture.");
        break;
    case Problem::TooLarge:
        text = QT_TRANSLATE_NOOP("vbImageLoader", "The photo is too large (more than 250 million pixels).");
        break;
    case Problem::Truncated:
        text = QT_TRANSLATE_NOOP("vbImageLoader", "The photo file is incomplete.");
        break;
    case Problem::Damaged:
        text = QT_TRANSLATE_NOOP("vbImageLoader", "The photo cannot be decoded.");
        break;
    }
    return QCoreApplication::translate("vbImageLoader", text);
}

bool saveJpeg(const QImage& image, const QString& path, int quality, const QString& metadataFrom)
{
    if (image.isNull())
        return false;
    QByteArray jpeg = vbJpegCodec::encode(image, quality);
    if (jpeg.isEmpty())
        return false;
    if (!metadataFrom.isEmpty() &&
        vbPhotoMetadata::transfer(metadataFrom, jpeg, image.size()) == vbPhotoMetadata::Failed)
        return false;
    return vbSaveFile::write(path, jpeg);
}

} // namespace vbImageLoader
