#pragma once

#include <QRect>
#include <QSize>

// Where a picture of the given size is drawn in an area of the given size: its
// fitted size (fitSize, never enlarged), centred. Empty for an empty picture.
QRect vbFitRect(const QSize& picture, const QSize& area);
