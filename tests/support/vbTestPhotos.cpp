#include "vbTestPhotos.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include <exiv2/exiv2.hpp>

#include <exception>

namespace vbTestPhotos {

namespace {

#if EXIV2_TEST_VERSION(0, 28, 0)
using ImagePtr = Exiv2::Image::UniquePtr;
#else
using ImagePtr = Exiv2::Image::AutoPtr;
#endif

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
    QImageWriter writer(path, "jpg");
    writer.setQuality(quality);
    return writer.write(picture(size, seed));
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
        if (exif.orientation)
            data["Exif.Image.Orientation"] = uint16_t(*exif.orientation);
        if (!exif.preview.isNull()) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            if (!exif.preview.save(&buffer, "jpg"))
                return false;
            Exiv2::ExifThumb(data).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(jpeg.constData()),
                                                    jpeg.size());
        }
        if (exif.xmpTitle)
            image->xmpData()["Xmp.dc.title"] = exif.xmpTitle->toStdString();
        if (exif.iptcCaption)
            image->iptcData()["Iptc.Application2.Caption"] = exif.iptcCaption->toStdString();
        image->writeMetadata();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool writeJpegOfSize(const QString& path, const QSize& size, qint64 bytes, int quality)
{
    return writeJpeg(path, size, quality, 1) && padJpeg(path, bytes);
}

bool padJpeg(const QString& path, qint64 bytes)
{
    QByteArray jpeg = readFile(path);
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
        const char marker[] = {char(0xFF), char(0xFE), char(length >> 8), char(length & 0xFF)};
        segments.append(marker, 4).append(QByteArray(chunk - 4, 'x'));
        pad -= chunk;
    }
    jpeg.insert(at, segments);
    return jpeg.size() == bytes && writeFile(path, jpeg);
}

QImage quarters(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    QPainter p(&image);
    p.fillRect(0, 0, w, h, Qt::red);
    p.fillRect(w, 0, size.width() - w, h, Qt::green);
    p.fillRect(0, h, w, size.height() - h, Qt::blue);
    p.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
    return image;
}

QList<QColor> quarterColours(const QImage& image)
{
    QList<QColor> colours;
    if (image.isNull())
        return colours;
    const int w = image.width();
    const int h = image.height();
    for (const QPoint& at : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4),
                             QPoint(3 * w / 4, 3 * h / 4)}) {
        const QColor c = image.pixelColor(at);
        colours << QColor(c.red() > 127 ? 255 : 0, c.green() > 127 ? 255 : 0, c.blue() > 127 ? 255 : 0);
    }
    return colours;
}

bool writeOrientedJpeg(const QString& path, const QImage& upright, int orientation, Exif exif, int quality)
{
    // What the camera stored for each value: the upright picture turned (in
    // degrees, clockwise), then mirrored left-right and/or flipped upside down;
    // the inverse of what the value tells a viewer to do.
    struct Stored
    {
        int turn;
        bool mirror;
        bool flip;
    };
    static const Stored byOrientation[] = {{0, false, false}, {0, true, false},  {0, true, true},
                                           {0, false, true},  {90, true, false}, {-90, false, false},
                                           {90, false, true}, {90, false, false}};
    if (orientation < 1 || orientation > 8)
        return false;
    const Stored& how = byOrientation[orientation - 1];
    const QImage stored = upright.transformed(QTransform().rotate(how.turn)).mirrored(how.mirror, how.flip);
    exif.orientation = orientation;
    QImageWriter writer(path, "jpg");
    writer.setQuality(quality);
    return writer.write(stored) && writeExif(path, exif);
}

QMap<QString, QString> metadata(const QString& path)
{
    QMap<QString, QString> out;
    try {
        ImagePtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        if (!image.get())
            return out;
        image->readMetadata();
        for (const Exiv2::Exifdatum& d : image->exifData())
            out.insert(QString::fromStdString(d.key()), QString::fromStdString(d.toString()));
        for (const Exiv2::Iptcdatum& d : image->iptcData())
            out.insert(QString::fromStdString(d.key()), QString::fromStdString(d.toString()));
        for (const Exiv2::Xmpdatum& d : image->xmpData())
            out.insert(QString::fromStdString(d.key()), QString::fromStdString(d.toString()));
    } catch (const std::exception&) {
        out.clear();
    }
    return out;
}

bool writeGarbage(const QString& path, qint64 bytes)
{
    QByteArray data(bytes, 0);
    for (qint64 i = 0; i < bytes; ++i)
        data[i] = char((i * 131 + 7) & 0xFF);
    return writeFile(path, data);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray sha256Of(const QString& path)
{
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex();
}

} // namespace vbTestPhotos
