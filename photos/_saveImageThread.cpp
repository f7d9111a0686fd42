#include "_saveImageThread.h"

#include "_loadThread.h"
#include "vbFileNode.h"
#include "vbFitSize.h"
#include "vbImageLoader.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

// The smaller sizes keep the photo's metadata where it can be carried over,
// but are written without it rather than not at all.
bool saveSmaller(const QImage& image, const QString& target, const QString& photo)
{
    return vbImageLoader::saveJpeg(image, target, _saveImageThread::jpegQuality, photo) ||
           vbImageLoader::saveJpeg(image, target, _saveImageThread::jpegQuality);
}

// Each worker keeps its last full-size picture until it runs out of work:
// photos of one camera share a size, and decoding into that memory costs far
// less than fresh memory for every photo.
thread_local QImage t_fullSize;

QImage scaledTo(const QImage& image, const QSize& size)
{
    if (image.size() == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

_saveImageThread::_saveImageThread(QObject* parent, int workers)
    : QObject(parent), m_pool(
                           workers, [this](const Job& job) { process(job); }, [] { t_fullSize = QImage(); })
{}

_saveImageThread::~_saveImageThread()
{
    // The workers call back into this object: they end before it goes.
    m_pool.stop();
}

_saveImageThread::Job _saveImageThread::jobFor(vbFileNode* node, bool ftp)
{
    Job job;
    job.node = node;
    job.path = node->absoluteFilePath();
    job.fileName = node->fileName();
    job.baseName = node->baseName();
    job.folder = node->tempFolder();
    job.ftp = ftp;
    job.serial = m_nextSerial++;
    m_latest.insert(node, {node, job.serial});
    return job;
}

void _saveImageThread::setNodes(const QList<vbFileNode*>& nodes, bool ftp)
{
    m_latest.removeIf([](const auto& it) { return it.value().node.isNull(); });
    QList<Job> jobs;
    jobs.reserve(nodes.size());
    for (vbFileNode* node : nodes) {
        if (node)
            jobs.append(jobFor(node, ftp));
    }
    m_pool.edit([&jobs](QList<Job>& queue) { queue = jobs; });
}

int _saveImageThread::pendingCount() const
{
    return m_pool.pending();
}

int _saveImageThread::unfinishedCount() const
{
    return m_pool.unfinished();
}

void _saveImageThread::process(const Job& job)
{
    if (job.node.isNull())
        return;
    QString recompressed;
    QString medium;
    QString small;

    // A photo deleted, emptied or cut off since it was added is not sent.
    const vbImageLoader::Problem problem = vbImageLoader::check(job.path);
    if (problem != vbImageLoader::Problem::None) {
        QMetaObject::invokeMethod(
            this,
            [this, node = job.node, serial = job.serial, problem] {
                if (node && m_latest.value(node).serial == serial)
                    node->applyUnreadable(problem);
            },
            Qt::QueuedConnection);
        return;
    }
    QDir().mkpath(job.folder);

    // The photo is decoded once: at full size when it is re-compressed, else
    // (FTP only) reduced while decoding to the medium box. Both smaller sizes
    // are scaled from those pixels.
    const bool recompress = QFileInfo(job.path).size() > recompressAbove;
    const QSize mediumBox(mediumSide, mediumSide);
    QSize upright;
    QImage pixels;
    if (recompress || job.ftp)
        pixels = vbImageLoader::decode(job.path, recompress ? QSize() : mediumBox, &upright,
                                       std::exchange(t_fullSize, QImage()));

    // Large files go out as a quality-80 copy under the same file name, upright
    // and with the photo's metadata. The copy is used only when it was written
    // in full with that metadata; otherwise the photo goes as it is.
    if (recompress) {
        const QString target = job.folder + QLatin1Char('/') + job.fileName;
        if (vbImageLoader::saveJpeg(pixels, target, jpegQuality, job.path))
            recompressed = target;
        t_fullSize = pixels;
    }

    if (job.ftp && !pixels.isNull()) {
        pixels = scaledTo(pixels, fitSize(upright, mediumBox));
        const QString mediumTarget = job.folder + QLatin1Char('/') + job.baseName + QStringLiteral("_1.jpg");
        if (saveSmaller(pixels, mediumTarget, job.path))
            medium = mediumTarget;
        // The size the thumbnail's reduction gives, as it always was.
        const QSize smallSize =
            fitSize(fitSize(upright, QSize(_loadThread::thumbnailSide, _loadThread::thumbnailSide)),
                    QSize(smallSide, smallSide));
        const QString smallTarget = job.folder + QLatin1Char('/') + job.baseName + QStringLiteral("_2.jpg");
        if (saveSmaller(scaledTo(pixels, smallSize), smallTarget, job.path))
            small = smallTarget;
    }

    QMetaObject::invokeMethod(
        this,
        [this, job, recompressed, medium, small] {
            const vbFileNode* key = job.node.data();
            if (!job.node) { // removed while it was prepared: its copies go with it
                QDir(job.folder).removeRecursively();
                return;
            }
            if (m_latest.value(key).serial != job.serial)
                return; // queued again meanwhile: the newer job reports
            if (job.node->absoluteFilePath() != job.path) {
                // Edited while it was prepared: these copies show the old picture.
                const Job again = jobFor(job.node, job.ftp);
                m_pool.edit([&again](QList<Job>& queue) { queue.append(again); });
                return;
            }
            job.node->applyPrepared(recompressed, medium, small);
        },
        Qt::QueuedConnection);
}
