#pragma once

#include <QList>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class vbFileNode;

// Makes thumbnails (mode 0) and full-size images (mode 1) of photo nodes, one
// node at a time in queue order. The node's file path is taken when the node
// is queued; the result is handed to the node on the GUI thread, and dropped
// when the node was deleted meanwhile.
class _loadThread : public QThread
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

    explicit _loadThread(QObject* parent = nullptr);
    // Stops the loop and waits for the node in hand to finish.
    ~_loadThread() override;

    // Appends each node for its thumbnail.
    void addNodes(const QList<vbFileNode*>& nodes);
    // Appends one node for its full-size image.
    void addNode(vbFileNode* node);
    // Drops every queued entry of node.
    void removeNode(vbFileNode* node);
    void clear();
    // Entries still queued (not counting the one in hand).
    int pendingCount() const;

protected:
    void run() override;

private:
    struct Entry
    {
        QPointer<vbFileNode> node;
        int mode;
        QString path;
    };

    void process(const Entry& entry);

    QList<Entry> m_queue;
    mutable QMutex m_mutex;
    QWaitCondition m_wait;
    std::atomic<bool> m_stop{false};
};
