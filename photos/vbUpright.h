#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QSize>

// Turns pixels as a file stores them into the photo as it was taken, following
// the orientation the file declares (QImageReader::transformation(), the EXIF
// orientation for JPEG): mirror and flip first, then a quarter turn clockwise.
namespace vbUpright {

// The size of the picture once turned.
QSize size(const QSize& stored, QImageIOHandler::Transformations orientation);

// The picture turned upright.
QImage image(QImage stored, QImageIOHandler::Transformations orientation);

} // namespace vbUpright
