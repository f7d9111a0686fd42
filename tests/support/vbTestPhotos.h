#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QSize>
#include <QString>

#include <optional>

// Makes photo files (and plain ones) for the test suites: JPEGs of a given pixel size, with
// EXIF values written by Exiv2, or padded to an exact byte size.
namespace vbTestPhotos {

struct Exif
{
    std::optional<QString> make;
    std::optional<QString> model;
    std::optional<QString> dateTime;
    // Exif.Image.Orientation, 1 to 8.
    std::optional<int> orientation;
    // Xmp.dc.title and Iptc.Application2.Caption.
    std::optional<QString> xmpTitle;
    std::optional<QString> iptcCaption;
    // An embedded preview (Exif.Thumbnail.*) of this picture.
    QImage preview;
};

// A picture with some structure (gradient, shapes) so JPEG sizes are realistic.
// seed varies the colours.
QImage picture(const QSize& size, int seed = 0);

// Writes a JPEG of the given size; false when anything failed.
bool writeJpeg(const QString& path, const QSize& size, int quality = 90, int seed = 0);
// Adds EXIF values to an existing JPEG with Exiv2.
bool writeExif(const QString& path, const Exif& exif);
// Writes a valid JPEG of exactly bytes bytes (comment segments fill it up).
// False when the picture alone is already too large.
bool writeJpegOfSize(const QString& path, const QSize& size, qint64 bytes, int quality = 90);
// Four coloured quarters (red top left, green top right, blue bottom left,
// yellow bottom right): every turn and mirror of it looks different.
QImage quarters(const QSize& size);
// The colours of the four quarters of image as seen, in the order above,
// rounded so that JPEG noise does not matter.
QList<QColor> quarterColours(const QImage& image);
// Writes the photo a camera held in the given EXIF orientation would store for
// the upright picture: the pixels turned the other way, and the tag (with the
// other values of exif) saying how to turn them back.
bool writeOrientedJpeg(const QString& path, const QImage& upright, int orientation, Exif exif = Exif(),
                       int quality = 95);
// Grows a JPEG to exactly bytes bytes with comment segments behind its APPn
// segments. False when it is already larger.
bool padJpeg(const QString& path, qint64 bytes);
// Every EXIF, IPTC and XMP key of a file with its value as text (Exiv2).
QMap<QString, QString> metadata(const QString& path);

// Writes bytes that are no image at all.
bool writeGarbage(const QString& path, qint64 bytes = 4096);

// Any file: written whole (false otherwise), read whole (empty when it cannot be read), its SHA-256 in hex.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
QByteArray sha256Of(const QString& path);

} // namespace vbTestPhotos
