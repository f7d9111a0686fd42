#include "vbFileList.h"

#include "KitButtonFlags.h"
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbMessageBox.h"
#include "vbNameOrder.h"
#include "vbPushButton.h"
#include "vbSelectFiles.h"
#include "vbSession.h"

#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// The tile is the whole row: it gets the row's full rectangle (Qt would keep
// room for a check box on checkable rows) and draws everything itself.
class TileDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override
    {
        editor->setGeometry(option.rect);
    }
};

} // namespace

vbFileList::vbFileList(QWidget* parent, bool withAddButton) : QListWidget(parent)
{
    setItemDelegate(new TileDelegate(this));
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);

    m_loadThread = new _loadThread(this);
    m_saveThread = new _saveImageThread(this);

    if (withAddButton) {
        m_addButton = new vbPushButton(173, 58, QStringLiteral(":/Resources/addPhotoBig.png"),
                                       QStringLiteral(":/Resources/addPhotoBig_hover.png"), this);
        m_addButton->setObjectName(QStringLiteral("addButton"));
        connect(m_addButton, &vbPushButton::Clicked, this, &vbFileList::slot_selectFiles);
        auto* layout = new QHBoxLayout(this);
        layout->addWidget(m_addButton);
        m_addButton->setAcceptDrops(true);
        m_addButton->installEventFilter(this);
    }
    setViewMode(vbViewMode::SmallIcons);
}

vbFileList::~vbFileList()
{
    m_loadThread->clear();
    clear();
}

QSize vbFileList::itemSize(vbViewMode mode)
{
    switch (mode) {
    case vbViewMode::List:
        return QSize(300, 25);
    case vbViewMode::BigIcons:
        return QSize(260, 300);
    case vbViewMode::SmallIcons:
        break;
    }
    return QSize(130, 150);
}

int vbFileList::itemSpacing(vbViewMode mode)
{
    return mode == vbViewMode::List ? 1 : 10;
}

namespace {
// Tiles made at once by one addition, and per later event-loop turn: each costs
// about a millisecond, and the GUI thread should not stall for long.
constexpr int tilesAtOnce = 12;
constexpr int tilesPerBatch = 8;
} // namespace

void vbFileList::addFiles(const QList<QFileInfo>& files, bool checkable)
{
    QList<vbFileNode*> added;
    for (const QFileInfo& file : files) {
        if (contains(file.absoluteFilePath()))
            continue;
        auto* node = new vbFileNode;
        // Enabled as well: Qt never selects a disabled item, and editing works on the selection.
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (checkable)
            flags |= Qt::ItemIsUserCheckable;
        node->setFlags(flags);
        if (checkable)
            node->setCheckState(Qt::Unchecked);
        node->setFileInfo(file);
        node->setSession(m_session);
        connect(node, &vbFileNode::sig_fileChanged, this, &vbFileList::sig_photoFileChanged);
        node->setLoader(m_loadThread);
        node->setSizeHint(itemSize(m_viewMode));
        addItem(node);
        if (added.size() < tilesAtOnce && m_pendingTiles.isEmpty())
            makeTile(node);
        else
            m_pendingTiles.append(node);
        added.append(node);
    }
    if (!added.isEmpty()) {
        m_loadThread->addNodes(added);
        setViewMode(m_viewMode);
    }
    if (!m_pendingTiles.isEmpty() && !m_tileBatchQueued) {
        m_tileBatchQueued = true;
        QMetaObject::invokeMethod(this, &vbFileList::makePendingTiles, Qt::QueuedConnection);
    }
    updateAddButton();
    emit sig_countChanged(count());
}

void vbFileList::makeTile(vbFileNode* node)
{
    auto* tile = new vbFileNodeUI(node);
    tile->setList(this);
    node->setTile(tile);
    if (node->flags() & Qt::ItemIsUserCheckable) {
        connect(tile, &vbFileNodeUI::sig_checkItem, this, &vbFileList::slot_itemCheckStatusChanged);
    } else {
        connect(tile, &vbFileNodeUI::sig_editItem, this, &vbFileList::slot_editItem);
        connect(tile, &vbFileNodeUI::sig_showInfo, this, &vbFileList::sig_showInfo);
        connect(tile, &vbFileNodeUI::sig_fullScreen, this, &vbFileList::sig_fullScreen);
        connect(tile, &vbFileNodeUI::sig_hoverPreview, this, &vbFileList::sig_hoverPreview);
        connect(tile, &vbFileNodeUI::sig_hoverEnded, this, &vbFileList::sig_hoverEnded);
    }
    setItemWidget(node, tile);
    node->setViewMode(m_viewMode);
}

void vbFileList::makePendingTiles()
{
    m_tileBatchQueued = false;
    int made = 0;
    while (!m_pendingTiles.isEmpty() && made < tilesPerBatch) {
        QPointer<vbFileNode> node = m_pendingTiles.takeFirst();
        if (!node || node->tile())
            continue;
        makeTile(node);
        ++made;
    }
    if (!m_pendingTiles.isEmpty()) {
        m_tileBatchQueued = true;
        QMetaObject::invokeMethod(this, &vbFileList::makePendingTiles, Qt::QueuedConnection);
    }
}

void vbFileList::addPaths(const QStringList& paths)
{
    QList<QFileInfo> files;
    for (const QString& path : paths) {
        QFileInfo info(path);
        if (info.exists())
            files.append(info);
    }
    addFiles(files, false);
}

bool vbFileList::contains(const QString& absolutePath) const
{
    for (int i = 0; i < count(); ++i) {
        if (node(i)->absoluteFilePath() == absolutePath)
            return true;
    }
    return false;
}

void vbFileList::setViewMode(vbViewMode mode)
{
    m_viewMode = mode;
    // Setting Qt's mode again would throw the whole layout away: only on a change.
    const QListView::ViewMode qtMode = mode == vbViewMode::List ? QListView::ListMode : QListView::IconMode;
    if (QListView::viewMode() != qtMode || count() == 0) {
        QListView::setViewMode(qtMode);
        // Rows are arranged, never dragged about.
        setMovement(QListView::Static);
        setAcceptDrops(m_addButton != nullptr);
        viewport()->setAcceptDrops(m_addButton != nullptr);
    }
    if (spacing() != itemSpacing(mode))
        setSpacing(itemSpacing(mode));
    const QSize size = itemSize(mode);
    bool resized = false;
    for (int i = 0; i < count(); ++i) {
        vbFileNode* n = node(i);
        if (n->sizeHint() != size) {
            n->setSizeHint(size);
            resized = true;
        }
        n->setViewMode(mode);
    }
    // New size hints alone do not move the rows.
    if (resized)
        scheduleDelayedItemsLayout();
}

int vbFileList::checkedCount() const
{
    int checked = 0;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->checkState() & Qt::Checked)
            ++checked;
    }
    return checked;
}

void vbFileList::setAllChecked(bool checked)
{
    for (int i = 0; i < count(); ++i) {
        item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        if (vbFileNodeUI* tile = node(i)->tile())
            tile->update();
    }
}

void vbFileList::checkedFileInfos(QList<QFileInfo>& out) const
{
    for (int i = 0; i < count(); ++i) {
        if (item(i)->checkState() & Qt::Checked)
            out.append(node(i)->fileInfo());
    }
}

void vbFileList::allNodes(QList<QPointer<vbFileNode>>& out) const
{
    for (int i = 0; i < count(); ++i)
        out.append(node(i));
}

QList<vbFileNode*> vbFileList::nodes() const
{
    QList<vbFileNode*> out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out.append(node(i));
    return out;
}

vbFileNode* vbFileList::node(int row) const
{
    return static_cast<vbFileNode*>(item(row));
}

void vbFileList::removeNode(vbFileNode* node)
{
    if (!node)
        return;
    const int r = row(node);
    if (r < 0)
        return;
    m_loadThread->removeNode(node);
    takeItem(r);
    delete node;
    updateAddButton();
    emit sig_countChanged(count());
}

void vbFileList::removeNodes(const QList<vbFileNode*>& list)
{
    const bool wasBlocked = blockSignals(true);
    for (vbFileNode* n : list)
        removeNode(n);
    blockSignals(wasBlocked);
}

void vbFileList::removeUploaded()
{
    QList<vbFileNode*> uploaded;
    for (int i = 0; i < count(); ++i) {
        if (node(i)->uploadState() == vbUploadState::Uploaded)
            uploaded.append(node(i));
    }
    removeNodes(uploaded);
}

void vbFileList::setSession(vbSession* session)
{
    m_session = session;
    for (int i = 0; i < count(); ++i)
        node(i)->setSession(session);
}

void vbFileList::setUploadedLookup(std::function<bool(const QString&)> lookup)
{
    m_uploadedLookup = std::move(lookup);
    viewport()->update();
}

bool vbFileList::uploadedBefore(const QString& path) const
{
    return m_uploadedLookup && m_uploadedLookup(path);
}

bool vbFileList::uploadRunning() const
{
    return m_session && m_session->isUploading();
}

QList<vbUploadItem*> vbFileList::uploadItems() const
{
    QList<vbUploadItem*> items;
    for (int i = 0; i < count(); ++i)
        items.append(node(i));
    return items;
}

namespace {
// The items of a list are its nodes.
QList<vbFileNode*> nodesOf(const QList<vbUploadItem*>& items)
{
    QList<vbFileNode*> nodes;
    for (vbUploadItem* item : items) {
        if (auto* node = qobject_cast<vbFileNode*>(item))
            nodes.append(node);
    }
    return nodes;
}
} // namespace

void vbFileList::removeItems(const QList<vbUploadItem*>& items)
{
    removeNodes(nodesOf(items));
}

void vbFileList::prepareItems(const QList<vbUploadItem*>& items)
{
    // FTP mode also makes the two smaller sizes.
    m_saveThread->setNodes(nodesOf(items), m_session ? m_session->ftpMode() : true);
}

void vbFileList::clearAll()
{
    m_loadThread->clear();
    m_pendingTiles.clear();
    clear();
    updateAddButton();
    emit sig_countChanged(count());
}

void vbFileList::updateAddButton()
{
    if (m_addButton)
        m_addButton->setVisible(count() == 0);
    viewport()->update();
}

// Files from URLs

QStringList vbFileList::collectPhotoPaths(const QList<QUrl>& urls)
{
    static const QStringList filters = {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")};
    QStringList paths;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        if (path.isEmpty())
            continue;
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const QString suffix = dot >= 0 ? path.mid(dot + 1).toLower() : QString();
        if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
            paths.append(path);
            continue;
        }
        const QFileInfo info(path);
        if (info.isDir()) {
            QDir dir(path);
            // Name filters match without regard to case.
            const QStringList names = dir.entryList(filters, QDir::Files, QDir::Unsorted);
            for (const QString& name : names)
                paths.append(dir.absolutePath() + QLatin1Char('/') + name);
        }
    }
    // One drop comes in name order and goes after the photos already listed.
    vbNameOrder::sort(paths);
    return paths;
}

void vbFileList::addDropped(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (count() + paths.size() <= kMaxPhotos) {
        QList<QFileInfo> files;
        for (const QString& path : paths)
            files.append(QFileInfo(path));
        addFiles(files, false);
        return;
    }
    vbMessageBox box(OkButton, tr("Tips"), tr("You can not select more then 300 photos!"), window());
    box.exec();
}

void vbFileList::pasteFiles()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasUrls())
        return;
    addDropped(collectPhotoPaths(mime->urls()));
}

void vbFileList::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && !collectPhotoPaths(event->mimeData()->urls()).isEmpty())
        event->acceptProposedAction();
}

void vbFileList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData() && !collectPhotoPaths(event->mimeData()->urls()).isEmpty())
        event->acceptProposedAction();
}

void vbFileList::dropEvent(QDropEvent* event)
{
    if (!event->mimeData())
        return;
    const QStringList paths = collectPhotoPaths(event->mimeData()->urls());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    addDropped(paths);
}

bool vbFileList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_addButton) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        case QEvent::Drop:
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            dropEvent(static_cast<QDropEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QListWidget::eventFilter(watched, event);
}

void vbFileList::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int w = viewport()->width();
    const int h = viewport()->height();
    painter.fillRect(QRect(0, 0, w, h), QColor(235, 240, 247));
    if (count() > 0)
        return;
    if (m_addButton) {
        painter.drawText(w / 2 - 150, h / 2 + 50,
                         tr("Click \"Select Files\" button or drag photos to this widget"));
    } else {
        const QPixmap empty(QStringLiteral(":/Resources/noSelectImage.PNG"));
        painter.drawPixmap(w / 2 - empty.width() / 2, h / 2 - empty.height(), empty);
    }
}

// Slots

void vbFileList::slot_selectFiles()
{
    vbSelectFiles dialog(window(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    addFiles(dialog.checkedFileInfos(), false);
}

void vbFileList::slot_editItem(bool remove)
{
    const QList<QListWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
        return;
    emit sig_editNode(static_cast<vbFileNode*>(selected.first()), remove);
}

void vbFileList::slot_itemCheckStatusChanged()
{
    emit sig_checkStatusChanged(checkedCount(), count());
}
