#include "vbTreeView.h"

#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QStandardItemModel>

namespace {

const QString placeholder = QStringLiteral("DUMMY");

constexpr QDir::Filters folderFilter = QDir::Dirs | QDir::NoDotAndDotDot;

bool hasSubFolders(const QString& path)
{
    QDirIterator it(path, folderFilter);
    return it.hasNext();
}

QIcon folderIcon()
{
    static const QIcon icon = QFileIconProvider().icon(QFileIconProvider::Folder);
    return icon;
}

} // namespace

vbTreeView::vbTreeView(const QString& recentFolder, QWidget* parent) : QTreeView(parent)
{
    header()->hide();
    m_model = new QStandardItemModel(0, 1, this);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QTreeView::expanded, this, &vbTreeView::expandNode);
    connect(this, &QTreeView::pressed, this, &vbTreeView::activated);

    const QFileIconProvider icons;
    m_homeItem = addTopFolder(tr("Home"), QDir::homePath());
    m_homeItem->setIcon(icons.icon(QFileIconProvider::Computer));
    const QFileInfoList roots = QDir::drives();
    for (const QFileInfo& root : roots) {
        QStandardItem* item =
            addTopFolder(QDir::toNativeSeparators(root.absoluteFilePath()), root.absoluteFilePath());
        item->setIcon(icons.icon(QFileIconProvider::Drive));
    }
    expand(m_homeItem->index());

    if (!recentFolder.isEmpty()) {
        m_recentItem = new QStandardItem(recentFolder);
        m_recentItem->setEditable(false);
        m_model->appendRow(m_recentItem);
    }
}

QStandardItem* vbTreeView::makeFolderItem(const QString& text, const QString& path, bool hasChildren) const
{
    auto* item = new QStandardItem(folderIcon(), text);
    item->setEditable(false);
    item->setData(path, PathRole);
    if (hasChildren) {
        auto* dummy = new QStandardItem;
        dummy->setData(placeholder, PathRole);
        item->appendRow(dummy);
    }
    return item;
}

QStandardItem* vbTreeView::addTopFolder(const QString& text, const QString& path)
{
    QStandardItem* item = makeFolderItem(text, path, hasSubFolders(path));
    m_model->appendRow(item);
    return item;
}

QString vbTreeView::folderPath(const QModelIndex& index) const
{
    QStandardItem* item = m_model->itemFromIndex(index);
    if (!item)
        return QString();
    if (item == m_recentItem)
        return item->text();
    const QString path = item->data(PathRole).toString();
    return path == placeholder ? QString() : path;
}

void vbTreeView::expandNode(const QModelIndex& index)
{
    QStandardItem* item = m_model->itemFromIndex(index);
    if (!item || item->rowCount() == 0)
        return;
    if (item->child(0)->data(PathRole).toString() != placeholder)
        return;
    item->removeRow(0);

    // A folder that cannot be read simply shows no children.
    const QDir dir(item->data(PathRole).toString());
    const QFileInfoList folders = dir.entryInfoList(folderFilter, QDir::Name | QDir::IgnoreCase);
    QList<QStandardItem*> children;
    children.reserve(folders.size());
    for (const QFileInfo& folder : folders) {
        const QString path = folder.absoluteFilePath();
        children.append(makeFolderItem(folder.fileName(), path, hasSubFolders(path)));
    }
    for (QStandardItem* child : std::as_const(children))
        item->appendRow(child);
}

void vbTreeView::activated(const QModelIndex& index)
{
    const QString path = folderPath(index);
    if (!path.isEmpty())
        emit sig_selectFolder(path);
}
