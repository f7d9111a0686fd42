#pragma once

#include <QPointF>
#include <QRectF>
#include <Qt>

// The crop rectangle's rules, kept apart from the item so they can be checked
// on their own. Every rectangle is in picture pixels of the unturned picture;
// B is the picture's rectangle (0, 0, width, height).
namespace vbRazor {

// Half the width of an edge zone: the edges grab from 5 units outside to 5 inside.
constexpr double edgeGrip = 5.0;

// Which zones of the crop rectangle a point is in.
struct Zones
{
    bool outer = false;
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;

    bool anyEdge() const { return left || right || top || bottom; }
};

// A tenth of the picture in from every side.
QRectF initialRect(const QRectF& bounds);

// The largest rectangle of the ratio (width / height) that fits 95% of the
// picture, centred.
QRectF aspectRect(const QRectF& bounds, double ratio);

// r shrunk into the picture keeping its shape, then centred.
QRectF fitRect(const QRectF& bounds, const QRectF& r);

Zones hitZones(const QRectF& r, const QPointF& point);

// Left or right edge wins at a corner.
Qt::CursorShape cursorFor(const Zones& zones);

// One mouse move of a crop drag by delta with the edges in edges. Returns
// false, and leaves r as it was, when the move would take an edge out of the
// picture (or make the rectangle vanish); an inside move only skips the axis
// that would leave the picture.
bool drag(const QRectF& bounds, QRectF& r, double ratio, const Zones& edges, const QPointF& delta);

} // namespace vbRazor
