#pragma once

#include <QByteArray>
#include <QImage>

// libjpeg-turbo called in-process, the yardstick of the thumbnail and
// preparation benchmarks. Pixels are RGB32 as Qt keeps them (B, G, R, X bytes).
namespace vbTurboReference {

// Decodes jpeg reduced by 1/scaleDenom (1, 2, 4 or 8) in the DCT, into the
// memory of reuse when it has the size (and is not shared).
QImage decode(const QByteArray& jpeg, int scaleDenom, QImage reuse = QImage());
// Encodes an RGB32 or ARGB32 image (alpha ignored); empty for other formats.
QByteArray encode(const QImage& image, int quality);

} // namespace vbTurboReference
