#include "_loadThread.h"

#include "vbExifReader.h"
#include "vbFileNode.h"
#include "vbImageLoader.h"

_loadThread::_loadThread(QObject* parent, int workers)
    : QObject(parent), m_pool(workers, [this](const Entry& entry) { process(entry); })
{}

_loadThread::~_loadThread()
{
    // The workers call back into this object: they end before it goes.
    m_pool.stop();
}

void _loadThread::addNodes(const QList<vbFileNode*>& nodes)
{
    QList<Entry> entries;
    entries.reserve(nodes.size());
    for (vbFileNode* node : nodes) {
        if (!node)
            continue;
        node->m_loading = true;
        const quint64 serial = m_nextSerial++;
        m_latest.insert(node, serial);
        entries.append({node, Thumbnail, node->absoluteFilePath(), serial});
    }
    m_pool.edit([&entries](QList<Entry>& queue) { queue.append(entries); });
}

void _loadThread::addNode(vbFileNode* node)
{
    if (!node)
        return;
    Entry entry{node, BigImage, node->absoluteFilePath(), m_nextSerial++};
    m_pool.edit([&entry](QList<Entry>& queue) { queue.append(entry); });
}

void _loadThread::removeNode(vbFileNode* node)
{
    m_latest.remove(node);
    m_pool.edit([node](QList<Entry>& queue) {
        queue.removeIf([node](const Entry& e) { return e.node.data() == node; });
    });
}

void _loadThread::clear()
{
    m_pool.edit([](QList<Entry>& queue) {
        // Nodes that stay alive must not keep hiding their old thumbnail.
        for (const Entry& e : std::as_const(queue)) {
            if (e.node && e.mode == Thumbnail)
                e.node->m_loading = false;
        }
        queue.clear();
    });
}

int _loadThread::pendingCount() const
{
    return m_pool.pending();
}

int _loadThread::unfinishedCount() const
{
    return m_pool.unfinished();
}

bool _loadThread::isLatest(const vbFileNode* node, quint64 serial) const
{
    return m_latest.value(node) == serial;
}

void _loadThread::process(const Entry& entry)
{
    if (entry.node.isNull())
        return;
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
        [this, node = entry.node, serial = entry.serial, image, sourceSize, exif, problem] {
            if (node && isLatest(node, serial))
                node->applyThumbnail(image, sourceSize, exif, problem);
        },
        Qt::QueuedConnection);
}
