#pragma once

#include "vbGlyphs.h"

#include <QImage>
#include <QString>

// The button families and pictures of the light-blue theme. Every function
// draws one bitmap; hover variants are brighter and carry a soft glow.
namespace art {

enum class Tone
{
    Primary, // the action a box is about (blue, white caption)
    Plain    // the way out (pale, dark caption)
};

QImage captionButton(QSize size, const QString& caption, Tone tone, bool hover);
QImage bigAddButton(QSize size, const QString& caption, bool hover);
QImage panelButton(QSize size, const QString& caption, bool hover, bool withArrow);
QImage windowButton(QSize size, Glyph glyph, bool hover, bool danger);
QImage roundButton(QSize size, Glyph glyph, bool hover);
QImage tileButton(QSize size, Glyph glyph, bool danger);
QImage mark(QSize size, Glyph glyph, const QColor& colour);
QImage emblem(int side);
QImage logo(QSize size);
QImage loadingPicture(QSize size, const QString& caption);
QImage dropPhotosPicture(QSize size, const QString& title, const QString& hint);

// Chinese captions are drawn with WenQuanYi Micro Hei when it is installed;
// without it Qt falls back to whatever font has the ideographs.
bool hanFontInstalled();

} // namespace art
