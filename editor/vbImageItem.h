#pragma once

#include "vbBaseItem.h"

#include <QGraphicsItem>
#include <QImage>
#include <QObject>

#include "vbRazorGeometry.h"

// A picture on the canvas: the photo itself, or one element overlay. Only the
// photo ever enters crop mode, where it shows a red crop rectangle that the
// user resizes by its edges and moves by its inside.
class vbImageItem : public QObject, public QGraphicsItem, public vbBaseItem
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    explicit vbImageItem(QGraphicsItem* parent = nullptr);
    ~vbImageItem() override;

    // Loads the picture from a file (format guessed); a file that cannot be
    // read leaves a null picture.
    bool loadImage(const QString& path);
    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    // The picture's size, sides swapped while the item stands turned a quarter.
    QSize displaySize() const;
    // True at +-90 and +-270 degrees.
    bool isTurned() const;

    void setRazorMode(bool on);
    bool isRazorMode() const { return m_razorMode; }
    // Cuts the picture to the crop rectangle and leaves crop mode.
    void applyRazor();
    // ratio is width / height as the user sees it; the crop rectangle keeps it.
    void setRazorAspect(float ratio);
    bool hasRazorAspect() const { return m_ratioSet; }
    float razorAspect() const { return m_ratio; }
    QRectF razorRect() const { return m_razorRect; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    // The ratio in picture pixels: a turned photo shows its sides swapped.
    double itemRatio() const;

    QImage m_image;
    QRectF m_razorRect;
    bool m_razorMode = false;
    QPointF m_pressPoint;
    bool m_pressed = false;
    vbRazor::Zones m_edges;
    float m_ratio = 0.0f;
    bool m_ratioSet = false;
};
