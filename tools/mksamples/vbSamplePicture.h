#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Generated landscape photos for the sample folder and the benchmarks.
namespace vbSamplePicture {

// A landscape (sky, sun, hills, lake, grass) of the given size; seed varies it.
QImage landscape(const QSize& size, int seed);
// Writes make, model, date, exposure, aperture and focal length with Exiv2.
bool writeExif(const QString& path, int seed);
// landscape() saved as JPEG of the given quality, then writeExif().
bool writePhoto(const QString& path, const QSize& size, int seed, int quality);

} // namespace vbSamplePicture
