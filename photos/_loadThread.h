#pragma once

#include "vbWorkerPool.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class vbFileNode;

// Makes thumbnails (mode 0) and full-size images (mode 1) of photo nodes on a
// pool of worker threads, one node per worker at a time, taken in queue order.
// The node's file path is taken when the node is queued; the result is handed
// to the node on the GUI thread, and dropped when the node was deleted
// meanwhile or when a newer thumbnail of it was asked for (workers may finish
// out of order).
class _loadThread : public QObject
{
    Q_OBJECT
public:
    enum Mode
    {
        Thumbnail = 0,
        BigImage = 1
    };

    // The thumbnail box.
    static constexpr int thumbnailSide = 244;

    // workers <= 0: one per core.
    explicit _loadThread(QObject* parent = nullptr, int workers = 0);
    // Drops the queue and waits for the nodes in hand to finish.
    ~_loadThread() override;

    // Appends each node for its thumbnail.
    void addNodes(const QList<vbFileNode*>& nodes);
    // Appends one node for its full-size image.
    void addNode(vbFileNode* node);
    // Drops every queued entry of node; a result in the making is not applied.
    void removeNode(vbFileNode* node);
    void clear();
    // Entries still queued (not counting those in hand).
    int pendingCount() const;
    // Entries queued or in hand: 0 once every result is on its way to its node.
    int unfinishedCount() const;
    int workerCount() const { return m_pool.workerCount(); }

private:
    struct Entry
    {
        QPointer<vbFileNode> node;
        int mode;
        QString path;
        quint64 serial;
    };

    // On a worker thread.
    void process(const Entry& entry);
    // On the GUI thread: whether a thumbnail result is the node's latest request.
    bool isLatest(const vbFileNode* node, quint64 serial) const;

    // Latest thumbnail request of each node; GUI thread only.
    QHash<const vbFileNode*, quint64> m_latest;
    quint64 m_nextSerial = 1;
    vbWorkerPool<Entry> m_pool;
};
