#pragma once

#include "vbFileNode.h" // signals carry vbFileNode*
#include "vbUploadList.h"

#include <QFileInfo>
#include <QList>
#include <QListWidget>
#include <QPointer>
#include <QStringList>

#include <functional>

class QMimeData;

class vbPushButton;
class _loadThread;
class _saveImageThread;

// The list of photos: rows are vbFileNode items shown by vbFileNodeUI tiles.
// The main window's upload list takes drops and pastes and shows a large add
// button while empty; the selection dialog's list has check boxes. Each list
// owns a thumbnail loader and a preparation thread.
class vbFileList : public QListWidget, public vbUploadList
{
    Q_OBJECT
public:
    explicit vbFileList(QWidget* parent = nullptr, bool withAddButton = false);
    ~vbFileList() override;

    // The session the photos upload in; handed on to every node.
    void setSession(vbSession* session);
    vbSession* session() const { return m_session; }
    // Tells the tiles which files the upload log records as uploaded, so they
    // can warn about uploading one again.
    void setUploadedLookup(std::function<bool(const QString&)> lookup);
    bool uploadedBefore(const QString& path) const;
    // An upload runs in the list's session.
    bool uploadRunning() const;

    // vbUploadList
    QList<vbUploadItem*> uploadItems() const override;
    void removeItems(const QList<vbUploadItem*>& items) override;
    void removeUploaded() override;
    void prepareItems(const QList<vbUploadItem*>& items) override;
    void restoreFiles(const QStringList& paths) override { addPaths(paths); }

    // Appends a row for each file not yet in the list. checkable rows carry a
    // check box (selection dialog); others have the edit buttons.
    void addFiles(const QList<QFileInfo>& files, bool checkable);
    // Adds the paths whose file exists.
    void addPaths(const QStringList& paths);
    bool contains(const QString& absolutePath) const;
    // Adds the photos of the clipboard's URLs under the same limit as a drop.
    void pasteFiles();

    void setViewMode(vbViewMode mode);
    vbViewMode viewMode() const { return m_viewMode; }
    // Row size of each view mode.
    static QSize itemSize(vbViewMode mode);
    static int itemSpacing(vbViewMode mode);

    int checkedCount() const;
    void setAllChecked(bool checked);
    void checkedFileInfos(QList<QFileInfo>& out) const;
    void allNodes(QList<QPointer<vbFileNode>>& out) const;
    QList<vbFileNode*> nodes() const;
    vbFileNode* node(int row) const;

    void removeNode(vbFileNode* node);
    // As removeNode for each, without sig_countChanged.
    void removeNodes(const QList<vbFileNode*>& nodes);
    void clearAll();

    _loadThread* loadThread() const { return m_loadThread; }
    _saveImageThread* saveImageThread() const { return m_saveThread; }
    vbPushButton* addButton() const { return m_addButton; }
    // Rows whose tile is still to be made (large additions make them in small
    // batches so the GUI thread never stalls).
    int pendingTiles() const { return int(m_pendingTiles.size()); }

    // The photo paths that URLs stand for: files named *.jpg / *.jpeg (any case)
    // and such files directly inside named folders.
    static QStringList collectPhotoPaths(const QList<QUrl>& urls);

signals:
    // A check box changed: (checked rows, rows).
    void sig_checkStatusChanged(int checked, int count);
    // A tile asked to edit (false) or remove (true) the first selected photo.
    void sig_editNode(vbFileNode* node, bool remove);
    // After adding, removing or clearing.
    void sig_countChanged(int count);
    // A listed photo got another file (rename, edit, preparation).
    void sig_photoFileChanged();
    // Passed on from the tiles, for the viewers.
    void sig_showInfo(vbFileNode* node);
    void sig_fullScreen(vbFileNode* node);
    void sig_hoverPreview(vbFileNode* node, const QRect& globalTileRect);
    void sig_hoverEnded();

public slots:
    void slot_selectFiles();
    void slot_editItem(bool remove);
    void slot_itemCheckStatusChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Adds the paths unless the list would exceed kMaxPhotos (duplicates counted).
    void addDropped(const QStringList& paths);
    void updateAddButton();
    void makeTile(vbFileNode* node);
    void makePendingTiles();

    vbPushButton* m_addButton = nullptr;
    QPointer<vbSession> m_session;
    std::function<bool(const QString&)> m_uploadedLookup;
    vbViewMode m_viewMode = vbViewMode::SmallIcons;
    _loadThread* m_loadThread;
    _saveImageThread* m_saveThread;
    QList<QPointer<vbFileNode>> m_pendingTiles;
    bool m_tileBatchQueued = false;
};
