// One fault of each layer the window wires together (sign-in, photo protocol, transfer, saved
// files) and quitting mid-upload: each ends in the documented state, nothing lost. Each kind of
// fault on its own: tst_vbSignIn, tst_uploadprotocol, tst_ftpupload, tst_httpupload, tst_net,
// tst_uploadqueue.
#include "e2eSupport.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbToolPanel.h"
#include "vbUploadLog.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

class tst_E2eFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_program.setUp(), qPrintable(m_program.error())); }

    void init() { QVERIFY(m_program.reset()); }

    void cleanup()
    {
        m_window.reset();
        m_program.service().clearFaults();
    }

    // A stalled automatic sign-in ends at the window's deadline and is told; OK tries again.
    void signInStalls()
    {
        QVERIFY(m_program.inject("signin", "stall"));
        QString statusAtMessage;
        vbModalScript script;
        script.expect("vbMessageBox", [&](QWidget* box) {
            statusAtMessage = m_window->statusText();
            m_program.service().clearFaults();
            QTest::mouseClick(static_cast<vbMessageBox*>(box)->btnOK, Qt::LeftButton);
        });
        m_window = std::make_unique<vbMainWnd>(nullptr, 1500);
        m_window->show();

        QTRY_COMPARE_WITH_TIMEOUT(script.pending(), 0, 10000); // the built-in deadline is 20 s
        const auto failure = vbServiceCall::Unreachable;
        QCOMPARE(script.seen(),
                 QStringList{QStringLiteral("vbMessageBox: ") + vbServiceCall::failureText(failure) +
                             QStringLiteral("\nTry again now?")});
        QCOMPARE(statusAtMessage, vbServiceCall::failureStatus(failure));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusText(), QStringLiteral("logged in"), 20000);
        QCOMPARE(m_window->toolPanel()->comboBox->count(), m_window->session()->albums().size());
        QVERIFY(script.unexpected().isEmpty());
    }

    // Photo ids refused six times: the photo fails with why; re-uploading from the failure
    // dialog once the service is well sends it.
    void photoFailsThenGoesAgain()
    {
        QVERIFY(openWithPhotos("Refused ids", 1, true));
        QVERIFY(m_program.inject("photoid", "refuse"));
        vbModalScript script;
        script.expectFailed([this] { m_program.service().clearFaults(); });
        script.expectComplete();
        QSignalSpy finished(m_window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 60000);
        QCOMPARE(finished.first(), (QVariantList{0, 1}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(m_program.requestCount("photoid", true), 6);
        const UploadLogRecords& log = m_window->uploadQueue()->logRecords();
        QCOMPARE(log.size(), qsizetype(2));
        QVERIFY(!log.first().succeeded && !log.first().reason.isEmpty() && log.last().succeeded);
        QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), 1);
    }

    // An FTP data connection never read and the goodbye unanswered: the session's deadline
    // reaches the worker, the photo costs one attempt and arrives whole.
    void stalledTransferCostsOneAttempt()
    {
        QVERIFY(openWithPhotos("Stalled FTP", 1, true));
        m_window->session()->setTransferDeadlineMs(3500);
        QVERIFY(m_program.inject("ftp_stor", "stall", 1));
        QVERIFY(m_program.inject("ftp_quit", "stall", 2));
        vbModalScript script;
        script.expectComplete();
        // Well before the built-in 60 s deadline of a step.
        QCOMPARE(vbE2eProgram::upload(m_window.get(), 30000), (QVariantList{1, 0}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("STOR")), 4); // three sizes, one again
        QCOMPARE(m_program.commitsOfAlbum(m_albumId).size(), 1);
        QCOMPARE(m_program.storedHashes(m_albumId),
                 QSet<QByteArray>{vbTestPhotos::sha256Of(m_paths.first())});
    }

    // Folders where the log and pending list belong: every save fails (for root too) and is
    // told; the recovery copy stays so the photo comes back.
    void failedSavesAreTold()
    {
        QVERIFY(QDir().mkpath(vbUploadQueue::logPath()));
        QVERIFY(QDir().mkpath(vbUploadQueue::pendingPath()));
        QVERIFY(openWithPhotos("Unsaved", 1, true));
        const QString left = m_program.makePhoto("left", {96, 64});
        const QString logTold = QStringLiteral("vbMessageBox: Could not save ") +
                                QDir::toNativeSeparators(vbUploadQueue::logPath()) + QLatin1Char(':');
        {
            vbModalScript script; // the upload ends; the box beside it names the file
            script.expectComplete();
            QCOMPARE(vbE2eProgram::upload(m_window.get()), (QVariantList{1, 0}));
            QTRY_COMPARE(script.unexpected().size(), 1);
            QVERIFY2(script.unexpected().first().startsWith(logTold),
                     qPrintable(script.unexpected().first()));
        }
        m_window->fileList()->addPaths({left});
        vbModalScript script;
        for (int i = 0; i < 3; ++i)
            script.expectMessage(true);
        vbE2eProgram::quitAction(m_window.get())->trigger();
        QCOMPARE(script.pending(), 0);
        QCOMPARE(script.seen().size(), 3);
        QVERIFY(script.seen().at(1).startsWith(QStringLiteral("vbMessageBox: Could not save ") +
                                               QDir::toNativeSeparators(vbUploadQueue::pendingPath())));
        QVERIFY(script.seen().at(2).startsWith(logTold));
        m_window = m_program.openWindow(QString());
        QVERIFY2(m_window, qPrintable(m_program.error()));
        QCOMPARE(m_window->fileList()->count(), 1);
        QCOMPARE(m_window->fileList()->node(0)->sourcePath(), left);
    }

    // Quitting a running upload (four photos, one stalls) stops it and keeps the stalled photo
    // for the next start.
    void quitMidUpload()
    {
        QVERIFY(openWithPhotos("Cancelled", 4, false));
        QVERIFY(m_program.inject("upload", "stall", 1));
        vbModalScript script;
        vbE2eProgram::clickUpload(m_window.get());
        QTRY_COMPARE_WITH_TIMEOUT(m_window->uploadQueue()->logRecords().size(), qsizetype(3), 60000);
        QString stalled;
        for (vbFileNode* node : m_window->fileList()->nodes()) {
            if (node->uploadState() == vbUploadState::Transferring)
                stalled = node->sourcePath();
        }
        QVERIFY(!stalled.isEmpty());
        QSignalSpy finished(m_window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        script.expectMessage(true);
        script.expectMessage(true);
        vbE2eProgram::quitAction(m_window.get())->trigger();
        QCOMPARE(
            script.seen(),
            (QStringList{QStringLiteral("vbMessageBox: It's uploading image.Do you want cancel uploading?"),
                         QStringLiteral("vbMessageBox: Do you want upload photos next time?")}));
        QVERIFY(!m_window->session()->isUploading() && !m_window->isVisible());
        QCOMPARE(m_window->fileList()->count(), 1);
        QCOMPARE(m_window->fileList()->node(0)->uploadState(), vbUploadState::Stopped);
        QCOMPARE(vbUploadLog::readPaths(vbUploadQueue::pendingPath()), QStringList{stalled});

        // Nothing is left that could end the run later: no tick, no worker. Releasing the
        // stalled request and letting every queued event run adds no result and no record.
        QVERIFY(!m_window->uploadQueue()->uploadTimer()->isActive());
        QVERIFY(!m_window->fileList()->node(0)->worker());
        QVERIFY(m_program.service().clearFaults());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 0);
        QCOMPARE(script.seen().size(), 2);
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
        m_albumId = m_program.createAlbum(album, 1);
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
