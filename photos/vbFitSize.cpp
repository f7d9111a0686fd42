#include "vbFitSize.h"

#include <cmath>

QSize fitSize(double width, double height, double boxWidth, double boxHeight)
{
    if (width < boxWidth && height < boxHeight)
        return QSize(int(std::lround(width)), int(std::lround(height)));
    // Degenerate sources have no shape to keep.
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return QSize(0, 0);
    if (boxWidth / boxHeight > width / height)
        return QSize(int(boxHeight * width / height), int(boxHeight));
    return QSize(int(boxWidth), int(boxWidth * height / width));
}

QSize fitSize(const QSize& source, const QSize& box)
{
    return fitSize(source.width(), source.height(), box.width(), box.height());
}
