#pragma once

#include <initializer_list>

#include <QColor>
#include <QIcon>

class QLabel;
class QPaintEvent;
class QWidget;

namespace vbKit {

// Colours of the frameless look.
inline QColor titleGradientTop()
{
    return QColor(244, 253, 253);
}
inline QColor titleGradientBottom()
{
    return QColor(208, 229, 247);
}
inline QColor panelGradientTop()
{
    return QColor(209, 235, 249);
}
inline QColor panelGradientBottom()
{
    return QColor(140, 198, 229);
}
inline QColor dialogBackground()
{
    return QColor(235, 240, 247);
}

// Blue underlined 9 pt text and a pointing hand, for labels that act as links.
void applyLinkLook(QWidget* widget);

// Fills the dialog below its title bar, leaving a 1-pixel edge at the left,
// right and bottom; topInset is how much of the top stays unpainted.
void paintDialogBackground(QWidget* dialog, QPaintEvent* event, int topInset = 31);

// Caption labels of a form column keep width pixels where their text fits and
// otherwise all grow to the widest one, so translated texts are never cut and
// the fields beside them stay aligned.
void fitCaptions(std::initializer_list<QLabel*> captions, int width = 60);

// The program icon (window and tray).
QIcon appIcon();

} // namespace vbKit
