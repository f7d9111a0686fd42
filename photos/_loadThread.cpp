#include "_loadThread.h"

#include "vbExifReader.h"
#include "vbFileNode.h"
#include "vbImageLoader.h"

#include <QMutexLocker>

_loadThread::_loadThread(QObject* parent) : QThread(parent)
{
    start(QThread::InheritPriority);
}

_loadThread::~_loadThread()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_wait.wakeOne();
    }
    wait();
}

void _loadThread::addNodes(const QList<vbFileNode*>& nodes)
{
    QMutexLocker lock(&m_mutex);
    for (vbFileNode* node : nodes) {
        if (!node)
            continue;
        node->m_loading = true;
        m_queue.append({node, Thumbnail, node->absoluteFilePath()});
    }
    m_stop = false;
    m_wait.wakeOne();
}

void _loadThread::addNode(vbFileNode* node)
{
    if (!node)
        return;
    QMutexLocker lock(&m_mutex);
    m_queue.append({node, BigImage, node->absoluteFilePath()});
    m_stop = false;
    m_wait.wakeOne();
}

void _loadThread::removeNode(vbFileNode* node)
{
    QMutexLocker lock(&m_mutex);
    m_queue.removeIf([node](const Entry& e) { return e.node.data() == node; });
}

void _loadThread::clear()
{
    QMutexLocker lock(&m_mutex);
    // Nodes that stay alive must not keep hiding their old thumbnail.
    for (const Entry& e : std::as_const(m_queue)) {
        if (e.node && e.mode == Thumbnail)
            e.node->m_loading = false;
    }
    m_queue.clear();
}

int _loadThread::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_queue.size());
}

void _loadThread::run()
{
    while (!m_stop) {
        Entry entry;
        {
            QMutexLocker lock(&m_mutex);
            while (m_queue.isEmpty() && !m_stop)
                m_wait.wait(&m_mutex);
            if (m_stop)
                return;
            entry = m_queue.takeFirst();
        }
        // Decoding runs without the lock, so the GUI thread never waits for a
        // photo to decode when it queues or removes nodes.
        if (!entry.node.isNull())
            process(entry);
    }
}

void _loadThread::process(const Entry& entry)
{
    if (entry.mode == BigImage) {
        const QImage image = vbImageLoader::load(entry.path, QSize());
        QMetaObject::invokeMethod(
            this,
            [node = entry.node, image] {
                if (node)
                    node->applyBigImage(image);
            },
            Qt::QueuedConnection);
        return;
    }

    QSize sourceSize(0, 0);
    // A photo that cannot be sent whole is not decoded at all; the node shows why.
    vbImageLoader::Problem problem = vbImageLoader::check(entry.path);
    QImage image;
    if (problem == vbImageLoader::Problem::None) {
        image = vbImageLoader::load(entry.path, QSize(thumbnailSide, thumbnailSide), &sourceSize);
        if (image.isNull())
            problem = vbImageLoader::Problem::Damaged;
    }
    // An unreadable photo keeps whatever EXIF values it had.
    const vbExifValues exif = image.isNull() ? vbExifValues() : readExifValues(entry.path);
    QMetaObject::invokeMethod(
        this,
        [node = entry.node, image, sourceSize, exif, problem] {
            if (node)
                node->applyThumbnail(image, sourceSize, exif, problem);
        },
        Qt::QueuedConnection);
}
