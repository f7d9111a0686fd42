#include "vbFitRect.h"

#include "vbFitSize.h"

QRect vbFitRect(const QSize& picture, const QSize& area)
{
    if (picture.isEmpty() || area.isEmpty())
        return QRect();
    const QSize fitted = fitSize(picture, area);
    return QRect((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2, fitted.width(),
                 fitted.height());
}
