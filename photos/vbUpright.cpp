#include "vbUpright.h"

#include <QTransform>

#include <utility>

namespace vbUpright {

QSize size(const QSize& stored, QImageIOHandler::Transformations orientation)
{
    return orientation.testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

QImage image(QImage stored, QImageIOHandler::Transformations orientation)
{
    if (stored.isNull() || orientation == QImageIOHandler::TransformationNone)
        return stored;
    // Mirrors in place: a full-size photo is not held three times over.
    stored = std::move(stored).mirrored(orientation.testFlag(QImageIOHandler::TransformationMirror),
                                        orientation.testFlag(QImageIOHandler::TransformationFlip));
    if (orientation.testFlag(QImageIOHandler::TransformationRotate90))
        return stored.transformed(QTransform().rotate(90));
    return stored;
}

} // namespace vbUpright
