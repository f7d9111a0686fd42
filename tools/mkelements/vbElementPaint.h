#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSize>

class QPainter;

// Drawing helpers of the element pictures.
namespace vbElementPaint {

// A transparent picture.
QImage canvas(int w, int h);
// Starts painting with anti-aliasing.
void beginPainter(QPainter& p, QImage& image);
// A soft shadow of path: its shape in colour, blurred by a few box passes.
void drawShadow(QPainter& p, const QPainterPath& path, const QSize& size, QPointF offset, int radius,
                QColor colour);
QPainterPath starPath(QPointF c, double outer, double inner, int points, double turnDegrees = -90);
QPainterPath heartPath(const QRectF& r);
QLinearGradient goldGradient(QPointF from, QPointF to);
// A small shiny sphere.
void pearl(QPainter& p, QPointF c, double r, QColor tint);
// A white highlight fading downwards.
void gloss(QPainter& p, const QRectF& r, int alpha);

} // namespace vbElementPaint
