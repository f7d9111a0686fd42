#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// Line-art symbols drawn into a square box; one stroke weight per box size so
// every button family reads alike.
enum class Glyph
{
    Minimise,
    Maximise,
    Restore,
    Close,
    ZoomIn,
    ZoomOut,
    RotateLeft,
    RotateRight,
    Crop,
    Play,
    Pause,
    Previous,
    Next,
    Exit,
    Info,
    FullScreen,
    Edit,
    Remove,
    Check,
    Failed,
    Plus,
    Photo
};

void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& colour);
