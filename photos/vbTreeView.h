#pragma once

#include <QTreeView>

class QStandardItem;
class QStandardItemModel;

// The folder tree of the file selection dialog: Home (expanded at start), the
// file-system roots, and the remembered folder as a last top-level item.
// Sub-folders are read on first expansion; until then a folder that has any
// carries one placeholder child. Hidden folders are left out.
class vbTreeView : public QTreeView
{
    Q_OBJECT
public:
    // Item data role holding a folder's path ("DUMMY" on the placeholder).
    static constexpr int PathRole = Qt::UserRole + 1;

    // recentFolder: the remembered folder, or empty for none.
    explicit vbTreeView(const QString& recentFolder, QWidget* parent = nullptr);

    QStandardItemModel* treeModel() const { return m_model; }
    QStandardItem* homeItem() const { return m_homeItem; }
    QStandardItem* recentItem() const { return m_recentItem; }
    // Adds a top-level folder item (with its placeholder when it has sub-folders).
    QStandardItem* addTopFolder(const QString& text, const QString& path);
    // The folder an item stands for.
    QString folderPath(const QModelIndex& index) const;

signals:
    void sig_selectFolder(const QString& url);

public slots:
    // Reads the item's sub-folders the first time it is expanded.
    void expandNode(const QModelIndex& index);
    // Emits sig_selectFolder with the item's folder.
    void activated(const QModelIndex& index);

private:
    QStandardItem* makeFolderItem(const QString& text, const QString& path, bool hasChildren) const;

    QStandardItemModel* m_model;
    QStandardItem* m_homeItem = nullptr;
    QStandardItem* m_recentItem = nullptr;
};
