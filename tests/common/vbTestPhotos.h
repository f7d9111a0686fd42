#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <utility>

// Makes photo files for the test suites: JPEGs of a given pixel size, with
// EXIF values written by Exiv2, or padded to an exact byte size.
namespace vbTestPhotos {

using Rational = std::pair<int, int>;

struct Exif
{
    std::optional<QString> make;
    std::optional<QString> model;
    std::optional<QString> dateTime;
    std::optional<Rational> exposureTime;
    std::optional<Rational> aperture;
    std::optional<Rational> focalLength;
};

// A picture with some structure (gradient, shapes) so JPEG sizes are realistic.
// seed varies the colours.
QImage picture(const QSize& size, int seed = 0);

// Writes a JPEG of the given size; false when anything failed.
bool writeJpeg(const QString& path, const QSize& size, int quality = 90, int seed = 0);
// Adds EXIF values to an existing JPEG with Exiv2.
bool writeExif(const QString& path, const Exif& exif);
// writeJpeg + writeExif.
bool writeJpeg(const QString& path, const QSize& size, const Exif& exif, int quality = 90);
// Writes a valid JPEG of exactly bytes bytes (comment segments fill it up).
// False when the picture alone is already too large.
bool writeJpegOfSize(const QString& path, const QSize& size, qint64 bytes, int quality = 90);
// Writes bytes that are no image at all.
bool writeGarbage(const QString& path, qint64 bytes = 4096);

} // namespace vbTestPhotos
