#include "vbUploadQueue.h"

#include "KitButtonFlags.h"
#include "_loadThread.h"
#include "vbBaseUpload.h"
#include "vbClickLabel.h"
#include "vbEndpoints.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFtpSession.h"
#include "vbImageLoader.h"
#include "vbLanguage.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbPaths.h"
#include "vbPushButton.h"
#include "vbRequests.h"
#include "vbSession.h"
#include "vbStatusBar.h"
#include "vbToolPanel.h"
#include "vbUploadAgainBox.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"
#include "vbUploadLog.h"
#include "vbUploadPlan.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
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

vbUploadQueue::vbUploadQueue(vbMainWnd* window)
    : QObject(window), m_window(window), m_uploadTimer(new QTimer(this)), m_recoveryTimer(new QTimer(this))
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
    return m_window->session()->isUploading();
}

int vbUploadQueue::message(int flags, const QString& text)
{
    vbMessageBox box(flags, tr("Tips"), text, m_window);
    return box.exec();
}

QList<vbFileNode*> vbUploadQueue::listNodes() const
{
    return m_window->fileList()->nodes();
}

QList<vbFileNode*> vbUploadQueue::runNodes() const
{
    QList<vbFileNode*> nodes;
    for (const QPointer<vbFileNode>& node : m_runNodes) {
        if (node)
            nodes.append(node);
    }
    return nodes;
}

QStringList vbUploadQueue::keptPaths() const
{
    QStringList files;
    const QList<vbFileNode*> nodes = listNodes();
    for (const vbFileNode* node : nodes) {
        // A prepared copy in TempImages is deleted at exit: keep the photo the
        // user chose instead, it is prepared again next time.
        const QString current = node->absoluteFilePath();
        files.append(current.startsWith(tempImagesPath() + QLatin1Char('/')) ? node->sourcePath() : current);
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
    QList<QFileInfo> infos;
    for (const QString& file : std::as_const(files))
        infos.append(QFileInfo(file));
    if (!infos.isEmpty())
        m_window->fileList()->addFiles(infos, false);
    m_recoveredCount = int(recovered.size());
    if (m_recoveredCount > 0)
        m_window->setStatusNotice(tr("%n photos restored after an abnormal end.", nullptr, m_recoveredCount));

    // The restored photos are safe in the recovery copy before the pending
    // list goes; from now on every change of the list is copied.
    if (saveRecovery())
        QFile::remove(pendingPath());
    // The model also reports the batch removals that the list keeps quiet about.
    vbFileList* list = m_window->fileList();
    const auto changed = [this] { m_recoveryTimer->start(); };
    connect(list->model(), &QAbstractItemModel::rowsInserted, m_recoveryTimer, changed);
    connect(list->model(), &QAbstractItemModel::rowsRemoved, m_recoveryTimer, changed);
    connect(list->model(), &QAbstractItemModel::modelReset, m_recoveryTimer, changed);
    connect(list, &vbFileList::sig_photoFileChanged, m_recoveryTimer, changed);
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

bool vbUploadQueue::saveLog()
{
    QString error;
    if (!vbUploadLog::save(logPath(), m_logRecords, &error)) {
        reportSaveFailure(logPath(), error, false);
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
    m_window->setStatusText(text);
    auto* box = new vbMessageBox(OkButton, tr("Tips"), text, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // During an upload the tick must go on: the box waits beside it.
    if (wait)
        box->exec();
    else
        box->open();
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
    vbSession* session = m_window->session();
    if (!session->uploadAllowed())
        return;
    if (!session->isLoggedIn()) {
        message(OkButton, tr("Please login!"));
        return;
    }
    if (!m_ftpChecked) {
        m_ftpChecked = true;
        const QString host = session->host(), user = session->userName(), password = session->password();
        session->setFtpMode(offGuiThread([=] { return testFtpLogin(host, user, password); }));
    }
    if (isUploading()) {
        if (message(OkButton | CancelButton, tr("It's uploading image.Do you want cancel uploading?")) == 1)
            cancelUpload();
        return;
    }
    m_activeUploads.clear();
    m_runNodes.clear();
    if (session->currentAlbum() < 0 || session->currentAlbumIdText() == QLatin1String("/")) {
        message(OkButton, tr("Please select a photo list!"));
        return;
    }
    if (listNodes().isEmpty()) {
        message(OkButton, tr("Please select image to upload"));
        return;
    }

    askAboutUploadedBefore();

    QList<vbFileNode*> nodes = listNodes();
    if (nodes.isEmpty())
        return;
    if (nodes.size() > vbUploadPlan::kMaxListPhotos) {
        message(OkButton, tr("Cann't upload more than 300 images"));
        return;
    }
    const int photoCount = session->currentAlbumPhotoCount();
    QList<vbFileNode*> leftOver;
    switch (vbUploadPlan::albumRoom(photoCount, int(nodes.size()))) {
    case vbUploadPlan::AlbumRoom::Full:
        message(OkButton, albumFullText());
        return;
    case vbUploadPlan::AlbumRoom::Partial: {
        const int room = vbUploadPlan::kMaxAlbumPhotos - photoCount;
        if (message(OkButton | CancelButton, albumRoomQuestion(room)) != 1)
            return;
        // The photos left over stay listed and are reported as failed.
        while (nodes.size() > room) {
            vbFileNode* node = nodes.takeLast();
            node->setFailureReason(tr("The album has no room for more photos."));
            node->setResultLogged(false);
            node->setUploadState(vbFileNode::Stopped);
            leftOver.prepend(node);
        }
        break;
    }
    case vbUploadPlan::AlbumRoom::Enough:
        break;
    }

    if (photoCount == 0) {
        const QString host = session->host(), user = session->userName(), password = session->password(),
                      folder = session->currentAlbumIdText();
        offGuiThread([=] { return createFtpFolder(host, user, password, folder); });
    }

    session->setUploading(true);
    setUploadingLook(true);
    m_window->setStatusNotice(QString());
    QList<vbFileNode*> toPrepare;
    bool failedAtOnce = false;
    for (vbFileNode* node : std::as_const(nodes)) {
        // Only these photos make up this upload; photos added meanwhile wait for the next.
        m_runNodes.append(node);
        // A photo failed in an earlier run gets its new result logged too.
        node->setResultLogged(false);
        if (node->readProblem() != vbImageLoader::Problem::None) {
            // Its file cannot be sent: failed at once, with its reason.
            node->setUploadState(vbFileNode::Failed);
            failedAtOnce = true;
            continue;
        }
        disconnect(node, nullptr, this, nullptr);
        connect(node, &vbFileNode::sig_preUploadComplete, this, &vbUploadQueue::nodePreUploadComplete,
                Qt::QueuedConnection);
        node->setUploadState(vbFileNode::Waiting);
        toPrepare.append(node);
    }
    for (vbFileNode* node : std::as_const(leftOver))
        m_runNodes.append(node);
    for (vbFileNode* node : runNodes())
        joinRun(node);
    m_window->setStatusText(tr("Uploading..."));
    m_window->fileList()->prepareNodes(toPrepare, session->ftpMode());
    m_uploadTimer->start();
    // Photos that failed at once are logged now.
    if (failedAtOnce)
        checkToUpload();
}

void vbUploadQueue::askAboutUploadedBefore()
{
    const QList<vbFileNode*> nodes = listNodes();
    QList<vbFileNode*> leftOut;
    for (int i = 0; i < nodes.size(); ++i) {
        vbFileNode* node = nodes.at(i);
        if (!m_uploadedFiles.contains(node->absoluteFilePath()))
            continue;
        vbUploadAgainBox box(node->thumbnail(), node->absoluteFilePath(), m_window);
        box.exec();
        const vbUploadAgainBox::Result answer = box.resultValue();
        if (answer == vbUploadAgainBox::YesAll)
            break;
        if (answer == vbUploadAgainBox::No)
            leftOut.append(node);
        if (answer == vbUploadAgainBox::NoAll) {
            leftOut.append(nodes.mid(i));
            break;
        }
    }
    if (!leftOut.isEmpty())
        m_window->fileList()->removeNodes(leftOut);
}

void vbUploadQueue::nodePreUploadComplete(vbFileNode* node)
{
    if (!node || !isUploading())
        return;
    if (node->uploadState() == vbFileNode::Waiting)
        node->setUploadState(vbFileNode::Prepared);
    else if (node->uploadState() != vbFileNode::Failed) // found unreadable while prepared
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
    vbSession* session = m_window->session();
    const QList<vbFileNode*> nodes = runNodes();
    QList<vbUploadPlan::NodeView> views;
    views.reserve(nodes.size());
    for (const vbFileNode* node : nodes)
        views.append(
            {node->uploadState(), node->keyFailures(), node->commitFailures(), node->resultLogged()});
    const vbUploadPlan::Tick tick = vbUploadPlan::planTick(views);

    const bool ftp = session->ftpMode();
    const QString user = ftp ? session->userName() : QString::number(session->userId());
    const QString folder = ftp ? session->currentAlbumIdText() : session->currentAlbumId();
    bool logged = false;
    for (int i = 0; i < nodes.size(); ++i) {
        vbFileNode* node = nodes.at(i);
        switch (tick.actions.at(i)) {
        case vbUploadPlan::Action::None:
            break;
        case vbUploadPlan::Action::RequestKey:
            node->requestKey();
            break;
        case vbUploadPlan::Action::StartTransfer:
            node->startTransfer(ftp, session->host(), user, session->password(), folder);
            m_activeUploads.append(node);
            break;
        case vbUploadPlan::Action::Commit:
            node->commit();
            break;
        case vbUploadPlan::Action::SetFailed:
            node->setUploadState(vbFileNode::Failed);
            break;
        case vbUploadPlan::Action::LogFailure:
        case vbUploadPlan::Action::LogSuccess:
            appendLog(node, tick.actions.at(i) == vbUploadPlan::Action::LogSuccess);
            logged = true;
            break;
        }
    }
    // Each result is on disk before the next tick: a kill loses none.
    if (logged)
        saveLog();

    const int waiting = tick.total - tick.uploaded;
    m_window->setStatusText(progressText(tr("Uploading...Success"), tick.uploaded, waiting));
    if (tick.finished()) {
        // Nothing waits any more: the line says what failed instead.
        if (waiting > 0)
            m_window->setStatusText(vbUploadFailed::countsText(tick.uploaded, waiting));
        finishUpload(tick.uploaded, waiting);
    }
}

void vbUploadQueue::appendLog(vbFileNode* node, bool succeeded)
{
    vbSession* session = m_window->session();
    UploadLogRecord record;
    record.succeeded = succeeded;
    record.userName = session->userName();
    record.filePath = node->sourcePath();
    record.albumName = session->currentAlbumName();
    record.date = vbUploadLog::dateText(QDateTime::currentDateTime());
    if (!succeeded)
        record.reason = node->failureReason();
    m_logRecords.append(record);
    if (m_logRecords.size() > vbUploadLog::kMaxRecords)
        m_logRecords.removeFirst();
    // Added again in this run, the photo is asked about like any uploaded before.
    if (succeeded)
        m_uploadedFiles.insert(record.filePath);
    node->setResultLogged(true);
}

void vbUploadQueue::finishUpload(int uploaded, int failed)
{
    vbSession* session = m_window->session();
    m_uploadTimer->stop();
    // Named in the failure dialog; the nodes stay in the list, so read them now.
    UploadLogRecords failures;
    for (vbFileNode* node : runNodes()) {
        if (node->uploadState() == vbFileNode::Failed)
            failures.append(
                {false, QString(), node->sourcePath(), QString(), QString(), node->failureReason()});
    }
    leaveRun();
    session->setCurrentAlbumPhotoCount(session->currentAlbumPhotoCount() + uploaded);
    m_window->fileList()->removeUploaded();
    m_window->toolPanel()->lblSelectCount->clear();
    // The batch removal sends no count: "Remove All" must not stay on an empty list.
    m_window->statusBar()->lblDeleteAll->setVisible(m_window->fileList()->count() > 0);
    session->setUploading(false);
    setUploadingLook(false);

    if (failed > 0) {
        vbUploadFailed box(m_window);
        box.setCounts(uploaded, failed);
        box.setFailures(failures);
        box.exec();
        emit sig_uploadFinished(uploaded, failed);
        if (box.resultValue() == vbUploadFailed::ReUpload)
            startUpload();
    } else {
        vbUploadComplete box(m_window);
        box.setUploaded(uploaded);
        box.exec();
        emit sig_uploadFinished(uploaded, failed);
        if (box.resultValue() == vbUploadComplete::VisitSite)
            QDesktopServices::openUrl(vbRequests::homePageUrl());
    }
}

void vbUploadQueue::joinRun(vbFileNode* node)
{
    node->setInUploadRun(true);
    // The status line follows the tiles, not only the tick.
    connect(node, &vbFileNode::sig_uploadStateChanged, this, &vbUploadQueue::showRunProgress,
            Qt::UniqueConnection);
}

void vbUploadQueue::leaveRun()
{
    for (vbFileNode* node : runNodes()) {
        node->setInUploadRun(false);
        disconnect(node, &vbFileNode::sig_uploadStateChanged, this, &vbUploadQueue::showRunProgress);
    }
    m_runNodes.clear();
}

void vbUploadQueue::showRunProgress()
{
    if (!isUploading())
        return;
    const QList<vbFileNode*> nodes = runNodes();
    const auto uploaded = int(std::count_if(nodes.begin(), nodes.end(), [](const vbFileNode* node) {
        return node->uploadState() == vbFileNode::Uploaded;
    }));
    m_window->setStatusText(progressText(tr("Uploading...Success"), uploaded, int(nodes.size()) - uploaded));
}

void vbUploadQueue::cancelUpload()
{
    m_uploadTimer->stop();
    m_window->fileList()->prepareNodes({}, false);
    leaveRun();
    m_window->fileList()->removeUploaded();
    m_window->showPhotoCount(m_window->fileList()->count());
    // Every transfer is told to end first, so their waits overlap and the
    // cancel costs one short wait, not one per photo.
    for (const QPointer<vbFileNode>& node : std::as_const(m_activeUploads)) {
        if (node && node->worker())
            node->worker()->abortRun(0);
    }
    for (const QPointer<vbFileNode>& node : std::as_const(m_activeUploads)) {
        if (node)
            node->cancelUpload();
    }
    m_window->session()->setUploading(false);
    setUploadingLook(false);
}

void vbUploadQueue::setUploadingLook(bool uploading)
{
    vbToolPanel* panel = m_window->toolPanel();
    vbStatusBar* bar = m_window->statusBar();
    m_window->setStatusText(uploading ? tr("Uploading...") : tr("StandBy"));
    if (uploading)
        bar->btnUpload->setImages(QStringLiteral(":/Resources/cancelUpload.png"),
                                  QStringLiteral(":/Resources/cancelUpload_hover.png"));
    else
        bar->btnUpload->setImages(QStringLiteral(":/Resources/upload.png"),
                                  QStringLiteral(":/Resources/upload_hover.png"));
    const QList<QWidget*> widgets{panel->comboBox,  panel->btnHelp,       panel->btnRegister,
                                  panel->btnTask,   panel->btnSelectFile, panel->btnLogin,
                                  panel->lblCreate, panel->btnViewMode,   bar->lblDeleteAll};
    for (QWidget* widget : widgets)
        widget->setEnabled(!uploading);
}

void vbUploadQueue::closeProgram()
{
    if (isUploading()) {
        if (message(OkButton | CancelButton, tr("It's uploading image.Do you want cancel uploading?")) != 1)
            return;
        cancelUpload();
    }
    const QList<vbFileNode*> nodes = listNodes();
    bool keepRecovery = false;
    if (!nodes.isEmpty()) {
        vbMessageBox box(OkButton | CancelButton, tr("Tips"), tr("Do you want upload photos next time?"),
                         m_window);
        box.setButtonImages(OkButton, QStringLiteral(":/Resources/autoLoad.png"),
                            QStringLiteral(":/Resources/autoLoad_hover.png"));
        box.setButtonImages(CancelButton, QStringLiteral(":/Resources/noLoad.png"),
                            QStringLiteral(":/Resources/noLoad_hover.png"));
        QString error;
        if (box.exec() == 1 && !vbUploadLog::savePending(pendingPath(), keptPaths(), &error)) {
            reportSaveFailure(pendingPath(), error, true);
            // The recovery copy then brings the photos back instead.
            keepRecovery = true;
        }
    }
    m_window->fileList()->loadThread()->clear();
    QString error;
    if (!vbUploadLog::save(logPath(), m_logRecords, &error))
        reportSaveFailure(logPath(), error, true);
    // A normal end: nothing to recover at the next start.
    m_recoveryTimer->stop();
    disconnect(m_window->fileList()->model(), nullptr, m_recoveryTimer, nullptr);
    disconnect(m_window->fileList(), nullptr, m_recoveryTimer, nullptr);
    if (!keepRecovery)
        QFile::remove(recoveryPath());
    m_window->close();
    QCoreApplication::quit();
}
