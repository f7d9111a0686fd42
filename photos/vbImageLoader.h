#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Decoding and encoding of photo files, safe to call from any thread.
namespace vbImageLoader {

// Photos above this many pixels are refused instead of decoded.
constexpr qint64 maxPixels = 250000000;

// Decodes path fitted into box (fitSize), letting the decoder reduce while it
// decodes (JPEG: scaled DCT). An invalid box means full size. The image is
// ARGB32, not rotated by any orientation tag. On failure, or for a photo above
// maxPixels, the image is null and *sourceSize is 0 x 0; otherwise *sourceSize
// is the file's own pixel size.
QImage load(const QString& path, const QSize& box, QSize* sourceSize = nullptr);

// Writes image as a JPEG of the given quality. The target is replaced only
// when the whole file was written, so a failed save leaves no half file.
bool saveJpeg(const QImage& image, const QString& path, int quality);

} // namespace vbImageLoader
