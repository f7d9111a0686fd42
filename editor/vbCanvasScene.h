#pragma once

#include "vbSceneState.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPixmap>

class vbBaseItem;
class vbCanvasView;
class vbCavas;
class vbImageItem;
class vbTextItem;

// The editor's canvas: one photo centred on the origin and any number of
// element and text overlays. Zoom and turns are transforms of the items; the
// scene rectangle is always the zoomed photo centred on the origin.
// renderImage() composes the photo at its full resolution with the overlays
// exactly where they are seen on it.
class vbCanvasScene : public QGraphicsScene
{
public:
    explicit vbCanvasScene(QObject* parent = nullptr);

    void setView(vbCanvasView* view);
    vbCanvasView* view() const { return m_view; }
    void setEditor(vbCavas* editor);
    vbCavas* editor() const { return m_editor; }

    // Clears the scene (overlays too) and shows image as the photo.
    void setPhoto(const QImage& image);
    vbImageItem* photoItem() const { return m_photo; }
    // A photo with pixels: what zoom, turns, crops and output need.
    bool hasPhoto() const;
    // Shown instead of the loading picture when the photo could not be read.
    void setLoadFailed(bool failed);
    bool loadFailed() const { return m_loadFailed; }

    double scaleX() const;
    double scaleY() const;
    int photoAngle() const;
    // The photo's size as shown at zoom 1 (turned sides swapped).
    QSize photoDisplaySize() const;

    // Absolute zoom of the photo; the overlays keep their place and size on it.
    void zoomTo(double sx, double sy);
    // Turns the photo to the absolute angle a; the overlays go round with it.
    void rotatePhoto(int a);

    void beginRazor();
    bool isRazorMode() const;
    // apply: cut the photo to the crop rectangle. Crop mode ends either way.
    void endRazor(bool apply);
    void setRazorAspect(float ratio);

    // A new overlay, selected, at the photo's zoom: text with its top-left at
    // the centre, an element centred.
    vbTextItem* addTextOverlay(const QString& text, const QFont& font, const QColor& color);
    vbImageItem* addElementOverlay(const QString& path);

    vbBaseItem* selectedBaseItem() const;
    QList<vbBaseItem*> overlays() const;
    // Removes and destroys the selected overlays; the photo is never selectable.
    int removeSelected();

    // Null without a photo.
    QImage renderImage() const;

    vbSceneState snapshot() const;
    // Rebuilds photo and overlays from state at the current zoom.
    void restore(const vbSceneState& state);

    // A new overlay identity, kept through undo and redo.
    quint64 nextOverlayId();
    // Stacking of new items: never reset, so a later item always lies above an
    // earlier one, restored ones included.
    int nextZ();
    static quint64 overlayId(const vbBaseItem* item);
    static void setOverlayId(vbBaseItem* item, quint64 id);

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    void updateSceneRect();
    void centrePhoto();
    void addOverlay(vbBaseItem* base);

    vbCanvasView* m_view = nullptr; // both belong to the editor that owns this scene
    vbCavas* m_editor = nullptr;
    vbImageItem* m_photo = nullptr;
    bool m_loadFailed = false;
    QPixmap m_loading;
    quint64 m_lastOverlayId = 0;
    int m_lastZ = 0;
};
