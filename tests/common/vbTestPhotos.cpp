#include "vbTestPhotos.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>

#include <exiv2/exiv2.hpp>

#include <exception>

namespace vbTestPhotos {

namespace {

#if EXIV2_TEST_VERSION(0, 28, 0)
using ImagePtr = Exiv2::Image::UniquePtr;
#else
using ImagePtr = Exiv2::Image::AutoPtr;
#endif

QByteArray encode(const QSize& size, int quality, int seed)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    if (!writer.write(picture(size, seed)))
        return QByteArray();
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

QImage picture(const QSize& size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv((200 + seed * 37) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((40 + seed * 53) % 360, 90, 160));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const int w = size.width();
    const int h = size.height();
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor::fromHsv((seed * 71 + i * 50) % 360, 160, 200));
        p.drawEllipse(QPointF(w * (0.1 + 0.15 * i), h * (0.3 + 0.08 * (i % 3))), w * 0.08, h * 0.1);
    }
    p.end();
    return image;
}

bool writeJpeg(const QString& path, const QSize& size, int quality, int seed)
{
    const QByteArray bytes = encode(size, quality, seed);
    return !bytes.isEmpty() && writeFile(path, bytes);
}

bool writeExif(const QString& path, const Exif& exif)
{
    try {
        ImagePtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        if (!image.get())
            return false;
        image->readMetadata();
        Exiv2::ExifData& data = image->exifData();
        if (exif.make)
            data["Exif.Image.Make"] = exif.make->toStdString();
        if (exif.model)
            data["Exif.Image.Model"] = exif.model->toStdString();
        if (exif.dateTime)
            data["Exif.Image.DateTime"] = exif.dateTime->toStdString();
        if (exif.exposureTime)
            data["Exif.Photo.ExposureTime"] =
                Exiv2::URational(exif.exposureTime->first, exif.exposureTime->second);
        if (exif.aperture)
            data["Exif.Photo.ApertureValue"] = Exiv2::URational(exif.aperture->first, exif.aperture->second);
        if (exif.focalLength)
            data["Exif.Photo.FocalLength"] =
                Exiv2::URational(exif.focalLength->first, exif.focalLength->second);
        image->writeMetadata();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool writeJpeg(const QString& path, const QSize& size, const Exif& exif, int quality)
{
    return writeJpeg(path, size, quality) && writeExif(path, exif);
}

bool writeJpegOfSize(const QString& path, const QSize& size, qint64 bytes, int quality)
{
    QByteArray jpeg = encode(size, quality, 1);
    if (jpeg.isEmpty() || jpeg.size() + 8 > bytes)
        return false;

    // Comment segments go after the leading APPn segments.
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF && uchar(jpeg[at + 1]) >= 0xE0 &&
           uchar(jpeg[at + 1]) <= 0xEF)
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));

    qint64 pad = bytes - jpeg.size();
    QByteArray segments;
    while (pad > 0) {
        qint64 chunk = qMin<qint64>(pad, 65537); // 4 bytes of marker and length + at most 65533
        if (pad - chunk > 0 && pad - chunk < 4)
            chunk -= 4;
        const int length = int(chunk - 2);
        segments.append(char(0xFF));
        segments.append(char(0xFE));
        segments.append(char(length >> 8));
        segments.append(char(length & 0xFF));
        segments.append(QByteArray(chunk - 4, 'x'));
        pad -= chunk;
    }
    jpeg.insert(at, segments);
    return jpeg.size() == bytes && writeFile(path, jpeg);
}

bool writeGarbage(const QString& path, qint64 bytes)
{
    QByteArray data(bytes, 0);
    for (qint64 i = 0; i < bytes; ++i)
        data[i] = char((i * 131 + 7) & 0xFF);
    return writeFile(path, data);
}

} // namespace vbTestPhotos
