#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// Carries a photo's metadata over to a copy the program made of it.
namespace vbPhotoMetadata {

enum Result
{
    Copied,
    NothingToCopy, // the photo has no EXIF, IPTC or XMP, or is of a kind Exiv2 does not know
    Failed         // the photo's metadata or the copy could not be read or written
};

// Puts the EXIF, IPTC and XMP of the photo at sourcePath into jpeg, the bytes
// of an upright copy of it that is size pixels large. The copy declares a
// normal orientation and its own pixel size, and carries no embedded preview
// (it would show the old picture). jpeg is changed only when Copied.
// Safe to call from any thread.
Result transfer(const QString& sourcePath, QByteArray& jpeg, const QSize& size);

} // namespace vbPhotoMetadata
