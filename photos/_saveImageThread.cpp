#include "_saveImageThread.h"

#include "vbFileNode.h"
#include "vbFitSize.h"
#include "vbImageLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace {

// The smaller sizes keep the photo's metadata where it can be carried over,
// but are written without it rather than not at all.
bool saveSmaller(const QImage& image, const QString& target, const QString& photo)
{
    return vbImageLoader::saveJpeg(image, target, _saveImageThread::jpegQuality, photo) ||
           vbImageLoader::saveJpeg(image, target, _saveImageThread::jpegQuality);
}

} // namespace

_saveImageThread::_saveImageThread(QObject* parent) : QThread(parent)
{
    start(QThread::InheritPriority);
}

_saveImageThread::~_saveImageThread()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_wait.wakeOne();
    }
    wait();
}

void _saveImageThread::setNodes(const QList<vbFileNode*>& nodes, bool ftp)
{
    QList<Job> jobs;
    for (vbFileNode* node : nodes) {
        if (!node)
            continue;
        Job job;
        job.node = node;
        job.path = node->absoluteFilePath();
        job.fileName = node->fileName();
        job.baseName = node->baseName();
        job.folder = node->tempFolder();
        job.thumbnail = node->thumbnail();
        job.ftp = ftp;
        jobs.append(job);
    }
    QMutexLocker lock(&m_mutex);
    m_queue = jobs;
    m_stop = false;
    m_wait.wakeOne();
}

int _saveImageThread::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_queue.size());
}

void _saveImageThread::run()
{
    while (!m_stop) {
        Job job;
        {
            QMutexLocker lock(&m_mutex);
            while (m_queue.isEmpty() && !m_stop)
                m_wait.wait(&m_mutex);
            if (m_stop)
                return;
            job = m_queue.takeFirst();
        }
        if (!job.node.isNull())
            process(job);
    }
}

void _saveImageThread::process(const Job& job)
{
    QString current = job.path;
    QString recompressed;
    QString medium;
    QString small;

    // A photo deleted, emptied or cut off since it was added is not sent.
    const vbImageLoader::Problem problem = vbImageLoader::check(job.path);
    if (problem != vbImageLoader::Problem::None) {
        QMetaObject::invokeMethod(
            this,
            [node = job.node, problem] {
                if (node)
                    node->applyUnreadable(problem);
            },
            Qt::QueuedConnection);
        return;
    }
    const QFileInfo file(job.path);
    QDir().mkpath(job.folder);

    // Large files go out as a quality-80 copy under the same file name, upright
    // and with the photo's metadata. The copy is used only when it was written
    // in full with that metadata; otherwise the photo goes as it is.
    if (file.exists() && file.size() > recompressAbove) {
        const QImage full = vbImageLoader::load(job.path, QSize());
        const QString target = job.folder + QLatin1Char('/') + job.fileName;
        if (vbImageLoader::saveJpeg(full, target, jpegQuality, job.path)) {
            recompressed = target;
            current = target;
        }
    }

    if (job.ftp) {
        const QImage mediumImage = vbImageLoader::load(current, QSize(mediumSide, mediumSide));
        if (!mediumImage.isNull()) {
            const QString target = job.folder + QLatin1Char('/') + job.baseName + QStringLiteral("_1.jpg");
            if (saveSmaller(mediumImage, target, job.path))
                medium = target;
        }
        // A photo queued before its thumbnail arrived takes its small size from
        // the medium one; both fit the same shape.
        const QImage source = job.thumbnail.isNull() ? mediumImage : job.thumbnail;
        if (!source.isNull()) {
            const QSize size = fitSize(source.size(), QSize(smallSide, smallSide));
            const QImage smallImage = source.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            const QString target = job.folder + QLatin1Char('/') + job.baseName + QStringLiteral("_2.jpg");
            if (saveSmaller(smallImage, target, job.path))
                small = target;
        }
    }

    QMetaObject::invokeMethod(
        this,
        [node = job.node, folder = job.folder, recompressed, medium, small] {
            if (node)
                node->applyPrepared(recompressed, medium, small);
            else // removed while it was prepared: its copies go with it
                QDir(folder).removeRecursively();
        },
        Qt::QueuedConnection);
}
