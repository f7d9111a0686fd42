#pragma once

#include <QImage>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class vbFileNode;

// Prepares photo nodes for upload, one at a time: re-compresses files above
// 1 MiB into the node's own folder of "TempImages" and, for FTP uploads,
// writes the "_1.jpg" (500 box) and "_2.jpg" (122 box) sizes beside it. What
// the work needs is copied from the node when it is queued; the result reaches
// the node on the GUI thread, which then emits sig_preUploadComplete.
class _saveImageThread : public QThread
{
    Q_OBJECT
public:
    // Files above this size are re-compressed.
    static constexpr qint64 recompressAbove = 1048576;
    static constexpr int jpegQuality = 80;
    static constexpr int mediumSide = 500;
    static constexpr int smallSide = 122;

    explicit _saveImageThread(QObject* parent = nullptr);
    // Stops the loop and waits for the node in hand to finish.
    ~_saveImageThread() override;

    // Replaces the queue by nodes. ftp decides whether the "_1"/"_2" sizes are
    // written (FTP mode).
    void setNodes(const QList<vbFileNode*>& nodes, bool ftp);
    int pendingCount() const;

protected:
    void run() override;

private:
    struct Job
    {
        QPointer<vbFileNode> node;
        QString path;
        QString fileName;
        QString baseName;
        QString folder;
        QImage thumbnail;
        bool ftp = true;
    };

    void process(const Job& job);

    QList<Job> m_queue;
    mutable QMutex m_mutex;
    QWaitCondition m_wait;
    std::atomic<bool> m_stop{false};
};
