// The window uploading to the service in FTP and HTTP mode, and its list surviving a kill.
#include "e2eSupport.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbMainWnd.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbToolPanel.h"
#include "vbUploadLog.h"
#include "vbUploadQueue.h"

#include <QComboBox>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

class tst_E2eUpload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_program.setUp(), qPrintable(m_program.error())); }

    void init() { QVERIFY(m_program.reset()); }

    // Into an empty album (FTP makes its folder): a small photo goes itself, one above 1 MiB as a
    // re-compressed copy that is removed afterwards; FTP adds two smaller sizes and a commit each.
    void photosStored_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::newRow("ftp") << true;
        QTest::newRow("http, ftp login refused") << false;
    }

    void photosStored()
    {
        QFETCH(bool, ftp);
        const QString album = ftp ? QStringLiteral("E2E ftp") : QStringLiteral("E2E http");
        const int albumId = m_program.createAlbum(album, 0);
        QVERIFY(albumId > 0);
        QVERIFY(ftp || m_program.inject("ftp_login", "refuse"));
        const QStringList paths{m_program.makePhoto(QString::fromUtf8("my trip & 旅行"), {640, 480}, 0, 7),
                                m_program.makePhoto("large", {1200, 900}, 1100000)};
        QVERIFY(!paths.contains(QString()));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), paths));
        QSet<QByteArray> sent;
        for (vbFileNode* node : window->fileList()->nodes()) {
            connect(node, &vbFileNode::sig_preUploadComplete, this, [&, n = node](vbUploadItem*) {
                sent.insert(vbTestPhotos::sha256Of(n->absoluteFilePath()));
            });
        }
        vbModalScript script;
        script.expectComplete();
        QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{2, 0}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(window->session()->ftpMode(), ftp);
        QCOMPARE(window->fileList()->count(), 0);
        QCOMPARE(window->session()->currentAlbumPhotoCount(), 2);
        QStringList logged;
        for (const UploadLogRecord& record : window->uploadQueue()->logRecords()) {
            QVERIFY(record.succeeded && record.albumName == album);
            logged.append(record.filePath);
        }
        QCOMPARE(logged, paths);

        QVERIFY(sent.contains(vbTestPhotos::sha256Of(paths.first())));
        QVERIFY(!sent.contains(vbTestPhotos::sha256Of(paths.last()))); // the copy went
        QVERIFY(QDir(QStringLiteral("TempImages")).isEmpty());         // the program folder is current
        QCOMPARE(m_program.storedHashes(albumId), sent);
        QCOMPARE(m_program.photosOfAlbum(albumId).size(), ftp ? 6 : 2);
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), ftp ? 2 : 0);
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("MKD")), ftp ? 1 : 0);
    }

    // The second mirror accepting the account late does not change the album.
    void lateSecondSignInKeepsChosenAlbum()
    {
        QVERIFY(m_program.inject("signin", "delay", 1,
                                 {{"mirror", "dianxin"},
                                  {"ms", 2000},
                                  {"params", QJsonObject{{"username", velbrook::kDemoEmail}}}}));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow("Trip");
        QVERIFY2(window, qPrintable(m_program.error()));
        QComboBox* box = window->toolPanel()->comboBox;
        QSignalSpy refilled(box->model(), &QAbstractItemModel::rowsInserted);
        QTRY_VERIFY_WITH_TIMEOUT(m_program.requestCount("albumlist") == 2 && !refilled.isEmpty(), 20000);
        QCOMPARE(box->currentText(), QStringLiteral("Trip"));
        QCOMPARE(window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
    }

    // The list is copied to disk as it changes; a killed run's list comes back.
    void listRecoveredAfterKill()
    {
        const QString kept = m_program.makePhoto("next time", {96, 64});
        const QString added = m_program.makePhoto("added", {96, 64});
        const QString removed = m_program.makePhoto("removed", {96, 64});
        QVERIFY(vbUploadLog::savePending(vbUploadQueue::pendingPath(), {kept}));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(listedPaths(window.get()), QStringList{kept});
        window->fileList()->addPaths({added, removed});
        QTRY_COMPARE(vbUploadLog::readPaths(vbUploadQueue::recoveryPath()),
                     (QStringList{kept, added, removed}));
        window->fileList()->removeNodes({window->fileList()->node(2)});
        QTRY_COMPARE(vbUploadLog::readPaths(vbUploadQueue::recoveryPath()), (QStringList{kept, added}));

        window.reset(); // killed
        window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(listedPaths(window.get()), (QStringList{kept, added}));
        QVERIFY2(window->statusText().contains(QStringLiteral("2 photos restored after an abnormal end.")),
                 qPrintable(window->statusText()));

        // A Quit answered "not next time" leaves nothing to restore.
        vbModalScript script;
        script.expectMessage(false);
        vbE2eProgram::quitAction(window.get())->trigger();
        QCOMPARE(script.pending(), 0);
        QVERIFY(!QFile::exists(vbUploadQueue::recoveryPath()) &&
                !QFile::exists(vbUploadQueue::pendingPath()));
    }

private:
    static QStringList listedPaths(vbMainWnd* window)
    {
        QStringList paths;
        for (const vbFileNode* node : window->fileList()->nodes())
            paths.append(node->sourcePath());
        return paths;
    }

    vbE2eProgram m_program;
};

QTEST_MAIN(tst_E2eUpload)
#include "tst_e2e_upload.moc"
