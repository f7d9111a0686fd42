#pragma once

#include "vbSceneState.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QDial;
class QFrame;
class QLabel;
class QSlider;
class QUndoStack;
#include "vbAddElement.h"
#include "vbAddText.h"
class vbCanvasScene;
class vbCanvasView;
class vbFileNode;
class vbPushButton;

// The photo editor: zoom, quarter turns, crop to a print size, text and
// element overlays that can be turned and scaled, undo and redo of every edit,
// and Ok to save the result as the photo's edited JPEG, which then stands for
// the photo. The main window runs it with exec(); Accepted means the node now
// points at the edited file.
class vbCavas : public QDialog
{
    Q_OBJECT
public:
    vbCavas(vbFileNode* node, QWidget* parent = nullptr);
    ~vbCavas() override;

    void setTips(const QString& text);
    QString tips() const;

    vbCanvasScene* scene() const { return m_scene; }
    QUndoStack* undoStack() const { return m_undo; }
    vbAddElement* elementDialog() const { return m_elementDialog; }
    // Where Ok saves the edited photo of this node.
    static QString outputPath(const vbFileNode* node);
    // JPEG quality of the output for a photo file of that many bytes.
    static int outputQuality(qint64 fileBytes);

    // Shows the photo at the zoom the list asks for again.
    void reapplyZoom();
    // Records an edit that has just happened, given the canvas before it.
    void pushEdit(const vbSceneState& before, const QString& text, int merge = -1, quint64 overlay = 0);
    // Puts the canvas back into state (undo and redo).
    void restoreEdit(const vbSceneState& state);
    // The tips line while the crop frame is shown: how to finish the crop,
    // after warning when one is given (a photo too small for the print size).
    void showRazorTips(const QString& warning);

    // Form children
    vbPushButton* btnBig;
    vbPushButton* btnSmall;
    vbPushButton* btnLeft;
    vbPushButton* btnRight;
    vbPushButton* btnRazor;
    QComboBox* comboBox;
    QFrame* line;
    vbPushButton* btnUndo;
    vbPushButton* btnRedo;
    vbPushButton* btnAddText;
    vbPushButton* btnAddElement;
    vbPushButton* btnDelete;
    QFrame* line_2;
    QLabel* lblRotate;
    QDial* dial;
    QLabel* lblScale;
    QSlider* scaleSlider;
    vbCanvasView* view;
    QLabel* lblTips;
    vbPushButton* btnOk;
    vbPushButton* btnCancel;

public slots:
    void on_btnRazor_clicked();
    void on_btnDelete_clicked();
    void on_btnAddElement_clicked();
    void on_btnAddText_clicked();
    void on_btnRight_clicked();
    void on_btnLeft_clicked();
    void on_btnSmall_clicked();
    void on_btnBig_clicked();
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void slot_scaleChanged(int index);
    void slot_addElement(const QString& path);
    void slot_addText(const QString& text, const QFont& font, const QColor& color);
    void slot_valueChanged(int value);
    void slot_elementScaleChanged(int value);
    void slot_selectChanged();
    void slot_loadBigImageComplete(vbFileNode* node);
    // A crop under way ends uncut first; the last edit is still undone.
    void slot_undo();
    void slot_redo();
    // Escape and Cancel: in crop mode only the crop ends.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void setupUndo();
    void showOverlayControls();
    void turn(int degrees, const QString& text);
    void zoomStep(bool in);

    QPointer<vbFileNode> m_node;
    vbCanvasScene* m_scene;
    QPointer<vbAddElement> m_elementDialog;
    QPointer<vbAddText> m_textDialog;
    QUndoStack* m_undo;
};
