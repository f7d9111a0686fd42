// The photo node's part of an upload: key or photo id request, transfer
// through a worker thread, commit of the photo's details. Every step and slot
// runs on the GUI thread; the worker reports through queued signals.
#include "vbFileNode.h"

#include "vbFileNodeUI.h"
#include "vbFtpUpload.h"
#include "vbHttpUpload.h"
#include "vbSession.h"
#include "vbUploadProtocol.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

namespace {
constexpr int kTransferFailureLimit = 6;

QString filePathOf(const QFileInfo& info)
{
    return info.filePath().isEmpty() ? QString() : info.absoluteFilePath();
}

// Service requests give up after the upload's socket time-out instead of
// keeping a photo in flight for ever.
QNetworkReply* get(vbSession* session, const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(session->transferDeadlineMs());
    return session->network()->get(request);
}

// A worker that still fits the transfer asked for, or null.
bool workerFits(const vbBaseUpload* worker, bool ftp, const QString& host, const QString& user,
                const QString& password, const QString& folder)
{
    const bool isFtp = qobject_cast<const vbFtpUpload*>(worker) != nullptr;
    return isFtp == ftp && worker->host() == host && worker->user() == user &&
           worker->password() == password && worker->folder() == folder;
}
} // namespace

void vbFileNode::requestKey()
{
    if (m_uploadState != vbUploadState::Prepared && m_uploadState != vbUploadState::KeyFailed)
        return;
    vbSession* session = m_session;
    if (!session) {
        keyFailed(vbUploadProtocol::unexpectedAnswer(QByteArray()));
        return;
    }
    const bool ftp = session->ftpMode();
    const bool held = ftp ? m_photoId != 0 : !m_keyHead.isEmpty() && !m_keyTail.isEmpty();
    if (held) {
        setUploadState(vbUploadState::KeyReady);
        return;
    }
    const QUrl url = ftp ? vbUploadProtocol::photoIdUrl(session->baseAddress())
                         : vbUploadProtocol::uploadKeyUrl(session->endpoints(), session->host());
    QNetworkReply* reply = get(session, url);
    reply->setProperty("ftp", ftp);
    m_keyReply.reset(reply);
    connect(reply, &QNetworkReply::finished, this, &vbFileNode::slot_getIDcomplete);
    connect(reply, &QNetworkReply::errorOccurred, this, &vbFileNode::slot_getIDError);
    setUploadState(vbUploadState::RequestingKey);
}

void vbFileNode::slot_getIDcomplete()
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_keyReply.get())
        return; // a request given up on
    m_keyReply.take();
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    if (reply->property("ftp").toBool()) {
        if (const std::optional<qint64> id = vbUploadProtocol::photoIdFromReply(body)) {
            m_photoId = *id;
            m_keyFailures = 0;
            setUploadState(vbUploadState::KeyReady);
            return;
        }
    } else if (const std::optional<vbUploadProtocol::UploadKey> key =
                   vbUploadProtocol::uploadKeyFromReply(body)) {
        m_keyHead = key->head;
        m_keyTail = key->tail;
        setUploadState(vbUploadState::KeyReady);
        return;
    }
    keyFailed(vbUploadProtocol::unexpectedAnswer(body));
}

void vbFileNode::slot_getIDError(QNetworkReply::NetworkError)
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_keyReply.get())
        return;
    // One failure counts once: the finished() that follows is not heard.
    m_keyReply.take();
    reply->disconnect(this);
    reply->deleteLater();
    keyFailed(reply->errorString());
}

void vbFileNode::keyFailed(const QString& detail)
{
    m_photoId = 0;
    m_keyHead.clear();
    m_keyTail.clear();
    ++m_keyFailures;
    m_failureReason = vbUploadProtocol::keyFailureReason(detail);
    setUploadState(vbUploadState::KeyFailed);
}

void vbFileNode::startTransfer(bool ftp, const QString& host, const QString& user, const QString& password,
                               const QString& folder)
{
    if (m_uploadState != vbUploadState::KeyReady && m_uploadState != vbUploadState::Failed)
        return;
    const QString secret = ftp ? password : m_keyHead + m_keyTail;
    if (m_worker && !workerFits(m_worker.get(), ftp, host, user, secret, folder))
        m_worker.reset();
    if (!m_worker) {
        const vbSession* session = m_session;
        const vbEndpoints endpoints = session ? session->endpoints() : vbEndpoints();
        vbNetDeadlines deadlines;
        if (session)
            deadlines.stepMs = session->transferDeadlineMs();
        if (ftp)
            m_worker.reset(new vbFtpUpload(host, endpoints.ftpPort(), user, password, folder, deadlines));
        else
            m_worker.reset(new vbHttpUpload(host, endpoints.httpPort(), user, secret, folder, deadlines));
        connect(m_worker.get(), &vbBaseUpload::sig_dataTransfer, this, &vbFileNode::slot_dataTransfer);
        connect(m_worker.get(), &vbBaseUpload::sig_done, this, &vbFileNode::slot_done);
    }
    const vbUploadFiles files{absoluteFilePath(), filePathOf(m_mediumFile), filePathOf(m_smallFile),
                              absolutePath() + QLatin1Char('/') + baseName()};
    if (m_worker->startUpload(files, photoIdString())) {
        if (m_tile)
            m_tile->setProgress(0, 1);
        setUploadState(vbUploadState::Transferring);
    } else {
        // Its files went after preparation.
        setReadProblem(vbImageLoader::Problem::Missing);
    }
}

void vbFileNode::slot_dataTransfer(qint64 done, qint64 total)
{
    if (sender() != m_worker.get())
        return;
    if (m_tile)
        m_tile->setProgress(done, total);
}

void vbFileNode::slot_done(bool ok)
{
    if (!m_worker || sender() != m_worker.get() || m_uploadState != vbUploadState::Transferring)
        return; // a run given up on
    if (ok) {
        if (m_tile)
            m_tile->setProgress(0, 0);
        setUploadState(vbUploadState::Transferred);
        return;
    }
    m_failureReason = vbUploadProtocol::transferFailureReason(m_worker->lastError());
    if (addTransferFailure() >= kTransferFailureLimit)
        setUploadState(vbUploadState::Failed);
    else
        setUploadState(vbUploadState::KeyReady);
}

void vbFileNode::commit()
{
    if (m_uploadState != vbUploadState::Transferred && m_uploadState != vbUploadState::CommitFailed)
        return;
    vbSession* session = m_session;
    if (!session || !session->ftpMode()) {
        // The upload request itself stored the photo.
        setUploadState(vbUploadState::Uploaded);
        return;
    }
    vbUploadProtocol::CommitValues values;
    values.baseAddress = session->baseAddress();
    values.userId = session->userId();
    values.albumId = session->currentAlbumIdText();
    values.photoId = m_photoId;
    values.photoName = baseName();
    values.width = m_sourceWidth;
    values.height = m_sourceHeight;
    values.fileSize = QFileInfo(absoluteFilePath()).size();
    values.make = m_make;
    values.model = m_model;
    values.time1 = m_time1;
    values.time2 = m_time2;
    values.aperture = m_aperture;
    values.focal = m_focal;
    QNetworkReply* reply = get(session, vbUploadProtocol::commitUrl(values));
    m_commitReply.reset(reply);
    connect(reply, &QNetworkReply::finished, this, &vbFileNode::slot_commitComplete);
    connect(reply, &QNetworkReply::errorOccurred, this, &vbFileNode::slot_commitError);
    setUploadState(vbUploadState::Committing);
}

void vbFileNode::slot_commitComplete()
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_commitReply.get())
        return;
    m_commitReply.take();
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    if (vbUploadProtocol::commitAccepted(body, m_photoId)) {
        m_commitFailures = 0;
        setUploadState(vbUploadState::Uploaded);
        return;
    }
    commitFailed(vbUploadProtocol::unexpectedAnswer(body));
}

void vbFileNode::slot_commitError(QNetworkReply::NetworkError)
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_commitReply.get())
        return;
    m_commitReply.take();
    reply->disconnect(this);
    reply->deleteLater();
    commitFailed(reply->errorString());
}

void vbFileNode::commitFailed(const QString& detail)
{
    ++m_commitFailures;
    m_failureReason = vbUploadProtocol::commitFailureReason(detail);
    setUploadState(vbUploadState::CommitFailed);
}

void vbFileNode::abortTransfer()
{
    if (m_worker)
        m_worker->abortRun(0);
}

void vbFileNode::cancelUpload()
{
    m_keyReply.drop();
    m_commitReply.drop();
    if (m_worker) {
        m_worker->stopUpload(); // an unfinished FTP run's files are removed
        m_worker.reset();
    }
    setUploadState(vbUploadState::Stopped);
    if (m_tile)
        m_tile->setProgress(0, 0);
}

void vbFileNode::releaseWorkerOnFailure()
{
    if (!m_worker)
        return;
    if (m_photoId != 0)
        m_worker->removeRemoteLater(photoIdString());
    m_worker.reset();
}
