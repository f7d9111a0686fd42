#include "vbArt.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace art {
namespace {

const QColor kInk(22, 62, 112);     // dark blue text and glyphs
const QColor kEdge(96, 150, 198);   // outline of pale buttons
const QColor kDeep(36, 104, 178);   // primary button bottom
const QColor kBright(92, 164, 226); // primary button top
const QColor kDanger(214, 72, 62);  // close and remove
const QColor kOk(52, 160, 84);      // uploaded mark

QImage blank(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

const QString kHanFamily = QStringLiteral("WenQuanYi Micro Hei");

bool hasHan(const QString& text)
{
    for (const QChar c : text)
        if (c.script() == QChar::Script_Han)
            return true;
    return false;
}

// Latin captions use DejaVu; Chinese ones name their font outright rather
// than leave it to fallback, so the bitmaps look the same on every machine
// that has it.
QFont captionFont(qreal pixelSize, bool bold, bool condensed = false, bool han = false)
{
    QFont font(condensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"));
    if (han)
        font.setFamilies({kHanFamily, font.family()});
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Draws text centred in box; shrinks the font (and finally squeezes it
// horizontally) until it fits the width.
void drawCaption(QPainter& painter, const QRectF& box, const QString& text, qreal pixelSize, bool bold,
                 const QColor& colour, const QColor& shadow = QColor(), bool condensed = false)
{
    const bool han = hasHan(text);
    QFont font = captionFont(pixelSize, bold, condensed, han);
    // Ideographs below 10 pixels turn into smudges; squeeze them instead.
    const int smallest = han ? 10 : condensed ? 9 : 8;
    while (font.pixelSize() > smallest && QFontMetricsF(font).horizontalAdvance(text) > box.width())
        font.setPixelSize(font.pixelSize() - 1);
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(text);
    const qreal squeeze = width > box.width() ? box.width() / width : 1.0;

    painter.save();
    painter.setFont(font);
    painter.translate(box.center().x(), box.center().y());
    painter.scale(squeeze, 1.0);
    // Ideographs fill their em box and sit high in this font's line, so
    // centre them by their ink rather than by the line.
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal baseline =
        han ? qRound(-(ink.top() + ink.height() / 2)) : (metrics.ascent() - metrics.descent()) / 2;
    const QPointF origin(-width / 2, baseline);
    if (shadow.isValid()) {
        painter.setPen(shadow);
        painter.drawText(origin + QPointF(0, 1), text);
    }
    painter.setPen(colour);
    painter.drawText(origin, text);
    painter.restore();
}

// A soft halo just inside the image bounds.
void glow(QPainter& painter, const QRectF& body, qreal radius, const QColor& colour)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        QColor c = colour;
        c.setAlpha(40 + (3 - i) * 30);
        painter.setBrush(c);
        painter.drawRoundedRect(body.adjusted(-i, -i, i, i), radius + i, radius + i);
    }
    painter.restore();
}

void roundedBody(QPainter& painter, const QRectF& body, qreal radius, const QColor& top, const QColor& bottom,
                 const QColor& edge)
{
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, radius, radius);
    // Glossy upper half.
    QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    QRectF upper = body.adjusted(1.5, 1.5, -1.5, 0);
    upper.setHeight(body.height() / 2 - 1);
    painter.drawRoundedRect(upper, radius - 1, radius - 1);
}

} // namespace

QImage captionButton(QSize size, const QString& caption, Tone tone, bool hover)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(image.rect()).adjusted(2.5, 2.5, -2.5, -2.5);
    const qreal radius = qMin(6.0, body.height() / 2);
    if (tone == Tone::Primary) {
        if (hover)
            glow(painter, body, radius, QColor(120, 200, 255));
        roundedBody(painter, body, radius, hover ? kBright.lighter(118) : kBright,
                    hover ? kDeep.lighter(125) : kDeep, hover ? QColor(40, 110, 190) : QColor(26, 80, 146));
        drawCaption(painter, body.adjusted(4, 0, -4, 0), caption, body.height() * 0.62, true, Qt::white,
                    QColor(10, 50, 100, 110));
    } else {
        if (hover)
            glow(painter, body, radius, QColor(140, 200, 245));
        roundedBody(painter, body, radius, hover ? QColor(255, 255, 255) : QColor(250, 253, 255),
                    hover ? QColor(198, 228, 250) : QColor(206, 226, 243),
                    hover ? QColor(70, 140, 205) : kEdge);
        drawCaption(painter, body.adjusted(4, 0, -4, 0), caption, body.height() * 0.62, true, kInk);
    }
    return image;
}

QImage bigAddButton(QSize size, const QString& caption, bool hover)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(image.rect()).adjusted(3.5, 3.5, -3.5, -3.5);
    if (hover)
        glow(painter, body, 10, QColor(120, 200, 255));
    roundedBody(painter, body, 10, hover ? kBright.lighter(118) : kBright, hover ? kDeep.lighter(125) : kDeep,
                QColor(26, 80, 146));
    const qreal icon = body.height() * 0.72;
    const QRectF iconBox(body.left() + 10, body.center().y() - icon / 2, icon, icon);
    drawGlyph(painter, Glyph::Photo, iconBox, Qt::white);
    const QRectF plusBox(iconBox.right() - icon * 0.42, iconBox.top() - icon * 0.04, icon * 0.45,
                         icon * 0.45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 190, 60));
    painter.drawEllipse(plusBox);
    drawGlyph(painter, Glyph::Plus, plusBox, Qt::white);
    const QRectF textBox(iconBox.right() + 6, body.top(), body.right() - iconBox.right() - 12, body.height());
    // Four ideographs leave the box half empty at the Latin size.
    drawCaption(painter, textBox, caption, hasHan(caption) ? 20 : 16, true, Qt::white,
                QColor(10, 50, 100, 120));
    return image;
}

QImage panelButton(QSize size, const QString& caption, bool hover, bool withArrow)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(hover ? QColor(70, 140, 205) : QColor(120, 170, 210, 160), 1));
    painter.setBrush(hover ? QColor(255, 255, 255, 235) : QColor(255, 255, 255, 110));
    painter.drawRoundedRect(body, 4, 4);
    QRectF textBox = body.adjusted(2, 0, -2, 0);
    if (withArrow) {
        textBox.setRight(textBox.right() - 10);
        QPainterPath arrow;
        const QPointF c(body.right() - 8, body.center().y() + 1);
        arrow.moveTo(c + QPointF(-3.5, -2));
        arrow.lineTo(c + QPointF(3.5, -2));
        arrow.lineTo(c + QPointF(0, 2.5));
        arrow.closeSubpath();
        painter.fillPath(arrow, kInk);
    }
    drawCaption(painter, textBox, caption, 10, false, hover ? QColor(12, 80, 170) : kInk, QColor(), true);
    return image;
}

QImage windowButton(QSize size, Glyph glyph, bool hover, bool danger)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor ink = QColor(48, 92, 146);
    if (hover) {
        painter.setPen(QPen(danger ? kDanger.darker(120) : QColor(90, 150, 205), 1));
        painter.setBrush(danger ? kDanger : QColor(255, 255, 255, 220));
        painter.drawRoundedRect(body, 3, 3);
        ink = danger ? Qt::white : QColor(20, 70, 140);
    }
    const qreal side = qMin(size.width(), size.height()) * 0.8;
    drawGlyph(painter, glyph, QRectF(body.center().x() - side / 2, body.center().y() - side / 2, side, side),
              ink);
    return image;
}

QImage roundButton(QSize size, Glyph glyph, bool hover)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(image.rect()).adjusted(6, 6, -6, -6);
    if (hover) {
        QRadialGradient halo(disc.center(), disc.width() / 2 + 6);
        halo.setColorAt(0.8, QColor(120, 200, 255, 160));
        halo.setColorAt(1, QColor(120, 200, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(halo);
        painter.drawEllipse(disc.adjusted(-6, -6, 6, 6));
    }
    QLinearGradient fill(disc.topLeft(), disc.bottomLeft());
    fill.setColorAt(0, hover ? QColor(255, 255, 255) : QColor(248, 252, 255));
    fill.setColorAt(1, hover ? QColor(186, 222, 250) : QColor(196, 222, 242));
    painter.setPen(QPen(hover ? QColor(60, 135, 205) : kEdge, 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(disc);
    const qreal side = disc.width() * 0.62;
    drawGlyph(painter, glyph, QRectF(disc.center().x() - side / 2, disc.center().y() - side / 2, side, side),
              hover ? QColor(16, 96, 184) : kInk);
    return image;
}

QImage tileButton(QSize size, Glyph glyph, bool danger)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(image.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(QColor(90, 140, 190), 1));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRoundedRect(body, 4, 4);
    drawGlyph(painter, glyph, body.adjusted(2, 2, -2, -2), danger ? kDanger : kInk);
    return image;
}

QImage mark(QSize size, Glyph glyph, const QColor& colour)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(image.rect()).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(colour);
    painter.drawEllipse(disc);
    drawGlyph(painter, glyph, disc, Qt::white);
    return image;
}

QImage emblem(int side)
{
    QImage image = blank(QSize(side, side));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    const QRectF body(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient fill(body.topLeft(), body.bottomRight());
    fill.setColorAt(0, QColor(110, 190, 245));
    fill.setColorAt(1, QColor(26, 92, 170));
    painter.setPen(side >= 32 ? QPen(QColor(20, 70, 140), s / 48.0) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, s * 0.2, s * 0.2);
    // A sun over two hills: a photo, at a glance.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 205, 70));
    painter.drawEllipse(QPointF(s * 0.68, s * 0.32), s * 0.11, s * 0.11);
    QPainterPath hills;
    hills.moveTo(s * 0.12, s * 0.8);
    hills.lineTo(s * 0.4, s * 0.4);
    hills.lineTo(s * 0.58, s * 0.62);
    hills.lineTo(s * 0.7, s * 0.5);
    hills.lineTo(s * 0.88, s * 0.8);
    hills.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(hills);
    return image;
}

QImage logo(QSize size)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = size.height() - 6;
    painter.drawImage(QPoint(8, 3), emblem(side));
    QFont font = captionFont(27, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    painter.setFont(font);
    const QString word = QStringLiteral("velbrook");
    const QFontMetricsF metrics(font);
    const QPointF origin(side + 14, size.height() / 2.0 + (metrics.ascent() - metrics.descent()) / 2);
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(origin + QPointF(1, 1), word);
    QLinearGradient ink(0, 6, 0, size.height() - 6);
    ink.setColorAt(0, QColor(40, 120, 200));
    ink.setColorAt(1, QColor(16, 60, 120));
    painter.setPen(QPen(QBrush(ink), 1));
    painter.drawText(origin, word);
    return image;
}

bool hanFontInstalled()
{
    return QFontDatabase::families().contains(kHanFamily);
}

QImage loadingPicture(QSize size, const QString& caption)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size.width() / 2.0, size.height() * 0.4);
    const qreal ring = size.height() * 0.22;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i) {
        const qreal angle = qDegreesToRadians(i * 30.0);
        QColor dot(50, 120, 200);
        dot.setAlpha(40 + i * 18);
        painter.setBrush(dot);
        painter.drawEllipse(centre + QPointF(std::cos(angle), std::sin(angle)) * ring,
                            size.height() * 0.035 + i * 0.25, size.height() * 0.035 + i * 0.25);
    }
    drawCaption(painter, QRectF(0, size.height() * 0.72, size.width(), size.height() * 0.2), caption, 13,
                false, QColor(60, 90, 130));
    return image;
}

QImage dropPhotosPicture(QSize size, const QString& title, const QString& hint)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(image.rect()).adjusted(3, 3, -3, -3);
    painter.setPen(QPen(QColor(120, 170, 215), 2, Qt::DashLine, Qt::RoundCap));
    painter.setBrush(QColor(244, 250, 255, 220));
    painter.drawRoundedRect(frame, 14, 14);

    const qreal icon = frame.height() * 0.42;
    const QRectF photoBox(frame.center().x() - icon / 2, frame.top() + frame.height() * 0.1, icon, icon);
    drawGlyph(painter, Glyph::Photo, photoBox, QColor(90, 150, 210));
    // A down arrow dropping into the picture.
    QPainterPath arrow;
    const QPointF tip(photoBox.right() + icon * 0.05, photoBox.top() + icon * 0.55);
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(-icon * 0.14, -icon * 0.16));
    arrow.lineTo(tip + QPointF(-icon * 0.05, -icon * 0.16));
    arrow.lineTo(tip + QPointF(-icon * 0.05, -icon * 0.4));
    arrow.lineTo(tip + QPointF(icon * 0.05, -icon * 0.4));
    arrow.lineTo(tip + QPointF(icon * 0.05, -icon * 0.16));
    arrow.lineTo(tip + QPointF(icon * 0.14, -icon * 0.16));
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor(255, 170, 40));
    painter.drawPath(arrow);

    drawCaption(painter, QRectF(frame.left() + 10, photoBox.bottom() + 8, frame.width() - 20, 24), title, 18,
                true, QColor(40, 90, 150));
    drawCaption(painter, QRectF(frame.left() + 10, photoBox.bottom() + 34, frame.width() - 20, 18), hint, 12,
                false, QColor(90, 120, 160));
    return image;
}

} // namespace art
