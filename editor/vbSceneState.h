#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>

// Everything an edit can change on the canvas, kept to undo and redo it.
// Pictures are implicitly shared, so a state costs little until a crop.
struct vbOverlayState
{
    enum Kind
    {
        Element,
        Text
    };
    Kind kind = Element;
    quint64 id = 0;
    QImage image;
    QString text;
    QFont font;
    QColor color;
    QPointF pos;
    int angle = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    qreal z = 0;
    bool selected = false;
};

struct vbSceneState
{
    bool hasPhoto = false;
    QImage photo;
    int photoAngle = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    qreal photoZ = 0;
    QList<vbOverlayState> overlays;

    // Whether any overlay stands elsewhere than in other (same overlays assumed).
    bool movedFrom(const vbSceneState& other) const;
};
