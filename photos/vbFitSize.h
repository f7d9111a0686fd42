#pragma once

#include <QSize>

// The one size-fitting rule of the program. A size smaller than the box on both
// sides comes back unchanged; anything else is shrunk into the box keeping its
// shape, truncated to whole pixels. Used by the loaders, the tile, the editor and
// the viewers.
QSize fitSize(const QSize& source, const QSize& box);
QSize fitSize(double width, double height, double boxWidth, double boxHeight);
