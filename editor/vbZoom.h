#pragma once

#include <QPointF>
#include <QSize>
#include <QString>

// The rules of the editor's zoom list and zoom buttons.
namespace vbZoom {

constexpr float minScale = 0.1f;
constexpr float maxScale = 2.0f;
constexpr float step = 0.1f;

// The zoom asked for by a list text: one of the list's percentages, or a
// typed number with or without "%" (clamped to 10%..200%). False for the fit
// entry and for text that is no number.
bool factorForText(const QString& text, double* factor);

// The zoom (x, y) that shows a photo of size shown inside target without ever
// enlarging it.
QPointF scaleFor(const QSize& shown, const QSizeF& target);

// One press of zoom in or out from scale.
double stepped(double scale, bool in);

// The list's text for a scale: a percentage rounded to tens ("110%").
QString percentText(double scale);

} // namespace vbZoom
