#include "e2eSupport.h"

#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbIniParser.h"
#include "vbMainWnd.h"
#include "vbSession.h"
#include "vbStatusBar.h"
#include "vbTestPhotos.h"
#include "vbToolPanel.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

// The entries of a state list whose key has the value, compared as text.
QJsonArray where(const QJsonArray& list, const char* key, const QString& value)
{
    QJsonArray result;
    for (const QJsonValue& entry : list) {
        const QJsonValue v = entry.toObject().value(QLatin1String(key));
        if ((v.isString() ? v.toString() : QString::number(v.toInteger())) == value)
            result.append(entry);
    }
    return result;
}

} // namespace

void vbModalScript::expectFailed(std::function<void()> beforeYes)
{
    expect(QStringLiteral("vbUploadFailed"), [beforeYes](QWidget* dialog) {
        beforeYes();
        press("btnYes")(dialog);
    });
}

vbE2eProgram::~vbE2eProgram()
{
    m_service.reset();
    if (!m_previousCurrent.isEmpty())
        QDir::setCurrent(m_previousCurrent);
}

bool vbE2eProgram::setUp()
{
    const auto fail = [this](const QString& why) {
        m_error = why;
        return false;
    };
    m_previousCurrent = QDir::currentPath();
    QDir dir(m_dir.path());
    for (const char* sub : {"data", "TempImages", "photos"}) {
        if (!m_dir.isValid() || !dir.mkpath(QLatin1String(sub)))
            return fail(QStringLiteral("cannot prepare the program folder"));
    }
    QDir::setCurrent(m_dir.path());
    m_service = std::make_unique<vbTestService>();
    if (!m_service->isRunning())
        return fail(m_service->errorString());
    if (!m_service->writeSystemIni(m_dir.path()))
        return fail(QStringLiteral("cannot write system.ini"));
    vbIniParser ini(dir.filePath("system.ini"));
    ini.setString("user.info", "username", QLatin1String(velbrook::kDemoEmail));
    ini.setString("user.info", "password", QLatin1String(velbrook::kDemoPassword));
    ini.setBool("user.info", "autologin", true);
    return true;
}

bool vbE2eProgram::reset()
{
    for (const QString& path :
         {vbUploadQueue::logPath(), vbUploadQueue::pendingPath(), vbUploadQueue::recoveryPath()}) {
        QDir(path).removeRecursively();
        QFile::remove(path);
    }
    return m_service->clearFaults(true);
}

int vbE2eProgram::createAlbum(const QString& name, int count)
{
    if (!m_service->control(
            QStringLiteral("album"),
            QJsonObject{{"user_id", velbrook::kDemoUserId}, {"name", name}, {"photo_count", count}}))
        return 0;
    const QJsonArray albums = where(stateList("albums"), "name", name);
    const int id = albums.isEmpty() ? 0 : albums.last().toObject()["id"].toInt();
    // An album that holds photos has its folder in the account's FTP area.
    const QString folder =
        m_service->stateDir() + QStringLiteral("/ftp/u%1/%2").arg(velbrook::kDemoUserId).arg(id);
    return id != 0 && (count == 0 || QDir().mkpath(folder)) ? id : 0;
}

std::unique_ptr<vbMainWnd> vbE2eProgram::openWindow(const QString& album)
{
    auto window = std::make_unique<vbMainWnd>();
    window->uploadQueue()->uploadTimer()->setInterval(50);
    window->show();
    m_error = QStringLiteral("window not shown");
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    if (album.isEmpty())
        return window;
    QComboBox* box = window->toolPanel()->comboBox;
    m_error = QStringLiteral("not signed in with album ") + album;
    if (!QTest::qWaitFor([&] { return box->findText(album) >= 0 && window->session()->isLoggedIn(); }, 30000))
        return nullptr;
    box->setCurrentIndex(box->findText(album));
    return window->session()->currentAlbumName() == album ? std::move(window) : nullptr;
}

bool vbE2eProgram::addPhotos(vbMainWnd* window, const QStringList& paths)
{
    window->fileList()->addPaths(paths);
    const auto ready = [](const vbFileNode* node) { return !node->isLoading() && node->sourceWidth() >= 0; };
    const auto allReady = [&] {
        const auto nodes = window->fileList()->nodes();
        return std::all_of(nodes.begin(), nodes.end(), ready);
    };
    return QTest::qWaitFor(allReady, 30000);
}

QString vbE2eProgram::makePhoto(const QString& baseName, const QSize& size, qint64 bytes, int seed)
{
    const QString path = m_dir.filePath(QStringLiteral("photos/") + baseName + QStringLiteral(".jpg"));
    const bool written = bytes > 0 ? vbTestPhotos::writeJpegOfSize(path, size, bytes)
                                   : vbTestPhotos::writeJpeg(path, size, 90, seed);
    return written ? path : QString();
}

void vbE2eProgram::clickUpload(vbMainWnd* window)
{
    QTest::mouseClick(window->statusBar()->btnUpload, Qt::LeftButton);
}

QVariantList vbE2eProgram::upload(vbMainWnd* window, int timeoutMs)
{
    QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
    clickUpload(window);
    return !finished.isEmpty() || finished.wait(timeoutMs) ? finished.first() : QVariantList();
}

QAction* vbE2eProgram::quitAction(vbMainWnd* window)
{
    for (QAction* action : window->trayIcon()->contextMenu()->actions()) {
        if (action->text() == QLatin1String("Quit"))
            return action;
    }
    return nullptr;
}

QSet<QByteArray> vbE2eProgram::storedHashes(int albumId)
{
    QSet<QByteArray> hashes;
    for (const QJsonValue& p : photosOfAlbum(albumId)) {
        if (!p["name"].toString().section(QLatin1Char('/'), -1).contains(QLatin1Char('_')))
            hashes.insert(p["sha256"].toString().toLatin1());
    }
    return hashes;
}

QJsonArray vbE2eProgram::ofAlbum(const char* list, int albumId)
{
    return where(stateList(list), "album_id", QString::number(albumId));
}

int vbE2eProgram::requestCount(const char* endpoint, bool faultedOnly)
{
    int count = 0;
    for (const QJsonValue& r : where(stateList("requests"), "endpoint", QLatin1String(endpoint)))
        count += !faultedOnly || !r.toObject()["fault"].isNull();
    return count;
}

int vbE2eProgram::ftpCommandCount(const QString& cmd)
{
    return int(where(stateList("ftp_log"), "cmd", cmd).size());
}
