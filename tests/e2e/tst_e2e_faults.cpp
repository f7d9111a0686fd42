// Faults of the service during uploads driven through the main window: each
// ends in the documented state, with nothing lost and nothing left behind.
#include "e2eSupport.h"
#include "vbBaseUpload.h"
#include "vbEndpoints.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbSession.h"
#include "vbToolPanel.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

namespace {

int faultedRequests(const QJsonArray& requests, const char* endpoint)
{
    int count = 0;
    for (const QJsonValue& r : requests) {
        const QJsonObject request = r.toObject();
        count += request.value(QLatin1String("endpoint")).toString() == QLatin1String(endpoint) &&
                 !request.value(QLatin1String("fault")).isNull();
    }
    return count;
}

} // namespace

class tst_E2eFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_program.setUp(), qPrintable(m_program.error())); }

    void init()
    {
        QVERIFY(m_program.service().clearFaults(true));
        QFile::remove(vbUploadQueue::logPath());
        QFile::remove(vbUploadQueue::recoveryPath());
    }

    void cleanup()
    {
        m_window.reset();
        vbBaseUpload::setSocketTimeoutMs(60000);
        m_program.service().clearFaults();
    }

    // The automatic sign-in and album list of a starting window, each row one
    // way the service fails: the user is told what failed, and OK on that
    // message tries again, which works once the service is well.
    void signInFaults_data()
    {
        QTest::addColumn<QList<QJsonObject>>("faults"); // empty: system.ini without [service]
        QTest::addColumn<int>("outcome");

        const auto f = [](const char* endpoint, const char* kind, const QJsonObject& extra = {}) {
            QJsonObject o = extra;
            o.insert(QLatin1String("endpoint"), QLatin1String(endpoint));
            o.insert(QLatin1String("kind"), QLatin1String(kind));
            return QList<QJsonObject>{o};
        };
        const int unreachable = vbServiceCall::Unreachable;
        const int unreadable = vbServiceCall::Unreadable;
        QTest::newRow("sign-in: down") << f("signin", "down") << unreachable;
        QTest::newRow("sign-in: reset") << f("signin", "reset") << unreachable;
        QTest::newRow("sign-in: stall") << f("signin", "stall") << unreachable;
        QTest::newRow("sign-in: empty body") << f("signin", "body") << unreadable;
        QTest::newRow("sign-in: truncated") << f("signin", "truncated") << unreadable;
        QTest::newRow("sign-in: wrong envelope") << f("signin", "novalue") << unreadable;
        QTest::newRow("sign-in: HTTP 500") << f("signin", "status") << unreadable;
        QTest::newRow("sign-in: endless") << f("signin", "endless") << unreadable;
        QTest::newRow("sign-in: user id -1")
            << f("signin", "value", {{QLatin1String("value"), QLatin1String("-1")}}) << unreadable;
        QTest::newRow("no [service] section") << QList<QJsonObject>{} << unreachable;
        QTest::newRow("albums: wrong envelope") << f("albumlist", "refuse") << unreadable;
        QTest::newRow("albums: truncated") << f("albumlist", "truncated") << unreadable;
        QTest::newRow("albums: endless") << f("albumlist", "endless") << unreadable;
        QTest::newRow("albums: stall") << f("albumlist", "stall") << unreachable;
    }

    void signInFaults()
    {
        QFETCH(QList<QJsonObject>, faults);
        QFETCH(int, outcome);

        const QString iniPath = m_program.dir() + QStringLiteral("/system.ini");
        QByteArray ini;
        {
            QFile file(iniPath);
            QVERIFY(file.open(QIODevice::ReadOnly));
            ini = file.readAll();
        }
        const auto writeIni = [&](const QByteArray& bytes) {
            QFile file(iniPath);
            const bool ok =
                file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
            file.close();
            vbEndpoints::reloadCurrent();
            return ok;
        };
        if (faults.isEmpty()) {
            const qsizetype start = ini.indexOf("[service]");
            QVERIFY(start >= 0);
            const qsizetype end = ini.indexOf("\n[", start);
            QVERIFY(writeIni(ini.left(start) + (end < 0 ? QByteArray() : ini.mid(end + 1))));
        }
        for (const QJsonObject& f : faults)
            QVERIFY(m_program.service().injectFault(f));

        const auto failure = vbServiceCall::Outcome(outcome);
        QString statusAtMessage;
        vbModalScript script;
        script.expect(QStringLiteral("vbMessageBox"), [&](QWidget* box) {
            statusAtMessage = m_window->statusText();
            QVERIFY(vbE2eProgram::saveShot(box, QStringLiteral("service-failure")));
            QVERIFY(vbE2eProgram::saveShot(m_window.get(), QStringLiteral("service-failure-window")));
            m_program.service().clearFaults();
            writeIni(ini);
            QTest::mouseClick(static_cast<vbMessageBox*>(box)->btnOK, Qt::LeftButton);
        });
        m_window = std::make_unique<vbMainWnd>(nullptr, 1500);
        setMainWnd(m_window.get());
        m_window->show();

        QTRY_COMPARE_WITH_TIMEOUT(script.pending(), 0, 20000);
        QCOMPARE(script.seen(),
                 QStringList{QStringLiteral("vbMessageBox: ") + vbServiceCall::failureText(failure) +
                             QStringLiteral("\nTry again now?")});
        QCOMPARE(statusAtMessage, vbServiceCall::failureStatus(failure));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusText(), QStringLiteral("logged in"), 20000);
        QVERIFY(m_window->session()->isLoggedIn());
        QVERIFY(m_window->session()->albums().size() >= 3);
        QCOMPARE(m_window->toolPanel()->comboBox->count(), m_window->session()->albums().size());
        QVERIFY(script.unexpected().isEmpty());
    }

    void keyRequestsFailing()
    {
        QVERIFY(openWithPhotos(QStringLiteral("Key faults"), 2, /*ftp=*/true));
        QVERIFY(inject(QStringLiteral("photoid"), QStringLiteral("refuse")));

        // More than five refused ids: both fail and are logged; the photos are
        // uploaded again once the service answers.
        vbModalScript script;
        script.expect(QStringLiteral("vbUploadFailed"),
                      vbModalScript::failedReUpload([this] { m_program.service().clearFaults(); }));
        script.expectComplete();
        QSignalSpy finished(m_window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 60000);
        QCOMPARE(finished.at(0), (QVariantList{0, 2}));
        QCOMPARE(finished.at(1), (QVariantList{2, 0}));
        QCOMPARE(script.seen().first(),
                 QStringLiteral("vbUploadFailed: None of the 2 photo(s) could be uploaded."));
        QVERIFY(script.unexpected().isEmpty());

        QCOMPARE(faultedRequests(m_program.stateList("requests"), "photoid"), 12);
        QCOMPARE(m_window->fileList()->count(), 0);
        QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), 2);
        // The failures and the later successes are all in the log.
        const UploadLogRecords& log = m_window->uploadQueue()->logRecords();
        QCOMPARE(log.size(), qsizetype(4));
        QVERIFY(!log.at(0).succeeded && !log.at(1).succeeded);
        QVERIFY(!log.at(0).reason.isEmpty());
        QVERIFY(log.at(2).succeeded && log.at(3).succeeded);
    }

    void transferFailingSixTimes()
    {
        QVERIFY(openWithPhotos(QStringLiteral("Transfer faults"), 1, true));
        // Each attempt stores the start of the first file, then the server aborts.
        QJsonObject fault = vbE2eProgram::fault(QStringLiteral("ftp_stor"), QStringLiteral("fail_after"));
        fault.insert(QLatin1String("bytes"), 500);
        QVERIFY(m_program.service().injectFault(fault));

        runExpectingFailure(0, 1);
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("STOR")), 6);
        QCOMPARE(m_window->fileList()->count(), 1);
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), int(vbFileNode::Failed));
        // What the aborted attempts stored is removed.
        QTRY_COMPARE_WITH_TIMEOUT(m_program.photosOfAlbum(m_albumId).size(), 0, 20000);
        QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), 0);
        QCOMPARE(m_window->uploadQueue()->logRecords().size(), qsizetype(1));
        QVERIFY(!m_window->uploadQueue()->logRecords().first().succeeded);
    }

    void commitAnsweringAnotherId()
    {
        QVERIFY(openWithPhotos(QStringLiteral("Commit faults"), 1, true));
        QJsonObject fault = vbE2eProgram::fault(QStringLiteral("commit"), QStringLiteral("value"));
        fault.insert(QLatin1String("value"), QStringLiteral("123"));
        QVERIFY(m_program.service().injectFault(fault));

        runExpectingFailure(0, 1);
        QCOMPARE(faultedRequests(m_program.stateList("requests"), "commit"), 6);
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), int(vbFileNode::Failed));
        QCOMPARE(m_program.albumCount(m_albumId), 1);
        QCOMPARE(m_window->session()->currentAlbumPhotoCount(), 1);
        // The pictures sent for the photo that never got committed are removed.
        QTRY_COMPARE_WITH_TIMEOUT(m_program.photosOfAlbum(m_albumId).size(), 0, 20000);
    }

    // A broken or silent server costs a photo one attempt, never the program:
    // each photo is stored exactly once and counted right.
    void brokenServersCostOneAttempt_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::addColumn<QList<QJsonObject>>("injected");
        QTest::addColumn<int>("photoCount");
        QTest::addColumn<int>("transfers");  // STOR commands, or upload requests
        QTest::addColumn<int>("deadlineMs"); // of every network step
        const auto fault = [](const char* endpoint, const char* kind, int count) {
            return vbE2eProgram::fault(QLatin1String(endpoint), QLatin1String(kind), count);
        };
        QJsonObject reset = fault("ftp_stor", "reset", 1);
        reset.insert(QLatin1String("bytes"), 1000);
        QJsonObject failMidway = fault("ftp_stor", "fail_after", 1);
        failMidway.insert(QLatin1String("bytes"), 700);
        QJsonObject dropped = fault("upload", "close_after", 1);
        dropped.insert(QLatin1String("bytes"), 1000);
        dropped.insert(QLatin1String("phase"), QStringLiteral("request"));
        // Longer than a stop waits: the failed run is still saying goodbye
        // (QUIT of its session) when the tick starts the photo again.
        QTest::newRow("FTP data connection never read, its QUIT never answered")
            << true << QList<QJsonObject>{fault("ftp_stor", "stall", 1), fault("ftp_quit", "stall", 2)} << 1
            << 4 << 3500;
        QTest::newRow("FTP QUIT never answered")
            << true << QList<QJsonObject>{fault("ftp_quit", "stall", -1)} << 2 << 6 << 1500;
        QTest::newRow("FTP reset mid-transfer") << true << QList<QJsonObject>{reset} << 1 << 4 << 1500;
        QTest::newRow("FTP STOR failing midway") << true << QList<QJsonObject>{failMidway} << 1 << 4 << 1500;
        QTest::newRow("HTTP request cut off") << false << QList<QJsonObject>{dropped} << 1 << 2 << 1500;
        QTest::newRow("HTTP answer never comes")
            << false << QList<QJsonObject>{fault("upload", "stall", 1)} << 1 << 2 << 1500;
        QTest::newRow("HTTP answer split")
            << false << QList<QJsonObject>{fault("upload", "split", -1)} << 2 << 2 << 1500;
    }

    void brokenServersCostOneAttempt()
    {
        QFETCH(bool, ftp);
        QFETCH(QList<QJsonObject>, injected);
        QFETCH(int, photoCount);
        QFETCH(int, transfers);
        QFETCH(int, deadlineMs);
        vbBaseUpload::setSocketTimeoutMs(deadlineMs);
        QVERIFY(openWithPhotos(QString::fromLatin1(QTest::currentDataTag()).left(20), photoCount, ftp));
        for (const QJsonObject& f : injected)
            QVERIFY(m_program.service().injectFault(f));

        runExpectingSuccess(photoCount);
        if (!ftp) {
            QCOMPARE(m_program.requestCount("upload"), transfers);
            checkHttpPhotosStored();
            return;
        }
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("STOR")), transfers);
        QCOMPARE(m_program.photosOfAlbum(m_albumId).size(), 3 * photoCount);
        QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), photoCount);
        QCOMPARE(m_program.albumCount(m_albumId), 1 + photoCount);
        // The photo files arrived whole (a retry replaced what a broken attempt left).
        QSet<QByteArray> sent;
        for (const QString& path : std::as_const(m_paths))
            sent.insert(vbE2eProgram::sha256Of(path));
        for (const QJsonValue& p : m_program.photosOfAlbum(m_albumId)) {
            const QJsonObject photo = p.toObject();
            if (!photo.value(QLatin1String("name")).toString().contains(QLatin1Char('_')))
                QVERIFY(sent.contains(photo.value(QLatin1String("sha256")).toString().toLatin1()));
        }
    }

    void cancelMidUpload()
    {
        QVERIFY(openWithPhotos(QStringLiteral("Cancelled"), 4, false));
        // The first upload to arrive hangs; the others go through.
        QVERIFY(inject(QStringLiteral("upload"), QStringLiteral("stall"), 1));

        vbModalScript script;
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(m_window->uploadQueue()->logRecords().size(), qsizetype(3), 60000);
        QCOMPARE(m_window->fileList()->nodes().size(), 4);
        vbFileNode* stalled = nullptr;
        for (vbFileNode* node : m_window->fileList()->nodes()) {
            if (node->uploadState() == vbFileNode::Transferring)
                stalled = node;
        }
        QVERIFY(stalled);
        const QString stalledPath = stalled->sourcePath();
        QTRY_COMPARE(m_window->statusText(), QStringLiteral("Uploading...Success3 photo,wait for1 photo."));
        QVERIFY(vbE2eProgram::saveShot(m_window.get(), QStringLiteral("uploading")));

        // Quitting asks first; Cancel keeps the program and the upload running.
        script.expectMessage(false);
        vbE2eProgram::quitAction(m_window.get())->trigger();
        QCOMPARE(script.seen(), QStringList{QStringLiteral(
                                    "vbMessageBox: It's uploading image.Do you want cancel uploading?")});
        QVERIFY(m_window->session()->isUploading());
        QVERIFY(m_window->isVisible());

        // The Upload button asks the same; OK cancels.
        script.expectMessage(true);
        vbE2eProgram::clickUpload(m_window.get());
        QCOMPARE(script.pending(), 0);
        QVERIFY(!m_window->session()->isUploading());
        QVERIFY(!m_window->uploadQueue()->uploadTimer()->isActive());
        QCOMPARE(m_window->statusText(), QStringLiteral("StandBy"));
        QCOMPARE(m_window->fileList()->count(), 1);
        QCOMPARE(m_window->fileList()->node(0)->sourcePath(), stalledPath);
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), int(vbFileNode::Stopped));
        QVERIFY(!m_window->fileList()->node(0)->worker());

        // No result dialog and no further record follow.
        const QStringList seenBefore = script.seen();
        QTest::qWait(20 * m_window->uploadQueue()->uploadTimer()->interval());
        QCOMPARE(script.seen(), seenBefore);
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(m_window->uploadQueue()->logRecords().size(), qsizetype(3));
        for (const UploadLogRecord& record : m_window->uploadQueue()->logRecords()) {
            QVERIFY(record.succeeded);
            QVERIFY(record.filePath != stalledPath);
        }
        QCOMPARE(m_program.photosOfAlbum(m_albumId).size(), 3);
    }

    void quitWhileUploading()
    {
        QVERIFY(openWithPhotos(QStringLiteral("Quit while uploading"), 1, false));
        QVERIFY(inject(QStringLiteral("upload"), QStringLiteral("stall"), 1));
        QFile::remove(vbUploadQueue::pendingPath());

        vbModalScript script;
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(m_window->fileList()->node(0)->uploadState(), int(vbFileNode::Transferring),
                                  30000);
        // OK cancels; the photo that did not go is kept for the next start.
        script.expectMessage(true);
        script.expectMessage(true);
        vbE2eProgram::quitAction(m_window.get())->trigger();
        QCOMPARE(
            script.seen(),
            (QStringList{QStringLiteral("vbMessageBox: It's uploading image.Do you want cancel uploading?"),
                         QStringLiteral("vbMessageBox: Do you want upload photos next time?")}));
        QVERIFY(!m_window->session()->isUploading());
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), int(vbFileNode::Stopped));

        QFile pending(vbUploadQueue::pendingPath());
        QVERIFY(pending.open(QIODevice::ReadOnly));
        QCOMPARE(pending.readAll(), (m_paths.first() + QStringLiteral("\r\n")).toLocal8Bit());
        // Nothing finished, so the log is written empty.
        QFile log(vbUploadQueue::logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.size(), qint64(0));
    }

private:
    bool inject(const QString& endpoint, const QString& kind, int count = -1)
    {
        return m_program.service().injectFault(vbE2eProgram::fault(endpoint, kind, count));
    }

    // A signed-in window with a new album (holding one photo, so its FTP folder
    // exists) and count new photos in its list. HTTP mode: the FTP login is refused.
    bool openWithPhotos(const QString& album, int count, bool ftp)
    {
        m_albumId = m_program.createAlbum(album, 1, true);
        if (m_albumId <= 0)
            return false;
        if (!ftp && !inject(QStringLiteral("ftp_login"), QStringLiteral("refuse")))
            return false;
        m_paths.clear();
        for (int i = 0; i < count; ++i)
            m_paths.append(
                m_program.makePhoto(album + QStringLiteral(" %1").arg(i), {160 + 8 * i, 120}, 0, i));
        m_window = m_program.openWindow(album);
        if (!m_window)
            return false;
        m_window->fileList()->addPaths(m_paths);
        if (!vbE2eProgram::waitForThumbnails(m_window.get()))
            return false;
        // The FTP test of the first upload; in HTTP mode the refusal is used up later.
        return m_window->fileList()->count() == count;
    }

    void runExpectingSuccess(int count)
    {
        vbModalScript script;
        script.expectComplete();
        QSignalSpy finished(m_window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{count, 0}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(m_window->fileList()->count(), 0);
        QCOMPARE(m_window->uploadQueue()->logRecords().size(), qsizetype(count));
    }

    void runExpectingFailure(int succeeded, int failed)
    {
        vbModalScript script;
        script.expectFailed();
        QSignalSpy finished(m_window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{succeeded, failed}));
        QVERIFY(script.unexpected().isEmpty());
    }

    void checkHttpPhotosStored()
    {
        QVERIFY(!m_window->session()->ftpMode());
        const QJsonArray photos = m_program.photosOfAlbum(m_albumId);
        QCOMPARE(photos.size(), m_paths.size());
        for (const QJsonValue& p : photos) {
            const QJsonObject photo = p.toObject();
            const QString path = photo.value(QLatin1String("name")).toString() + QStringLiteral(".jpg");
            QVERIFY2(m_paths.contains(path), qPrintable(path));
            QCOMPARE(photo.value(QLatin1String("sha256")).toString().toLatin1(),
                     vbE2eProgram::sha256Of(path));
        }
    }

    vbE2eProgram m_program;
    std::unique_ptr<vbMainWnd> m_window;
    QStringList m_paths;
    int m_albumId = 0;
};

QTEST_MAIN(tst_E2eFaults)
#include "tst_e2e_faults.moc"
