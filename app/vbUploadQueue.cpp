#include "vbUploadQueue.h"

#include "vbFtpSession.h"
#include "vbLanguage.h"
#include "vbPaths.h"
#include "vbSession.h"
#include "vbUploadList.h"
#include "vbUploadLog.h"
#include "vbUploadPlan.h"
#include "vbUploadPrompts.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <future>
#include <thread>

namespace {

// Runs a blocking FTP call on a thread of its own while the window keeps
// painting; user input waits until it is done.
bool offGuiThread(std::function<bool()> call)
{
    std::packaged_task<bool()> task(std::move(call));
    std::future<bool> result = task.get_future();
    std::thread worker(std::move(task));
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (result.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            loop.quit();
    });
    poll.start(10);
    if (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return result.get();
}

} // namespace

vbUploadQueue::FtpCalls vbUploadQueue::realFtpCalls()
{
    FtpCalls calls;
    calls.testLogin = [](const QString& host, int port, const QString& user, const QString& password) {
        return offGuiThread([=] { return testFtpLogin(host, port, user, password); });
    };
    calls.createFolder = [](const QString& host, int port, const QString& user, const QString& password,
                            const QString& folder) {
        return offGuiThread([=] { return createFtpFolder(host, port, user, password, folder); });
    };
    return calls;
}

vbUploadQueue::vbUploadQueue(vbSession* session, vbUploadList* list, vbUploadPrompts* prompts, FtpCalls ftp,
                             QObject* parent)
    : QObject(parent), m_session(session), m_list(list), m_prompts(prompts), m_ftp(std::move(ftp)),
      m_uploadTimer(new QTimer(this)), m_recoveryTimer(new QTimer(this))
{
    m_uploadTimer->setInterval(3000);
    connect(m_uploadTimer, &QTimer::timeout, this, &vbUploadQueue::checkToUpload);
    // Many changes in one go (a drop of 300 photos) make one rewrite.
    m_recoveryTimer->setSingleShot(true);
    m_recoveryTimer->setInterval(0);
    connect(m_recoveryTimer, &QTimer::timeout, this, &vbUploadQueue::saveRecovery);
}

vbUploadQueue::~vbUploadQueue() = default;

QString vbUploadQueue::logPath()
{
    return dataPath() + QStringLiteral("/log.dat");
}

QString vbUploadQueue::pendingPath()
{
    return dataPath() + QStringLiteral("/nextload.dat");
}

QString vbUploadQueue::recoveryPath()
{
    return dataPath() + QStringLiteral("/recovery.dat");
}

bool vbUploadQueue::isUploading() const
{
    return m_session->isUploading();
}

QList<vbUploadItem*> vbUploadQueue::listItems() const
{
    return m_list->uploadItems();
}

QList<vbUploadItem*> vbUploadQueue::runItems() const
{
    QList<vbUploadItem*> items;
    for (const QPointer<vbUploadItem>& item : m_runItems) {
        if (item)
            items.append(item);
    }
    return items;
}

QStringList vbUploadQueue::keptPaths() const
{
    QStringList files;
    const QList<vbUploadItem*> items = listItems();
    for (const vbUploadItem* item : items) {
        // A prepared copy in TempImages is deleted at exit: keep the photo the
        // user chose instead, it is prepared again next time.
        const QString current = item->absoluteFilePath();
        files.append(current.startsWith(tempImagesPath() + QLatin1Char('/')) ? item->sourcePath() : current);
    }
    return files;
}

void vbUploadQueue::restorePending()
{
    const QStringList recovered = vbUploadLog::readPaths(recoveryPath());
    QStringList files = vbUploadLog::readPaths(pendingPath());
    for (const QString& file : recovered) {
        if (!files.contains(file))
            files.append(file);
    }
    if (!files.isEmpty())
        m_list->restoreFiles(files);
    m_recoveredCount = int(recovered.size());
    if (m_recoveredCount > 0)
        emit sig_statusNotice(tr("%n photos restored after an abnormal end.", nullptr, m_recoveredCount));

    // The restored photos are safe in the recovery copy before the pending
    // list goes; from now on every change of the list is copied.
    if (saveRecovery())
        QFile::remove(pendingPath());
    m_keepingRecovery = true;
}

void vbUploadQueue::listChanged()
{
    if (m_keepingRecovery)
        m_recoveryTimer->start();
}

bool vbUploadQueue::saveRecovery()
{
    m_recoveryTimer->stop();
    QString error;
    if (!vbUploadLog::savePaths(recoveryPath(), keptPaths(), &error)) {
        reportSaveFailure(recoveryPath(), error, false);
        return false;
    }
    m_failedSaves.remove(recoveryPath());
    return true;
}

bool vbUploadQueue::saveLog(bool wait)
{
    QString error;
    if (!vbUploadLog::save(logPath(), m_logRecords, &error)) {
        reportSaveFailure(logPath(), error, wait);
        return false;
    }
    m_failedSaves.remove(logPath());
    return true;
}

void vbUploadQueue::reportSaveFailure(const QString& path, const QString& error, bool wait)
{
    if (m_failedSaves.contains(path) && !wait)
        return;
    m_failedSaves.insert(path);
    const QString text = tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), error);
    emit sig_statusText(text);
    m_prompts->saveFailed(text, wait);
}

void vbUploadQueue::loadLog()
{
    // Every successful line counts as uploaded, also those too old to keep.
    m_logRecords = vbUploadLog::load(logPath(), -1);
    m_uploadedFiles.clear();
    for (const UploadLogRecord& record : std::as_const(m_logRecords)) {
        if (record.succeeded)
            m_uploadedFiles.insert(record.filePath);
    }
    if (m_logRecords.size() > vbUploadLog::kMaxRecords)
        m_logRecords.erase(m_logRecords.begin(), m_logRecords.end() - vbUploadLog::kMaxRecords);
}

void vbUploadQueue::startUpload()
{
    if (!m_session->uploadAllowed())
        return;
    if (!m_session->isLoggedIn()) {
        m_prompts->refuse(tr("Please login!"));
        return;
    }
    if (!m_ftpChecked) {
        m_ftpChecked = true;
        m_session->setFtpMode(m_ftp.testLogin(m_session->host(), m_session->endpoints().ftpPort(),
                                              m_session->userName(), m_session->password()));
    }
    if (isUploading()) {
        if (m_prompts->cancelRunningUpload())
            cancelUpload();
        return;
    }
    m_activeUploads.clear();
    m_runItems.clear();
    if (m_session->currentAlbum() < 0 || m_session->currentAlbumIdText() == QLatin1String("/")) {
        m_prompts->refuse(tr("Please select a photo list!"));
        return;
    }
    if (listItems().isEmpty()) {
        m_prompts->refuse(tr("Please select image to upload"));
        return;
    }

    askAboutUploadedBefore();

    QList<vbUploadItem*> items = listItems();
    if (items.isEmpty())
        return;
    if (items.size() > vbUploadPlan::kMaxListPhotos) {
        m_prompts->refuse(tr("Cann't upload more than 300 images"));
        return;
    }
    const int photoCount = m_session->currentAlbumPhotoCount();
    QList<vbUploadItem*> leftOver;
    switch (vbUploadPlan::albumRoom(photoCount, int(items.size()))) {
    case vbUploadPlan::AlbumRoom::Full:
        m_prompts->refuse(albumFullText());
        return;
    case vbUploadPlan::AlbumRoom::Partial: {
        const int room = vbUploadPlan::kMaxAlbumPhotos - photoCount;
        if (!m_prompts->uploadFrontPhotos(room))
            return;
        // The photos left over stay listed and are reported as failed.
        while (items.size() > room) {
            vbUploadItem* item = items.takeLast();
            item->setFailureReason(tr("The album has no room for more photos."));
            item->setResultLogged(false);
            item->setUploadState(vbUploadState::Stopped);
            leftOver.prepend(item);
        }
        break;
    }
    case vbUploadPlan::AlbumRoom::Enough:
        break;
    }

    if (photoCount == 0)
        m_ftp.createFolder(m_session->host(), m_session->endpoints().ftpPort(), m_session->userName(),
                           m_session->password(), m_session->currentAlbumIdText());

    m_session->setUploading(true);
    emit sig_statusNotice(QString());
    QList<vbUploadItem*> toPrepare;
    bool failedAtOnce = false;
    for (vbUploadItem* item : std::as_const(items)) {
        // Only these photos make up this upload; photos added meanwhile wait for the next.
        m_runItems.append(item);
        // A photo failed in an earlier run gets its new result logged too.
        item->setResultLogged(false);
        if (item->isUnreadable()) {
            // Its file cannot be sent: failed at once, with its reason.
            item->setUploadState(vbUploadState::Failed);
            failedAtOnce = true;
            continue;
        }
        disconnect(item, &vbUploadItem::sig_preUploadComplete, this, nullptr);
        connect(item, &vbUploadItem::sig_preUploadComplete, this, &vbUploadQueue::nodePreUploadComplete,
                Qt::QueuedConnection);
        item->setUploadState(vbUploadState::Waiting);
        toPrepare.append(item);
    }
    for (vbUploadItem* item : std::as_const(leftOver))
        m_runItems.append(item);
    for (vbUploadItem* item : runItems())
        joinRun(item);
    emit sig_statusText(tr("Uploading..."));
    m_list->prepareItems(toPrepare);
    m_uploadTimer->start();
    // Photos that failed at once are logged now.
    if (failedAtOnce)
        checkToUpload();
}

void vbUploadQueue::askAboutUploadedBefore()
{
    const QList<vbUploadItem*> items = listItems();
    QList<vbUploadItem*> leftOut;
    for (int i = 0; i < items.size(); ++i) {
        vbUploadItem* item = items.at(i);
        if (!m_uploadedFiles.contains(item->absoluteFilePath()))
            continue;
        const vbUploadPrompts::Again answer = m_prompts->uploadAgain(item);
        if (answer == vbUploadPrompts::Again::YesAll)
            break;
        if (answer == vbUploadPrompts::Again::No)
            leftOut.append(item);
        if (answer == vbUploadPrompts::Again::NoAll) {
            leftOut.append(items.mid(i));
            break;
        }
    }
    if (!leftOut.isEmpty())
        m_list->removeItems(leftOut);
}

void vbUploadQueue::nodePreUploadComplete(vbUploadItem* item)
{
    if (!item || !isUploading())
        return;
    if (item->uploadState() == vbUploadState::Waiting)
        item->setUploadState(vbUploadState::Prepared);
    else if (item->uploadState() != vbUploadState::Failed) // found unreadable while prepared
        return;
    checkToUpload();
}

// Each number has a sentence part of its own, so English can give both their plurals
// while the Chinese pieces join exactly as before.
QString vbUploadQueue::albumFullText()
{
    return vbLanguage::compose(tr("%1%n%2", "You can upload <limit> photos.", vbUploadPlan::kMaxAlbumPhotos),
                               {tr("You can upload"), tr("photos.")});
}

QString vbUploadQueue::albumRoomQuestion(int room)
{
    return vbLanguage::compose(tr("%1%n%2", "You can upload <room> photos; upload the front ones?", room),
                               {tr("You can upload"), tr(" photos.Do you want upload front photo?")});
}

QString vbUploadQueue::progressText(const QString& lead, int uploaded, int waiting)
{
    return vbLanguage::compose(tr("%1%n%2", "<lead> <uploaded> photo,", uploaded), {lead, tr(" photo,")}) +
           vbLanguage::compose(tr("%1%n%2", "wait for <waiting> photo.", waiting),
                               {tr("wait for"), tr(" photo.")});
}

void vbUploadQueue::checkToUpload()
{
    if (!isUploading())
        return;
    const QList<vbUploadItem*> items = runItems();
    QList<vbUploadPlan::NodeView> views;
    views.reserve(items.size());
    for (const vbUploadItem* item : items)
        views.append(
            {item->uploadState(), item->keyFailures(), item->commitFailures(), item->resultLogged()});
    const vbUploadPlan::Tick tick = vbUploadPlan::planTick(views);

    const bool ftp = m_session->ftpMode();
    const QString user = ftp ? m_session->userName() : QString::number(m_session->userId());
    const QString folder = ftp ? m_session->currentAlbumIdText() : m_session->currentAlbumId();
    bool logged = false;
    for (int i = 0; i < items.size(); ++i) {
        vbUploadItem* item = items.at(i);
        switch (tick.actions.at(i)) {
        case vbUploadPlan::Action::None:
            break;
        case vbUploadPlan::Action::RequestKey:
            item->requestKey();
            break;
        case vbUploadPlan::Action::StartTransfer:
            item->startTransfer(ftp, m_session->host(), user, m_session->password(), folder);
            m_activeUploads.append(item);
            break;
        case vbUploadPlan::Action::Commit:
            item->commit();
            break;
        case vbUploadPlan::Action::SetFailed:
            item->setUploadState(vbUploadState::Failed);
            break;
        case vbUploadPlan::Action::LogFailure:
        case vbUploadPlan::Action::LogSuccess:
            appendLog(item, tick.actions.at(i) == vbUploadPlan::Action::LogSuccess);
            logged = true;
            break;
        }
    }
    // Each result is on disk before the next tick: a kill loses none.
    if (logged)
        saveLog(false);

    const int waiting = tick.total - tick.uploaded;
    emit sig_statusText(progressText(tr("Uploading...Success"), tick.uploaded, waiting));
    if (tick.finished()) {
        // Nothing waits any more: the line says what failed instead.
        if (waiting > 0)
            emit sig_statusText(progressText(tr("Success"), tick.uploaded, waiting));
        finishUpload(tick.uploaded, waiting);
    }
}

void vbUploadQueue::appendLog(vbUploadItem* item, bool succeeded)
{
    UploadLogRecord record;
    record.succeeded = succeeded;
    record.userName = m_session->userName();
    record.filePath = item->sourcePath();
    record.albumName = m_session->currentAlbumName();
    record.date = vbUploadLog::dateText(QDateTime::currentDateTime());
    if (!succeeded)
        record.reason = item->failureReason();
    m_logRecords.append(record);
    if (m_logRecords.size() > vbUploadLog::kMaxRecords)
        m_logRecords.removeFirst();
    // Added again in this run, the photo is asked about like any uploaded before.
    if (succeeded)
        m_uploadedFiles.insert(record.filePath);
    item->setResultLogged(true);
}

void vbUploadQueue::finishUpload(int uploaded, int failed)
{
    m_uploadTimer->stop();
    // Named in the failure dialog; the photos stay in the list, so read them now.
    UploadLogRecords failures;
    for (vbUploadItem* item : runItems()) {
        if (item->uploadState() == vbUploadState::Failed)
            failures.append(
                {false, QString(), item->sourcePath(), QString(), QString(), item->failureReason()});
    }
    leaveRun();
    m_session->setCurrentAlbumPhotoCount(m_session->currentAlbumPhotoCount() + uploaded);
    m_list->removeUploaded();
    emit sig_runEnded(int(listItems().size()), true);
    m_session->setUploading(false);
    emit sig_statusText(tr("StandBy"));

    const bool again = m_prompts->runEnded(uploaded, failed, failures);
    emit sig_uploadFinished(uploaded, failed);
    if (again && failed > 0)
        startUpload();
}

void vbUploadQueue::joinRun(vbUploadItem* item)
{
    item->setInUploadRun(true);
    // The status line follows the tiles, not only the tick.
    connect(item, &vbUploadItem::sig_uploadStateChanged, this, &vbUploadQueue::showRunProgress,
            Qt::UniqueConnection);
}

void vbUploadQueue::leaveRun()
{
    for (vbUploadItem* item : runItems()) {
        item->setInUploadRun(false);
        disconnect(item, &vbUploadItem::sig_uploadStateChanged, this, &vbUploadQueue::showRunProgress);
    }
    m_runItems.clear();
}

void vbUploadQueue::showRunProgress()
{
    if (!isUploading())
        return;
    const QList<vbUploadItem*> items = runItems();
    const auto uploaded = int(std::count_if(items.begin(), items.end(), [](const vbUploadItem* item) {
        return item->uploadState() == vbUploadState::Uploaded;
    }));
    emit sig_statusText(progressText(tr("Uploading...Success"), uploaded, int(items.size()) - uploaded));
}

void vbUploadQueue::cancelUpload()
{
    m_uploadTimer->stop();
    // Photos still waiting for preparation are not prepared in vain.
    m_list->prepareItems({});
    leaveRun();
    m_list->removeUploaded();
    emit sig_runEnded(int(listItems().size()), false);
    // Every transfer is told to end first, so their waits overlap and the
    // cancel costs one short wait, not one per photo.
    for (const QPointer<vbUploadItem>& item : std::as_const(m_activeUploads)) {
        if (item)
            item->abortTransfer();
    }
    for (const QPointer<vbUploadItem>& item : std::as_const(m_activeUploads)) {
        if (item)
            item->cancelUpload();
    }
    m_session->setUploading(false);
    emit sig_statusText(tr("StandBy"));
}

bool vbUploadQueue::closeDown()
{
    if (isUploading()) {
        if (!m_prompts->cancelRunningUpload())
            return false;
        cancelUpload();
    }
    bool keepRecovery = false;
    if (!listItems().isEmpty() && m_prompts->uploadNextTime()) {
        QString error;
        if (!vbUploadLog::savePending(pendingPath(), keptPaths(), &error)) {
            reportSaveFailure(pendingPath(), error, true);
            // The recovery copy then brings the photos back instead.
            keepRecovery = true;
        }
    }
    saveLog(true);
    // A normal end: nothing to recover at the next start.
    m_keepingRecovery = false;
    m_recoveryTimer->stop();
    if (!keepRecovery)
        QFile::remove(recoveryPath());
    return true;
}
