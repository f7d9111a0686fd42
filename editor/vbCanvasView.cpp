#include "vbCanvasView.h"

#include "vbCanvasScene.h"
#include "vbCavas.h"
#include "vbImageItem.h"
#include "vbRazorDialog.h"

#include <QMouseEvent>

vbCanvasView::vbCanvasView(QWidget* parent) : QGraphicsView(parent) {}

void vbCanvasView::setCanvas(vbCanvasScene* scene)
{
    m_scene = scene;
    setScene(scene);
}

void vbCanvasView::setEditor(vbCavas* editor)
{
    m_editor = editor;
}

void vbCanvasView::openRazorDialog()
{
    if (m_razorDialog || !m_scene || !m_scene->photoItem())
        return;
    const QSize shown = m_scene->photoItem()->displaySize();
    auto* dialog = new vbRazorDialog(shown.width(), shown.height(), this);
    m_razorDialog = dialog;
    connect(dialog, &vbRazorDialog::sig_terminal, this, &vbCanvasView::slot_razorTerminal);
    connect(dialog, &vbRazorDialog::sig_aspectChanged, this, &vbCanvasView::slot_aspectChanged);
    dialog->selectSize(0, true);
    dialog->move(mapToGlobal(QPoint((width() - dialog->width()) / 2, (height() - dialog->height()) / 2)));
    dialog->exec();
    delete dialog;
}

void vbCanvasView::slot_aspectChanged(float ratio, bool bigEnough)
{
    if (m_scene)
        m_scene->setRazorAspect(ratio);
    if (m_editor)
        m_editor->showRazorTips(bigEnough ? QString() : tr("Can not razor!"));
}

void vbCanvasView::slot_razorTerminal(bool apply, bool)
{
    if (m_scene)
        m_scene->endRazor(apply);
}

void vbCanvasView::mousePressEvent(QMouseEvent* event)
{
    // A drag of overlays is an edit; a crop rectangle drag is not.
    m_pressTracked = m_editor && m_scene && !m_scene->isRazorMode();
    if (m_pressTracked)
        m_pressState = m_scene->snapshot();
    QGraphicsView::mousePressEvent(event);
}

void vbCanvasView::mouseReleaseEvent(QMouseEvent* event)
{
    QGraphicsView::mouseReleaseEvent(event);
    if (!m_pressTracked || !m_scene || !m_editor)
        return;
    m_pressTracked = false;
    if (m_scene->snapshot().movedFrom(m_pressState))
        m_editor->pushEdit(m_pressState, tr("Move"));
    m_pressState = vbSceneState();
}
