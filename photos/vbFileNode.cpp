#include "vbFileNode.h"

#include "_loadThread.h"
#include "vbFileNodeUI.h"
#include "vbPaths.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QListWidget>

namespace {
// Numbers the per-photo folders in "TempImages"; never reused within a run.
QAtomicInt s_nextTempIndex(1);
} // namespace

vbFileNode::vbFileNode()
    : vbUploadItem(nullptr), QListWidgetItem(nullptr, 0), m_tempIndex(s_nextTempIndex.fetchAndAddRelaxed(1))
{}

vbFileNode::~vbFileNode()
{
    if (m_loader)
        m_loader->removeNode(this);
    // Prepared and edited copies live only as long as their photo is listed.
    QDir(tempFolder()).removeRecursively();
    if (m_tile) {
        vbFileNodeUI* tile = m_tile;
        m_tile = nullptr;
        tile->setParent(nullptr);
        delete tile;
    }
}

void vbFileNode::setFileInfo(const QFileInfo& info)
{
    m_fileInfo = info;
    if (m_sourcePath.isEmpty())
        m_sourcePath = info.absoluteFilePath();
    emit sig_fileChanged();
}

QString vbFileNode::tempFolder() const
{
    return tempImagesPath() + QLatin1Char('/') + QString::number(m_tempIndex);
}

bool vbFileNode::renameFile(const QString& newBaseName)
{
    const QString suffix = m_fileInfo.completeSuffix();
    const QString newName = suffix.isEmpty() ? newBaseName : newBaseName + QLatin1Char('.') + suffix;
    if (newName == m_fileInfo.fileName())
        return m_fileInfo.exists();
    const QString target = m_fileInfo.absoluteDir().filePath(newName);
    if (!QFile::rename(m_fileInfo.absoluteFilePath(), target))
        return false;
    QFileInfo renamed(target);
    setFileInfo(renamed);
    return renamed.exists();
}

QImage vbFileNode::thumbnail() const
{
    return m_loading ? QImage() : m_thumbnail;
}

void vbFileNode::clearBigImage()
{
    m_bigImage = QImage();
}

void vbFileNode::setLoader(_loadThread* loader)
{
    m_loader = loader;
}

bool vbFileNode::requestThumbnail()
{
    if (!m_loader)
        return false;
    m_loader->addNodes({this});
    return true;
}

bool vbFileNode::requestBigImage()
{
    if (!m_loader)
        return false;
    m_loader->addNode(this);
    return true;
}

_loadThread* vbFileNode::loader() const
{
    return m_loader;
}

vbFileNodeUI* vbFileNode::tile() const
{
    return m_tile;
}

void vbFileNode::setTile(vbFileNodeUI* tile)
{
    m_tile = tile;
}

int vbFileNode::row() const
{
    QListWidget* list = listWidget();
    return list ? list->row(this) : 0;
}

void vbFileNode::setViewMode(vbViewMode mode)
{
    m_viewMode = mode;
    if (m_tile)
        m_tile->setViewMode(mode);
}

void vbFileNode::setKey(const QString& head, const QString& tail)
{
    m_keyHead = head;
    m_keyTail = tail;
}

void vbFileNode::setUploadState(vbUploadState state)
{
    if (state == vbUploadState::Waiting || state == vbUploadState::Prepared) {
        m_keyFailures = 0;
        m_commitFailures = 0;
    }
    if (state == vbUploadState::Failed)
        releaseWorkerOnFailure();
    const bool changed = m_uploadState != state;
    m_uploadState = state;
    updateTile();
    if (changed)
        emit sig_uploadStateChanged(this);
}

void vbFileNode::setSession(vbSession* session)
{
    m_session = session;
}

void vbFileNode::setInUploadRun(bool inRun)
{
    if (m_inUploadRun == inRun)
        return;
    m_inUploadRun = inRun;
    updateTile();
}

void vbFileNode::updateTile()
{
    if (!m_tile)
        return;
    m_tile->setToolTip(m_uploadState == vbUploadState::Failed ? m_failureReason : QString());
    m_tile->update();
}

void vbFileNode::setReadProblem(vbImageLoader::Problem problem)
{
    const bool hadProblem = m_readProblem != vbImageLoader::Problem::None;
    m_readProblem = problem;
    if (problem != vbImageLoader::Problem::None) {
        m_failureReason = vbImageLoader::problemText(problem);
        setUploadState(vbUploadState::Failed);
    } else if (hadProblem && m_uploadState == vbUploadState::Failed) {
        // The file was mended or replaced (an edit): the photo may go again.
        m_failureReason.clear();
        setUploadState(vbUploadState::Waiting);
    }
}

void vbFileNode::applyUnreadable(vbImageLoader::Problem problem)
{
    setReadProblem(problem);
    emit sig_preUploadComplete(this);
}

void vbFileNode::applyThumbnail(const QImage& image, const QSize& sourceSize, const vbExifValues& exif,
                                vbImageLoader::Problem problem)
{
    m_thumbnail = image;
    m_sourceWidth = sourceSize.width();
    m_sourceHeight = sourceSize.height();
    if (exif.make)
        m_make = *exif.make;
    if (exif.model)
        m_model = *exif.model;
    if (exif.time1)
        m_time1 = *exif.time1;
    if (exif.time2)
        m_time2 = *exif.time2;
    if (exif.aperture)
        m_aperture = *exif.aperture;
    if (exif.focal)
        m_focal = *exif.focal;
    m_loading = false;
    setReadProblem(problem);
    updateTile();
}

void vbFileNode::applyBigImage(const QImage& image)
{
    if (!image.isNull())
        m_bigImage = image;
    emit sig_loadBigImageComplete(this);
}

void vbFileNode::applyPrepared(const QString& recompressed, const QString& medium, const QString& small)
{
    if (!recompressed.isEmpty())
        setFileInfo(QFileInfo(recompressed));
    if (!medium.isEmpty())
        m_mediumFile = QFileInfo(medium);
    if (!small.isEmpty())
        m_smallFile = QFileInfo(small);
    emit sig_preUploadComplete(this);
}
