// Service faults during sign-in and uploads: each ends in the documented state, nothing lost.
#include "e2eSupport.h"
#include "vbBaseUpload.h"
#include "vbEndpoints.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbSession.h"
#include "vbToolPanel.h"
#include "vbUploadLog.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QComboBox>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using Faults = QList<QJsonObject>;

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
        m_program.service().clearFaults();
    }

    // A failed automatic sign-in or album list is told (how each fault is judged is the sign-in's
    // business); OK on the message tries again, which works once the service is well.
    void signInFaults_data()
    {
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<int>("outcome");
        QTest::newRow("stall") << Faults{vbTestService::fault("signin", "stall")}
                               << int(vbServiceCall::Unreachable);
        QTest::newRow("albums refused")
            << Faults{vbTestService::fault("albumlist", "refuse")} << int(vbServiceCall::Unreadable);
    }

    void signInFaults()
    {
        QFETCH(Faults, faults);
        QFETCH(int, outcome);
        for (const QJsonObject& f : faults)
            QVERIFY(m_program.service().injectFault(f));

        const auto failure = vbServiceCall::Outcome(outcome);
        QString statusAtMessage;
        vbModalScript script;
        script.expect("vbMessageBox", [&](QWidget* box) {
            statusAtMessage = m_window->statusText();
            m_program.service().clearFaults();
            QTest::mouseClick(static_cast<vbMessageBox*>(box)->btnOK, Qt::LeftButton);
        });
        m_window = std::make_unique<vbMainWnd>(nullptr, 1500);
        m_window->show();

        QTRY_COMPARE_WITH_TIMEOUT(script.pending(), 0, 20000);
        QCOMPARE(script.seen(),
                 QStringList{QStringLiteral("vbMessageBox: ") + vbServiceCall::failureText(failure) +
                             QStringLiteral("\nTry again now?")});
        QCOMPARE(statusAtMessage, vbServiceCall::failureStatus(failure));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusText(), QStringLiteral("logged in"), 20000);
        QVERIFY(m_window->session()->albums().size() >= 3);
        QCOMPARE(m_window->toolPanel()->comboBox->count(), m_window->session()->albums().size());
        QVERIFY(script.unexpected().isEmpty());
    }

    // Six failed attempts: the photo fails and what was sent for it is removed;
    // re-uploading from the failure dialog once the service is well sends it.
    // (How each transfer fault counts is the photo protocol's own suite's.)
    void photoFailingSixTimes_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<QString>("counted"); // endpoint of the six attempts
        QTest::addColumn<bool>("again");
        const auto f = [](const char* endpoint, const char* kind, const QJsonObject& extra = {}) {
            return vbTestService::fault(QLatin1String(endpoint), QLatin1String(kind), extra);
        };
        QTest::newRow("commit answering another id")
            << f("commit", "value", {{"value", QLatin1String("123")}}) << "commit" << false;
        QTest::newRow("photo ids refused, then re-upload") << f("photoid", "refuse") << "photoid" << true;
    }

    void photoFailingSixTimes()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(QString, counted);
        QFETCH(bool, again);
        QVERIFY(openWithPhotos(QString::fromLatin1(QTest::currentDataTag()).left(12), 1, true));
        QVERIFY(m_program.service().injectFault(fault));
        vbModalScript script;
        if (again) {
            script.expectFailed([this] { m_program.service().clearFaults(); });
            script.expectComplete();
        } else {
            script.expectFailed();
        }
        QSignalSpy finished(m_window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), again ? 2 : 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{0, 1}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(m_program.requestCount(qPrintable(counted), true), 6);
        const UploadLogRecords& log = m_window->uploadQueue()->logRecords();
        QCOMPARE(log.size(), qsizetype(again ? 2 : 1));
        QVERIFY(!log.first().succeeded && !log.first().reason.isEmpty());
        if (again) {
            QVERIFY(log.last().succeeded);
            QCOMPARE(m_window->fileList()->count(), 0);
            QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), 1);
            return;
        }
        QCOMPARE(m_window->fileList()->count(), 1);
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), vbUploadState::Failed);
        QTRY_COMPARE_WITH_TIMEOUT(m_program.photosOfAlbum(m_albumId).size(), 0, 20000);
        QCOMPARE(m_program.albumCount(m_albumId), 1);
    }

    // A broken or silent server costs a photo one attempt: each photo is
    // stored once, whole, and counted. (Each way a server breaks is in the
    // FTP and HTTP worker suites; here one of each mode.)
    void brokenServersCostOneAttempt_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::addColumn<Faults>("injected");
        QTest::addColumn<int>("photoCount");
        QTest::addColumn<int>("transfers");  // STOR commands, or upload requests
        QTest::addColumn<int>("deadlineMs"); // of every network step
        const auto f = [](const char* endpoint, const char* kind, int count, QJsonObject extra = {}) {
            if (count > 0)
                extra.insert(QStringLiteral("count"), count);
            return vbTestService::fault(QLatin1String(endpoint), QLatin1String(kind), extra);
        };
        // Longer than a stop waits: the failed run still says goodbye when the photo starts again.
        QTest::newRow("FTP data never read, QUIT unanswered")
            << true << Faults{f("ftp_stor", "stall", 1), f("ftp_quit", "stall", 2)} << 1 << 4 << 3500;
        // A goodbye never answered costs nothing: the photos were stored.
        QTest::newRow("FTP QUIT never answered")
            << true << Faults{f("ftp_quit", "stall", -1)} << 2 << 6 << 1500;
        QTest::newRow("HTTP answer never comes")
            << false << Faults{f("upload", "stall", 1)} << 1 << 2 << 1500;
        QTest::newRow("HTTP answer split") << false << Faults{f("upload", "split", -1)} << 2 << 2 << 1500;
    }

    void brokenServersCostOneAttempt()
    {
        QFETCH(bool, ftp);
        QFETCH(Faults, injected);
        QFETCH(int, photoCount);
        QFETCH(int, transfers);
        QFETCH(int, deadlineMs);
        QVERIFY(openWithPhotos(QString::fromLatin1(QTest::currentDataTag()).left(20), photoCount, ftp));
        m_window->session()->setTransferDeadlineMs(deadlineMs);
        for (const QJsonObject& f : injected)
            QVERIFY(m_program.service().injectFault(f));
        vbModalScript script;
        script.expectComplete();
        QCOMPARE(vbE2eProgram::upload(m_window.get()), (QVariantList{photoCount, 0}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(m_window->fileList()->count(), 0);
        QCOMPARE(m_window->uploadQueue()->logRecords().size(), qsizetype(photoCount));
        QCOMPARE(ftp ? m_program.ftpCommandCount(QStringLiteral("STOR")) : m_program.requestCount("upload"),
                 transfers);
        QCOMPARE(m_window->session()->ftpMode(), ftp);
        QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), ftp ? photoCount : 0);
        // The photos arrived whole (a retry replaced what a broken attempt left).
        QSet<QByteArray> sent, stored;
        for (const QString& path : std::as_const(m_paths))
            sent.insert(vbE2eProgram::sha256Of(path));
        const QJsonArray photos = m_program.photosOfAlbum(m_albumId);
        QCOMPARE(photos.size(), (ftp ? 3 : 1) * photoCount); // FTP adds two smaller sizes
        for (const QJsonValue& p : photos) {
            if (!p["name"].toString().section('/', -1).contains('_'))
                stored.insert(p["sha256"].toString().toLatin1());
        }
        QCOMPARE(stored, sent);
    }

    // Quitting a running upload (four photos, one stalls): Cancel keeps it
    // going; OK stops it and keeps the stalled photo for the next start.
    void quitMidUpload()
    {
        QVERIFY(openWithPhotos("Cancelled", 4, false));
        QVERIFY(m_program.inject("upload", "stall", 1));
        QFile::remove(vbUploadQueue::pendingPath());
        vbModalScript script;
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(m_window->uploadQueue()->logRecords().size(), qsizetype(3), 60000);
        QString stalled;
        for (vbFileNode* node : m_window->fileList()->nodes()) {
            if (node->uploadState() == vbUploadState::Transferring)
                stalled = node->sourcePath();
        }
        QVERIFY(!stalled.isEmpty());
        QTRY_COMPARE(m_window->statusText(), QStringLiteral("Uploading...Success3 photo,wait for1 photo."));
        const QString asked =
            QStringLiteral("vbMessageBox: It's uploading image.Do you want cancel uploading?");
        script.expectMessage(false);
        vbE2eProgram::quitAction(m_window.get())->trigger();
        QCOMPARE(script.seen(), QStringList{asked});
        QVERIFY(m_window->session()->isUploading() && m_window->isVisible());

        script.expectMessage(true);
        script.expectMessage(true);
        vbE2eProgram::quitAction(m_window.get())->trigger();
        QCOMPARE(script.seen(),
                 (QStringList{asked, asked,
                              QStringLiteral("vbMessageBox: Do you want upload photos next time?")}));
        QVERIFY(!m_window->session()->isUploading() && !m_window->isVisible());
        QVERIFY(!m_window->uploadQueue()->uploadTimer()->isActive());
        QCOMPARE(m_window->fileList()->count(), 1);
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), vbUploadState::Stopped);
        QVERIFY(!m_window->fileList()->node(0)->worker());
        QFile pending(vbUploadQueue::pendingPath());
        QVERIFY(pending.open(QIODevice::ReadOnly));
        QCOMPARE(pending.readAll(), (stalled + QStringLiteral("\r\n")).toLocal8Bit());

        // No result dialog and no further record follow.
        QTest::qWait(20 * m_window->uploadQueue()->uploadTimer()->interval());
        QCOMPARE(script.seen().size(), 3);
        QVERIFY(script.unexpected().isEmpty());
        const UploadLogRecords onDisk = vbUploadLog::load(vbUploadQueue::logPath());
        QCOMPARE(onDisk.size(), qsizetype(3));
        for (const UploadLogRecord& record : onDisk)
            QVERIFY(record.succeeded && record.filePath != stalled);
        QCOMPARE(m_program.photosOfAlbum(m_albumId).size(), 3);
    }

private:
    // A signed-in window with a new album (holding one photo, so its FTP folder
    // exists) and count new photos listed. HTTP mode: the FTP login is refused.
    bool openWithPhotos(const QString& album, int count, bool ftp)
    {
        m_albumId = m_program.createAlbum(album, 1, true);
        if (m_albumId <= 0 || (!ftp && !m_program.inject("ftp_login", "refuse")))
            return false;
        m_paths.clear();
        for (int i = 0; i < count; ++i)
            m_paths.append(
                m_program.makePhoto(album + QStringLiteral(" %1").arg(i), {160 + 8 * i, 120}, 0, i));
        m_window = m_program.openWindow(album);
        return m_window && vbE2eProgram::addPhotos(m_window.get(), m_paths) &&
               m_window->fileList()->count() == count;
    }

    vbE2eProgram m_program;
    std::unique_ptr<vbMainWnd> m_window;
    QStringList m_paths;
    int m_albumId = 0;
};

QTEST_MAIN(tst_E2eFaults)
#include "tst_e2e_faults.moc"
