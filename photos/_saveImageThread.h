#pragma once

#include "vbWorkerPool.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class vbFileNode;

// Prepares photo nodes for upload on a pool of worker threads, one node per
// worker at a time: re-compresses files above 1 MiB into the node's own folder
// of "TempImages" and, for FTP uploads, writes the "_1.jpg" (500 box) and
// "_2.jpg" (122 box) sizes beside it, all from one decode of the photo. What
// the work needs is copied from the node when it is queued; the result reaches
// the node on the GUI thread, which then emits sig_preUploadComplete. A result
// is dropped when the node was deleted or queued again meanwhile; a node whose
// file changed while it was prepared is prepared again.
class _saveImageThread : public QObject
{
    Q_OBJECT
public:
    // Files above this size are re-compressed.
    static constexpr qint64 recompressAbove = 1048576;
    static constexpr int jpegQuality = 80;
    static constexpr int mediumSide = 500;
    static constexpr int smallSide = 122;

    // workers <= 0: one per core.
    explicit _saveImageThread(QObject* parent = nullptr, int workers = 0);
    // Drops the queue and waits for the nodes in hand to finish.
    ~_saveImageThread() override;

    // Replaces the queue by nodes. ftp: the upload goes by FTP, so the "_1"
    // and "_2" sizes are written too.
    void setNodes(const QList<vbFileNode*>& nodes, bool ftp);
    // Entries still queued (not counting those in hand).
    int pendingCount() const;
    // Entries queued or in hand.
    int unfinishedCount() const;
    int workerCount() const { return m_pool.workerCount(); }

private:
    struct Job
    {
        QPointer<vbFileNode> node;
        QString path;
        QString fileName;
        QString baseName;
        QString folder;
        bool ftp = true;
        quint64 serial = 0;
    };
    struct Latest
    {
        QPointer<vbFileNode> node;
        quint64 serial = 0;
    };

    Job jobFor(vbFileNode* node, bool ftp);
    // On a worker thread.
    void process(const Job& job);

    // Latest job of each node; GUI thread only.
    QHash<const vbFileNode*, Latest> m_latest;
    quint64 m_nextSerial = 1;
    vbWorkerPool<Job> m_pool;
};
