#include "vbElementArt.h"

#include "vbElementPaint.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <functional>

namespace vbElementArt {

namespace {

using namespace vbElementPaint;

// ---- frames ----

QImage frameGold()
{
    QImage img = canvas(440, 330);
    QPainter p;
    beginPainter(p, img);
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addRoundedRect(QRectF(14, 12, 410, 300), 18, 18);
    ring.addRoundedRect(QRectF(52, 50, 334, 224), 8, 8);
    drawShadow(p, ring, img.size(), QPointF(3, 4), 4, QColor(0, 0, 0, 110));
    p.setPen(QPen(QColor(107, 74, 18), 2));
    p.setBrush(goldGradient(QPointF(14, 12), QPointF(424, 312)));
    p.drawPath(ring);
    // The bevel: a light line inside, a dark line round the window.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 246, 200, 200), 2));
    p.drawRoundedRect(QRectF(24, 22, 390, 280), 12, 12);
    p.setPen(QPen(QColor(120, 82, 20), 3));
    p.drawRoundedRect(QRectF(50, 48, 338, 228), 9, 9);
    const QPointF corners[] = {{33, 31}, {405, 31}, {33, 293}, {405, 293}};
    for (const QPointF& c : corners)
        pearl(p, c, 9, QColor(230, 180, 60));
    for (int i = 1; i < 6; ++i) {
        pearl(p, QPointF(33 + i * 62, 31), 4, QColor(240, 200, 90));
        pearl(p, QPointF(33 + i * 62, 293), 4, QColor(240, 200, 90));
    }
    return img;
}

QImage frameOval()
{
    QImage img = canvas(330, 410);
    QPainter p;
    beginPainter(p, img);
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(QRectF(15, 12, 300, 385));
    ring.addEllipse(QRectF(50, 48, 230, 313));
    drawShadow(p, ring, img.size(), QPointF(2, 4), 4, QColor(80, 0, 40, 100));
    QLinearGradient g(QPointF(15, 12), QPointF(315, 397));
    g.setColorAt(0, QColor(255, 196, 214));
    g.setColorAt(0.5, QColor(224, 96, 140));
    g.setColorAt(1, QColor(255, 170, 196));
    p.setPen(QPen(QColor(150, 40, 90), 2));
    p.setBrush(g);
    p.drawPath(ring);
    const QPointF centre(165, 204.5);
    for (int i = 0; i < 28; ++i) {
        const double a = qDegreesToRadians(i * 360.0 / 28);
        pearl(p, centre + QPointF(132 * qCos(a), 175 * qSin(a)), 6.5, QColor(250, 240, 235));
    }
    return img;
}

QImage framePolaroid()
{
    QImage img = canvas(370, 420);
    QPainter p;
    beginPainter(p, img);
    QPainterPath card;
    card.setFillRule(Qt::OddEvenFill);
    card.addRect(QRectF(16, 12, 334, 392));
    card.addRect(QRectF(36, 32, 294, 290));
    drawShadow(p, card, img.size(), QPointF(4, 6), 5, QColor(0, 0, 0, 120));
    QLinearGradient g(QPointF(0, 12), QPointF(0, 404));
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(238, 236, 230));
    p.setPen(QPen(QColor(200, 198, 190), 1));
    p.setBrush(g);
    p.drawPath(card);
    p.setPen(QPen(QColor(170, 168, 160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(36, 32, 294, 290));
    // A strip of tape across the top.
    p.save();
    p.translate(183, 16);
    p.rotate(-4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 190, 190));
    p.drawRect(QRectF(-55, -14, 110, 28));
    p.restore();
    return img;
}

QImage frameScallop()
{
    QImage img = canvas(420, 320);
    QPainter p;
    beginPainter(p, img);
    QPainterPath outer;
    outer.addRect(QRectF(30, 30, 360, 260));
    const double r = 18;
    auto scallop = [&](QPointF c) {
        QPainterPath circle;
        circle.addEllipse(c, r, r);
        outer = outer.united(circle);
    };
    for (double x = 30; x <= 390.1; x += 36) {
        scallop(QPointF(x, 30));
        scallop(QPointF(x, 290));
    }
    for (double y = 62.5; y <= 257.6; y += 32.5) {
        scallop(QPointF(30, y));
        scallop(QPointF(390, y));
    }
    QPainterPath window;
    window.addRoundedRect(QRectF(62, 62, 296, 196), 6, 6);
    const QPainterPath ring = outer.subtracted(window);
    drawShadow(p, ring, img.size(), QPointF(2, 3), 3, QColor(0, 40, 80, 110));
    QLinearGradient g(QPointF(0, 0), QPointF(420, 320));
    g.setColorAt(0, QColor(150, 210, 250));
    g.setColorAt(1, QColor(70, 140, 215));
    p.setPen(QPen(QColor(40, 90, 160), 2));
    p.setBrush(g);
    p.drawPath(ring);
    QPen stitch(Qt::white, 2.5, Qt::DashLine);
    stitch.setCapStyle(Qt::RoundCap);
    p.setPen(stitch);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(44, 44, 332, 232), 10, 10);
    return img;
}

// ---- stars ----

QImage starGold()
{
    QImage img = canvas(260, 250);
    QPainter p;
    beginPainter(p, img);
    const QPainterPath star = starPath(QPointF(130, 132), 118, 50, 5);
    drawShadow(p, star, img.size(), QPointF(3, 4), 4, QColor(90, 50, 0, 120));
    QRadialGradient g(QPointF(115, 110), 130);
    g.setColorAt(0, QColor(255, 250, 200));
    g.setColorAt(0.45, QColor(255, 212, 40));
    g.setColorAt(1, QColor(230, 130, 10));
    p.setPen(QPen(QColor(180, 90, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(star);
    // Facets: lines from the centre to each point.
    p.setPen(QPen(QColor(255, 255, 255, 110), 2));
    for (int i = 0; i < 5; ++i) {
        const double a = qDegreesToRadians(-90.0 + i * 72);
        p.drawLine(QPointF(130, 132), QPointF(130 + 100 * qCos(a), 132 + 100 * qSin(a)));
    }
    return img;
}

void sparkle(QPainter& p, QPointF c, double r, QColor colour)
{
    QRadialGradient glow(c, r * 1.2);
    glow.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), 150));
    glow.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r * 1.2, r * 1.2);
    QRadialGradient core(c, r);
    core.setColorAt(0, Qt::white);
    core.setColorAt(0.4, colour.lighter(130));
    core.setColorAt(1, colour);
    p.setBrush(core);
    p.drawPath(starPath(c, r, r * 0.18, 4));
}

QImage starSparkle()
{
    QImage img = canvas(260, 260);
    QPainter p;
    beginPainter(p, img);
    sparkle(p, QPointF(120, 130), 100, QColor(255, 214, 90));
    sparkle(p, QPointF(210, 60), 36, QColor(150, 200, 255));
    sparkle(p, QPointF(215, 205), 24, QColor(255, 170, 210));
    sparkle(p, QPointF(40, 40), 20, QColor(255, 230, 140));
    return img;
}

QImage starShooting()
{
    QImage img = canvas(380, 220);
    QPainter p;
    beginPainter(p, img);
    QPainterPath tail;
    tail.moveTo(290, 70);
    tail.cubicTo(200, 90, 90, 150, 10, 200);
    tail.cubicTo(100, 170, 210, 135, 300, 122);
    tail.closeSubpath();
    QLinearGradient g(QPointF(300, 95), QPointF(10, 200));
    g.setColorAt(0, QColor(255, 220, 90, 230));
    g.setColorAt(0.5, QColor(255, 140, 200, 120));
    g.setColorAt(1, QColor(140, 120, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(tail);
    for (int i = 0; i < 6; ++i)
        sparkle(p, QPointF(230 - i * 38, 112 + i * 16 + (i % 2) * 14), 9 - i, QColor(255, 240, 170));
    const QPainterPath star = starPath(QPointF(305, 96), 62, 26, 5, -72);
    QRadialGradient sg(QPointF(295, 85), 70);
    sg.setColorAt(0, QColor(255, 252, 210));
    sg.setColorAt(0.5, QColor(255, 214, 50));
    sg.setColorAt(1, QColor(240, 150, 20));
    p.setPen(QPen(QColor(200, 110, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(sg);
    p.drawPath(star);
    return img;
}

QImage starsTrio()
{
    QImage img = canvas(300, 240);
    QPainter p;
    beginPainter(p, img);
    const struct
    {
        QPointF c;
        double r;
        QColor colour;
        double turn;
    } stars[] = {{{90, 140}, 80, QColor(90, 150, 255), -100},
                 {{215, 85}, 62, QColor(255, 110, 170), -80},
                 {{225, 195}, 38, QColor(170, 110, 240), -95}};
    for (const auto& s : stars) {
        const QPainterPath path = starPath(s.c, s.r, s.r * 0.45, 5, s.turn);
        drawShadow(p, path, img.size(), QPointF(2, 3), 3, QColor(0, 0, 0, 90));
        QRadialGradient g(s.c - QPointF(s.r * 0.2, s.r * 0.25), s.r * 1.1);
        g.setColorAt(0, s.colour.lighter(170));
        g.setColorAt(1, s.colour.darker(120));
        p.setPen(QPen(s.colour.darker(160), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(g);
        p.drawPath(path);
    }
    return img;
}

// ---- hearts ----

void shinyHeart(QPainter& p, const QRectF& r, QColor colour, const QSize& size)
{
    const QPainterPath heart = heartPath(r);
    drawShadow(p, heart, size, QPointF(3, 4), 4, QColor(80, 0, 0, 110));
    QRadialGradient g(r.center() - QPointF(r.width() * 0.18, r.height() * 0.2), r.width() * 0.75);
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(0.6, colour);
    g.setColorAt(1, colour.darker(150));
    p.setPen(QPen(colour.darker(200), 2.5));
    p.setBrush(g);
    p.drawPath(heart);
    gloss(p, QRectF(r.x() + r.width() * 0.14, r.y() + r.height() * 0.1, r.width() * 0.28, r.height() * 0.2),
          190);
}

QImage heartRed()
{
    QImage img = canvas(260, 240);
    QPainter p;
    beginPainter(p, img);
    shinyHeart(p, QRectF(18, 14, 222, 206), QColor(220, 30, 50), img.size());
    return img;
}

QImage heartsPair()
{
    QImage img = canvas(320, 250);
    QPainter p;
    beginPainter(p, img);
    p.save();
    p.translate(110, 125);
    p.rotate(-14);
    shinyHeart(p, QRectF(-90, -85, 180, 168), QColor(255, 120, 170), QSize(320, 250));
    p.restore();
    p.save();
    p.translate(205, 120);
    p.rotate(12);
    shinyHeart(p, QRectF(-90, -85, 180, 168), QColor(210, 25, 60), QSize(320, 250));
    p.restore();
    return img;
}

QImage heartOutline()
{
    QImage img = canvas(260, 240);
    QPainter p;
    beginPainter(p, img);
    const QPainterPath heart = heartPath(QRectF(26, 24, 208, 190));
    p.setPen(QPen(QColor(240, 90, 150), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(heart);
    p.setPen(QPen(QColor(255, 210, 230), 4, Qt::DotLine, Qt::RoundCap));
    p.drawPath(heart);
    pearl(p, QPointF(200, 50), 8, QColor(255, 150, 190));
    pearl(p, QPointF(226, 80), 5, QColor(255, 150, 190));
    return img;
}

QImage heartBalloon()
{
    QImage img = canvas(220, 360);
    QPainter p;
    beginPainter(p, img);
    QPainterPath string;
    string.moveTo(110, 205);
    string.cubicTo(80, 250, 140, 290, 104, 350);
    p.setPen(QPen(QColor(110, 110, 120), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(string);
    QPainterPath knot;
    knot.moveTo(110, 196);
    knot.lineTo(100, 210);
    knot.lineTo(120, 210);
    knot.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 20, 40));
    p.drawPath(knot);
    shinyHeart(p, QRectF(16, 12, 188, 190), QColor(230, 40, 70), img.size());
    return img;
}

// ---- speech bubbles ----

void bubble(QPainter& p, const QPainterPath& shape, const QSize& size, QColor fill, QColor line)
{
    drawShadow(p, shape, size, QPointF(3, 4), 4, QColor(0, 0, 0, 90));
    QLinearGradient g(shape.boundingRect().topLeft(), shape.boundingRect().bottomLeft());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, fill);
    p.setPen(QPen(line, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(shape);
}

QImage bubbleRound()
{
    QImage img = canvas(340, 260);
    QPainter p;
    beginPainter(p, img);
    QPainterPath body;
    body.addEllipse(QRectF(14, 12, 310, 180));
    QPainterPath tail;
    tail.moveTo(95, 165);
    tail.quadTo(80, 220, 40, 245);
    tail.quadTo(115, 225, 150, 178);
    tail.closeSubpath();
    bubble(p, body.united(tail).simplified(), img.size(), QColor(235, 242, 250), QColor(50, 60, 80));
    return img;
}

QImage bubbleThought()
{
    QImage img = canvas(360, 280);
    QPainter p;
    beginPainter(p, img);
    QPainterPath cloud;
    const QRectF puffs[] = {{40, 60, 110, 100},  {100, 22, 120, 110}, {190, 30, 120, 110},
                            {230, 85, 110, 100}, {160, 120, 120, 90}, {60, 115, 130, 90}};
    cloud.addEllipse(QRectF(90, 70, 190, 120));
    for (const QRectF& r : puffs) {
        QPainterPath puff;
        puff.addEllipse(r);
        cloud = cloud.united(puff);
    }
    bubble(p, cloud, img.size(), QColor(236, 236, 252), QColor(70, 70, 110));
    QPainterPath dots;
    dots.addEllipse(QRectF(70, 212, 30, 24));
    dots.addEllipse(QRectF(42, 244, 20, 16));
    dots.addEllipse(QRectF(22, 264, 12, 10));
    bubble(p, dots, img.size(), QColor(236, 236, 252), QColor(70, 70, 110));
    return img;
}

QImage bubbleCallout()
{
    QImage img = canvas(360, 250);
    QPainter p;
    beginPainter(p, img);
    QPainterPath body;
    body.addRoundedRect(QRectF(14, 12, 330, 170), 26, 26);
    QPainterPath tail;
    tail.moveTo(240, 175);
    tail.lineTo(300, 238);
    tail.lineTo(285, 175);
    tail.closeSubpath();
    bubble(p, body.united(tail).simplified(), img.size(), QColor(255, 244, 190), QColor(150, 110, 20));
    return img;
}

QImage bubbleBurst()
{
    QImage img = canvas(320, 300);
    QPainter p;
    beginPainter(p, img);
    QPainterPath burst;
    const int points = 16;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2 == 0) ? (i % 4 == 0 ? 145 : 128) : 92;
        const double a = qDegreesToRadians(i * 180.0 / points);
        const QPointF pt(160 + r * qCos(a), 150 + r * 0.9 * qSin(a));
        if (i == 0)
            burst.moveTo(pt);
        else
            burst.lineTo(pt);
    }
    burst.closeSubpath();
    drawShadow(p, burst, img.size(), QPointF(3, 4), 4, QColor(80, 20, 0, 110));
    QRadialGradient g(QPointF(150, 140), 150);
    g.setColorAt(0, QColor(255, 250, 170));
    g.setColorAt(0.6, QColor(255, 200, 40));
    g.setColorAt(1, QColor(250, 120, 20));
    p.setPen(QPen(QColor(200, 30, 20), 4, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    p.setBrush(g);
    p.drawPath(burst);
    return img;
}

// ---- ribbons ----

QImage ribbonBanner()
{
    QImage img = canvas(460, 170);
    QPainter p;
    beginPainter(p, img);
    const QColor red(205, 30, 45);
    // The two ends behind, with their folds.
    QPainterPath leftEnd;
    leftEnd.moveTo(70, 60);
    leftEnd.lineTo(10, 60);
    leftEnd.lineTo(38, 98);
    leftEnd.lineTo(10, 136);
    leftEnd.lineTo(90, 136);
    leftEnd.closeSubpath();
    QPainterPath rightEnd;
    rightEnd.moveTo(390, 60);
    rightEnd.lineTo(450, 60);
    rightEnd.lineTo(422, 98);
    rightEnd.lineTo(450, 136);
    rightEnd.lineTo(370, 136);
    rightEnd.closeSubpath();
    QPainterPath front;
    front.moveTo(60, 30);
    front.quadTo(230, 8, 400, 30);
    front.lineTo(400, 110);
    front.quadTo(230, 88, 60, 110);
    front.closeSubpath();
    drawShadow(p, leftEnd.united(rightEnd).united(front), img.size(), QPointF(3, 5), 4, QColor(0, 0, 0, 110));
    p.setPen(QPen(red.darker(170), 2));
    p.setBrush(red.darker(130));
    p.drawPath(leftEnd);
    p.drawPath(rightEnd);
    QPainterPath foldL;
    foldL.moveTo(60, 110);
    foldL.lineTo(90, 136);
    foldL.lineTo(90, 108);
    foldL.closeSubpath();
    QPainterPath foldR;
    foldR.moveTo(400, 110);
    foldR.lineTo(370, 136);
    foldR.lineTo(370, 108);
    foldR.closeSubpath();
    p.setBrush(red.darker(220));
    p.drawPath(foldL);
    p.drawPath(foldR);
    QLinearGradient g(QPointF(0, 20), QPointF(0, 110));
    g.setColorAt(0, red.lighter(140));
    g.setColorAt(0.5, red);
    g.setColorAt(1, red.darker(120));
    p.setBrush(g);
    p.drawPath(front);
    QPen stitch(QColor(255, 220, 200, 220), 2, Qt::DashLine);
    p.setPen(stitch);
    p.setBrush(Qt::NoBrush);
    QPainterPath top;
    top.moveTo(66, 40);
    top.quadTo(230, 18, 394, 40);
    QPainterPath bottom;
    bottom.moveTo(66, 100);
    bottom.quadTo(230, 78, 394, 100);
    p.drawPath(top);
    p.drawPath(bottom);
    return img;
}

QImage ribbonBow()
{
    QImage img = canvas(320, 260);
    QPainter p;
    beginPainter(p, img);
    const QColor pink(235, 70, 140);
    QPainterPath tails;
    tails.moveTo(150, 115);
    tails.lineTo(95, 240);
    tails.lineTo(120, 226);
    tails.lineTo(135, 250);
    tails.lineTo(165, 120);
    tails.closeSubpath();
    tails.moveTo(170, 115);
    tails.lineTo(225, 240);
    tails.lineTo(200, 228);
    tails.lineTo(186, 252);
    tails.lineTo(155, 122);
    tails.closeSubpath();
    QPainterPath loops;
    loops.moveTo(160, 105);
    loops.cubicTo(110, 20, 20, 30, 30, 100);
    loops.cubicTo(35, 160, 110, 150, 160, 115);
    loops.closeSubpath();
    loops.moveTo(160, 105);
    loops.cubicTo(210, 20, 300, 30, 290, 100);
    loops.cubicTo(285, 160, 210, 150, 160, 115);
    loops.closeSubpath();
    drawShadow(p, tails.united(loops), img.size(), QPointF(3, 4), 4, QColor(60, 0, 30, 110));
    p.setPen(QPen(pink.darker(170), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(pink.darker(120));
    p.drawPath(tails);
    QRadialGradient g(QPointF(160, 80), 150);
    g.setColorAt(0, pink.lighter(150));
    g.setColorAt(1, pink.darker(110));
    p.setBrush(g);
    p.drawPath(loops);
    // Inner shading of the loops.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 0, 50, 70));
    p.drawEllipse(QRectF(60, 70, 70, 40));
    p.drawEllipse(QRectF(190, 70, 70, 40));
    p.setPen(QPen(pink.darker(170), 2.5));
    QRadialGradient knot(QPointF(155, 102), 26);
    knot.setColorAt(0, pink.lighter(160));
    knot.setColorAt(1, pink.darker(130));
    p.setBrush(knot);
    p.drawRoundedRect(QRectF(138, 88, 44, 38), 12, 12);
    return img;
}

QImage ribbonCorner()
{
    QImage img = canvas(260, 260);
    QPainter p;
    beginPainter(p, img);
    QPainterPath sash;
    sash.moveTo(0, 120);
    sash.lineTo(120, 0);
    sash.lineTo(190, 0);
    sash.lineTo(0, 190);
    sash.closeSubpath();
    drawShadow(p, sash, img.size(), QPointF(3, 4), 4, QColor(0, 0, 0, 110));
    QLinearGradient g(QPointF(60, 60), QPointF(95, 95));
    g.setColorAt(0, QColor(60, 170, 110));
    g.setColorAt(0.5, QColor(110, 215, 150));
    g.setColorAt(1, QColor(30, 130, 80));
    p.setPen(QPen(QColor(20, 90, 55), 2));
    p.setBrush(g);
    p.drawPath(sash);
    p.setPen(QPen(QColor(235, 255, 240, 220), 2, Qt::DashLine));
    p.drawLine(QPointF(8, 126), QPointF(126, 8));
    p.drawLine(QPointF(8, 172), QPointF(172, 8));
    return img;
}

// ---- flowers ----

void petalRing(QPainter& p, QPointF c, int count, double length, double width, double offset, QColor inner,
               QColor outer, double turn = 0)
{
    for (int i = 0; i < count; ++i) {
        p.save();
        p.translate(c);
        p.rotate(turn + i * 360.0 / count);
        QLinearGradient g(QPointF(0, 0), QPointF(offset + length, 0));
        g.setColorAt(0, inner);
        g.setColorAt(1, outer);
        p.setPen(QPen(outer.darker(140), 1.2));
        p.setBrush(g);
        p.drawEllipse(QRectF(offset, -width / 2, length, width));
        p.restore();
    }
}

void seedCentre(QPainter& p, QPointF c, double r, QColor light, QColor dark, bool seeds)
{
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.2);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(150), 1.5));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    if (!seeds)
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 20, 5, 150));
    for (int i = 0; i < 60; ++i) {
        // A sunflower's spiral: the golden angle.
        const double a = i * 137.508 * M_PI / 180.0;
        const double d = r * 0.9 * qSqrt(i / 60.0);
        p.drawEllipse(c + QPointF(d * qCos(a), d * qSin(a)), 2.2, 2.2);
    }
}

QImage flowerDaisy()
{
    QImage img = canvas(260, 260);
    QPainter p;
    beginPainter(p, img);
    petalRing(p, QPointF(130, 130), 16, 96, 30, 18, QColor(250, 250, 255), QColor(225, 228, 245), 0);
    petalRing(p, QPointF(130, 130), 16, 84, 26, 16, Qt::white, QColor(238, 240, 252), 11.25);
    seedCentre(p, QPointF(130, 130), 30, QColor(255, 236, 110), QColor(230, 160, 20), false);
    return img;
}

QImage flowerBlossom()
{
    QImage img = canvas(260, 260);
    QPainter p;
    beginPainter(p, img);
    const QPointF c(130, 130);
    QPainterPath petals;
    for (int i = 0; i < 5; ++i) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(-90 + i * 72);
        QPainterPath petal;
        petal.addEllipse(QRectF(10, -46, 104, 92));
        petals = petals.united(t.map(petal));
    }
    drawShadow(p, petals, img.size(), QPointF(3, 4), 4, QColor(100, 0, 50, 100));
    QRadialGradient g(c, 120);
    g.setColorAt(0, QColor(255, 240, 245));
    g.setColorAt(0.5, QColor(255, 170, 200));
    g.setColorAt(1, QColor(235, 100, 150));
    p.setPen(QPen(QColor(190, 60, 110), 2));
    p.setBrush(g);
    p.drawPath(petals);
    p.setPen(QPen(QColor(200, 90, 120), 2));
    for (int i = 0; i < 10; ++i) {
        const double a = qDegreesToRadians(i * 36.0);
        const QPointF tip = c + QPointF(36 * qCos(a), 36 * qSin(a));
        p.drawLine(c, tip);
        pearl(p, tip, 4, QColor(255, 215, 80));
        p.setPen(QPen(QColor(200, 90, 120), 2));
    }
    seedCentre(p, c, 14, QColor(255, 240, 150), QColor(230, 170, 40), false);
    return img;
}

QImage flowerTulip()
{
    QImage img = canvas(200, 360);
    QPainter p;
    beginPainter(p, img);
    QPainterPath stem;
    stem.moveTo(100, 150);
    stem.cubicTo(96, 220, 104, 280, 100, 350);
    p.setPen(QPen(QColor(50, 140, 60), 8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    QPainterPath leaf;
    leaf.moveTo(100, 340);
    leaf.cubicTo(40, 300, 30, 230, 50, 190);
    leaf.cubicTo(70, 240, 90, 280, 102, 320);
    leaf.closeSubpath();
    QLinearGradient lg(QPointF(40, 190), QPointF(100, 340));
    lg.setColorAt(0, QColor(120, 200, 110));
    lg.setColorAt(1, QColor(40, 120, 50));
    p.setPen(QPen(QColor(30, 100, 40), 1.5));
    p.setBrush(lg);
    p.drawPath(leaf);
    QPainterPath head;
    head.moveTo(100, 168);
    head.cubicTo(40, 168, 30, 100, 40, 40);
    head.lineTo(70, 80);
    head.lineTo(100, 20);
    head.lineTo(130, 80);
    head.lineTo(160, 40);
    head.cubicTo(170, 100, 160, 168, 100, 168);
    head.closeSubpath();
    drawShadow(p, head, img.size(), QPointF(3, 4), 4, QColor(80, 0, 0, 100));
    QLinearGradient hg(QPointF(40, 30), QPointF(160, 168));
    hg.setColorAt(0, QColor(255, 120, 90));
    hg.setColorAt(0.5, QColor(230, 40, 50));
    hg.setColorAt(1, QColor(170, 20, 40));
    p.setPen(QPen(QColor(130, 10, 30), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(hg);
    p.drawPath(head);
    QPainterPath middle;
    middle.moveTo(100, 30);
    middle.cubicTo(80, 80, 82, 140, 100, 166);
    middle.cubicTo(118, 140, 120, 80, 100, 30);
    p.setBrush(QColor(255, 150, 130, 110));
    p.drawPath(middle);
    return img;
}

QImage flowerSunflower()
{
    QImage img = canvas(280, 280);
    QPainter p;
    beginPainter(p, img);
    const QPointF c(140, 140);
    auto pointedRing = [&](int count, double inner, double outer, double width, double turn, QColor colour) {
        for (int i = 0; i < count; ++i) {
            p.save();
            p.translate(c);
            p.rotate(turn + i * 360.0 / count);
            QPainterPath petal;
            petal.moveTo(inner, 0);
            petal.quadTo((inner + outer) / 2, -width, outer, 0);
            petal.quadTo((inner + outer) / 2, width, inner, 0);
            QLinearGradient g(QPointF(inner, 0), QPointF(outer, 0));
            g.setColorAt(0, colour.darker(115));
            g.setColorAt(1, colour.lighter(115));
            p.setPen(QPen(colour.darker(150), 1.2));
            p.setBrush(g);
            p.drawPath(petal);
            p.restore();
        }
    };
    pointedRing(20, 40, 128, 22, 9, QColor(240, 170, 20));
    pointedRing(20, 40, 112, 20, 0, QColor(255, 205, 40));
    seedCentre(p, c, 52, QColor(150, 90, 30), QColor(70, 35, 10), true);
    return img;
}

} // namespace

QList<Picture> allPictures()
{
    const struct
    {
        const char* type;
        const char* name;
        std::function<QImage()> draw;
    } list[] = {
        {"Frames", "frame-gold", frameGold},
        {"Frames", "frame-oval", frameOval},
        {"Frames", "frame-polaroid", framePolaroid},
        {"Frames", "frame-scallop", frameScallop},
        {"Stars", "star-gold", starGold},
        {"Stars", "star-sparkle", starSparkle},
        {"Stars", "star-shooting", starShooting},
        {"Stars", "stars-trio", starsTrio},
        {"Hearts", "heart-red", heartRed},
        {"Hearts", "hearts-pair", heartsPair},
        {"Hearts", "heart-outline", heartOutline},
        {"Hearts", "heart-balloon", heartBalloon},
        {"Bubbles", "bubble-round", bubbleRound},
        {"Bubbles", "bubble-thought", bubbleThought},
        {"Bubbles", "bubble-callout", bubbleCallout},
        {"Bubbles", "bubble-burst", bubbleBurst},
        {"Ribbons", "ribbon-banner", ribbonBanner},
        {"Ribbons", "ribbon-bow", ribbonBow},
        {"Ribbons", "ribbon-corner", ribbonCorner},
        {"Flowers", "flower-daisy", flowerDaisy},
        {"Flowers", "flower-blossom", flowerBlossom},
        {"Flowers", "flower-tulip", flowerTulip},
        {"Flowers", "flower-sunflower", flowerSunflower},
    };
    QList<Picture> pictures;
    for (const auto& entry : list)
        pictures.append({QLatin1String(entry.type), QLatin1String(entry.name), entry.draw()});
    return pictures;
}

} // namespace vbElementArt
