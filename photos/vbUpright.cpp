#include "vbUpright.h"

#include <QTransform>

namespace vbUpright {

QSize size(const QSize& stored, QImageIOHandler::Transformations orientation)
{
    return orientation.testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

QImage image(const QImage& stored, QImageIOHandler::Transformations orientation)
{
    if (stored.isNull() || orientation == QImageIOHandler::TransformationNone)
        return stored;
    QImage out = stored.mirrored(orientation.testFlag(QImageIOHandler::TransformationMirror),
                                 orientation.testFlag(QImageIOHandler::TransformationFlip));
    if (orientation.testFlag(QImageIOHandler::TransformationRotate90))
        out = out.transformed(QTransform().rotate(90));
    return out;
}

} // namespace vbUpright
