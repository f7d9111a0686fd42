#pragma once

#include "vbFileNode.h" // signals carry vbFileNode*
#include "vbViewMode.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class vbFileList;
class vbPushButton;

// The widget of one photo row: thumbnail, editable name, upload mark and
// progress, selection frame and, outside the selection dialog, four hover
// buttons (edit, full screen, info, remove). The viewers live above this
// layer, so info, full screen and the hover preview are signals the list
// passes on to whoever shows them.
class vbFileNodeUI : public QWidget
{
    Q_OBJECT
public:
    explicit vbFileNodeUI(vbFileNode* node, QWidget* parent = nullptr);
    ~vbFileNodeUI() override;

    vbFileNode* node() const { return m_node; }

    // Transfer progress, drawn while the node is Transferring.
    void setProgress(qint64 done, qint64 total);
    qint64 progressDone() const { return m_progressDone; }
    qint64 progressTotal() const { return m_progressTotal; }
    // Lays the tile out as a list row or an icon.
    void setViewMode(vbViewMode mode);
    vbViewMode layoutMode() const { return m_layoutMode; }
    bool previewShown() const { return m_previewShown; }

    QLineEdit* nameEdit() const { return m_nameEdit; }
    vbPushButton* removeButton() const { return m_btnRemove; }
    vbPushButton* editButton() const { return m_btnEdit; }
    vbPushButton* infoButton() const { return m_btnInfo; }
    vbPushButton* fullScreenButton() const { return m_btnFullScreen; }

    // The icon cell of small (130 x 150) and big icons (260 x 300).
    static QSize cellSize(vbViewMode mode);
    // Where a thumbnail of the given size is drawn in an icon cell: fitted into
    // (W - 6) x (W - 6) and centred in the top W x W square.
    static QRect thumbnailRect(vbViewMode mode, const QSize& thumbnail);
    // Whole percent of done out of total (0 when total is not positive).
    static int progressPercent(qint64 done, qint64 total);
    // What a tile says about its upload, and in which colour; no text, nothing drawn.
    struct StateLook
    {
        QString text;
        QColor colour;
    };
    // inRun: the photo is part of the running upload. uploadedBefore: the log
    // has it as uploaded. percent: of the transfer, while Transferring.
    static StateLook stateLook(vbUploadState state, bool inRun, bool uploadedBefore, int percent);

    // The characters a photo name may not contain.
    static QString namePattern();

    // The list the tile is shown in: it tells whether an upload runs and
    // which files the upload log records as uploaded.
    void setList(const vbFileList* list);

signals:
    // false: edit this photo; true: remove it.
    void sig_editItem(bool remove);
    // The check box of the row was toggled.
    void sig_checkItem();
    void sig_showInfo(vbFileNode* node);
    void sig_fullScreen(vbFileNode* node);
    // The pointer entered the picture area; rect is the tile in global coordinates.
    void sig_hoverPreview(vbFileNode* node, const QRect& rect);
    void sig_hoverEnded();

public slots:
    void slot_fullScreen();
    void slot_info();
    void slot_edit();
    void slot_remove();
    void slot_nameEditFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool uploadRunning() const;
    bool isCheckable() const;
    bool isChecked() const;
    bool isRowSelected() const;
    void selectRow();
    void setButtonsVisible(bool visible);
    void startNameEditing();
    void endNameEditing();
    bool inPictureArea(const QPoint& pos) const;
    void paintListRow(QPainter& painter);
    void paintIcon(QPainter& painter);
    StateLook currentLook() const;
    // The state text in its colour on a light strip, cut to fit the rect.
    static void paintStateText(QPainter& painter, const QRect& rect, const StateLook& look,
                               Qt::Alignment align);

    vbFileNode* m_node;
    QPointer<const vbFileList> m_list;
    qint64 m_progressDone = 0;
    qint64 m_progressTotal = 1;
    bool m_previewShown = false;
    vbPushButton* m_btnRemove;
    vbPushButton* m_btnEdit;
    vbPushButton* m_btnInfo;
    vbPushButton* m_btnFullScreen;
    QLabel* m_spacer;
    QLineEdit* m_nameEdit;
    QHBoxLayout* m_buttonRow;
    vbViewMode m_layoutMode = vbViewMode::SmallIcons;
    bool m_laidOut = false;
    bool m_editing = false;
};
