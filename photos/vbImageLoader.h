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
// ARGB32 and upright: the file's orientation tag is applied to the reduced
// picture, and the box fits the upright shape. On failure, or for a photo
// above maxPixels, the image is null and *sourceSize is 0 x 0; otherwise
// *sourceSize is the photo's upright pixel size (a 4000 x 3000 file tagged
// with a quarter turn gives 3000 x 4000).
QImage load(const QString& path, const QSize& box, QSize* sourceSize = nullptr);
// As load, in the format the decoder gives (RGB32 for colour JPEG, Grayscale8
// for grey): for pixels that are only scaled and encoded again. The decoder
// writes into reuse when it has the picture's size and format and is not
// shared, sparing a fresh allocation for each photo of a batch.
QImage decode(const QString& path, const QSize& box, QSize* sourceSize = nullptr, QImage reuse = QImage());

// Why a photo file cannot be sent. check() finds all but Damaged without
// decoding the pixels; Damaged is what a decoder reports on failure.
enum class Problem
{
    None,
    Missing,
    Empty,
    NotAnImage,
    TooLarge,
    Truncated,
    Damaged
};
Problem check(const QString& path);
// The reason as the user reads it (translated); empty for None.
QString problemText(Problem problem);
// True when data is a JPEG stream that runs to its end-of-image marker:
// decoders fill a cut-off file with grey and report success.
bool jpegComplete(const uchar* data, qint64 size);

// Writes image as a JPEG of the given quality. With metadataFrom, the EXIF,
// IPTC and XMP of that photo go into the file, made to fit the upright image
// (vbPhotoMetadata::transfer); when they cannot be carried over nothing is
// written and the result is false. The target is replaced only when the whole
// file was written, so a failed save leaves no half file.
bool saveJpeg(const QImage& image, const QString& path, int quality, const QString& metadataFrom = QString());

} // namespace vbImageLoader
