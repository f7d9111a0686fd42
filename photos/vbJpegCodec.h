#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// JPEG straight through libjpeg-turbo, for the pixels that are only scaled and
// encoded again (preparation): decoding goes into the image's own memory in
// its final format and encoding reads it as it is, with none of the per-row
// conversions of the generic image plug-in.
namespace vbJpegCodec {

// Decodes jpeg into Format_RGB32 (colour) or Format_Grayscale8 (grey), reduced
// by the largest DCT scale (1/2, 1/4 or 1/8) that keeps both sides at least
// those of atLeast (an invalid atLeast: full size). reuse is decoded into when
// it has the size and format that result. Null when libjpeg cannot decode it
// (CMYK, a damaged stream): the caller then takes the generic decoder.
QImage decode(const QByteArray& jpeg, const QSize& atLeast = QSize(), QImage reuse = QImage());

// Baseline JPEG of image at quality (RGB32, ARGB32 and Grayscale8 are read as
// they are, other formats converted first). Empty on failure.
QByteArray encode(const QImage& image, int quality);

} // namespace vbJpegCodec
