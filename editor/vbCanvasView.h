#pragma once

#include "vbSceneState.h"

#include <QGraphicsView>
#include <QPointer>

class vbCanvasScene;
class vbCavas;
#include "vbRazorDialog.h"

// Shows the canvas, opens the crop-size dialog of a crop and reports overlay
// drags to the editor's undo history.
class vbCanvasView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit vbCanvasView(QWidget* parent = nullptr);

    void setCanvas(vbCanvasScene* scene);
    vbCanvasScene* canvas() const { return m_scene; }
    void setEditor(vbCavas* editor);
    vbCavas* editor() const { return m_editor; }

    // Runs the crop-size dialog for the photo over the middle of the view;
    // does nothing while one is open.
    void openRazorDialog();
    vbRazorDialog* razorDialog() const { return m_razorDialog; }

public slots:
    void slot_razorTerminal(bool apply, bool unused);
    void slot_aspectChanged(float ratio, bool bigEnough);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    vbCanvasScene* m_scene = nullptr; // the editor owns both
    QPointer<vbRazorDialog> m_razorDialog;
    vbCavas* m_editor = nullptr; // owns this view
    vbSceneState m_pressState;
    bool m_pressTracked = false;
};
