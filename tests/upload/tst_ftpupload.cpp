// FTP uploads against the stand-in service: what the worker stores, failures, stopping, removal; and
// the photo node's steps around it.
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbFileNode.h"
#include "vbFtpSession.h"
#include "vbFtpUpload.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbTestService.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

namespace {
const QString kUser = QLatin1String(velbrook::kDemoEmail);
const QString kPassword = QLatin1String(velbrook::kDemoPassword);
const QString kAlbum = QString::number(velbrook::kFamilyAlbumId);

const QJsonObject kOnce{{"count", 1}}; // a fault that hits the next matching command only
} // namespace

class tst_ftpupload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(QDir().mkpath(QStringLiteral("TempImages")) && QDir().mkpath(QStringLiteral("photos")));
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
        m_host = m_service->wangtong();
        m_port = m_service->ftpPort();
        createFtpFolder(m_host, m_port, kUser, kPassword, kAlbum); // unless the service already has it
        m_session = std::make_unique<vbSession>(m_service->endpoints());
        m_session->signIn(velbrook::kDemoUserId, kUser, kPassword, m_host, QStringLiteral("Http"));
        m_session->setAlbums(
            {AlbumRecord{QStringLiteral("Family"), velbrook::kFamilyAlbumId, velbrook::kFamilyPhotoCount}});
        m_session->setCurrentAlbum(0);
        m_loader = std::make_unique<_loadThread>();
        m_preparer = std::make_unique<_saveImageThread>();
    }

    void init()
    {
        // Background removals would take this test's faults.
        QVERIFY(QThreadPool::globalInstance()->waitForDone(30000));
        QVERIFY(m_service->clearFaults(true));
        m_session->setFtpMode(true);
    }

    void loginAndFolder()
    {
        QVERIFY(testFtpLogin(m_host, m_port, kUser, kPassword));
        // A refused login costs a 3-second penalty: once only.
        QVERIFY(!testFtpLogin(m_host, m_port, kUser, QStringLiteral("wrong")));
        QVERIFY(createFtpFolder(m_host, m_port, kUser, kPassword, QStringLiteral("77")));
        QVERIFY(!createFtpFolder(m_host, m_port, kUser, kPassword, QStringLiteral("77"))); // exists already
        QVERIFY(!openFtpSession(m_host, m_port, kUser, kPassword, QStringLiteral("no-such-folder")));
    }

    void storesThreeFiles_data()
    {
        QTest::addColumn<QJsonObject>("injected"); // fails the first run
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("kept"); // files on the server after the first run
        QTest::newRow("at the first go") << QJsonObject() << "4711" << 3;
        QTest::newRow("login refused") << vbTestService::fault("ftp_login", "refuse", kOnce) << "4721" << 0;
        // Later files are not sent after a failure.
        QTest::newRow("first STOR fails midway")
            << vbTestService::fault("ftp_stor", "fail_after", {{"count", 1}, {"bytes", 2000}}) << "4722" << 1;
    }

    // Deadlines of every step are tst_net's; here: what is stored, and that a failed run costs one attempt.
    void storesThreeFiles()
    {
        QFETCH(QJsonObject, injected);
        QFETCH(QString, id);
        const bool fails = !injected.isEmpty();
        if (fails)
            QVERIFY(m_service->injectFault(injected));

        const vbUploadFiles files = makeFiles(3000, 5000, 300001);
        vbFtpUpload worker(m_host, m_port, kUser, kPassword, kAlbum);
        QSignalSpy progress(&worker, &vbBaseUpload::sig_dataTransfer);
        QSignalSpy done(&worker, &vbBaseUpload::sig_done);
        QVERIFY(worker.startUpload(files, id));
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
        QCOMPARE(done.takeFirst().first().toBool(), !fails);
        QTRY_VERIFY(worker.isFinished());
        QCOMPARE(worker.lastError().isEmpty(), !fails);
        QTEST(int(storedFiles(id).size()), "kept");
        if (fails) {
            // Started again, as the upload tick does: the photo goes through.
            QVERIFY(m_service->clearFaults(true));
            progress.clear();
            QVERIFY(worker.startUpload(files, id));
            QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
            QCOMPARE(done.takeFirst().first().toBool(), true);
        }

        const QMap<QString, QByteArray> stored = storedFiles(id);
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored.value(kAlbum + "/" + id + "_2.jpg"), vbTestPhotos::sha256Of(files.smallFile));
        QCOMPARE(stored.value(kAlbum + "/" + id + "_1.jpg"), vbTestPhotos::sha256Of(files.mediumFile));
        QCOMPARE(stored.value(kAlbum + "/" + id + ".jpg"), vbTestPhotos::sha256Of(files.photoFile));
        QCOMPARE(storOrder(id), QStringList({id + "_2.jpg", id + "_1.jpg", id + ".jpg"}));
        // Progress grows by at most one send block over the sum of the sizes.
        const qint64 total = 3000 + 5000 + 300001;
        qint64 previous = 0;
        for (const QList<QVariant>& p : progress) {
            QCOMPARE(p.at(1).toLongLong(), total);
            QVERIFY(p.at(0).toLongLong() > previous &&
                    p.at(0).toLongLong() - previous <= vbFtpUpload::kSendBlock);
            previous = p.at(0).toLongLong();
        }
        QCOMPARE(previous, total);
    }

    // Stopped while it waits for the word on a sent file: at once, with no report, and what reached the
    // server is removed in the background. (A stop during QUIT is tst_net's; the photo was reported before.)
    void stopRemovesWhatWasSent()
    {
        QVERIFY(m_service->injectFault(vbTestService::fault("ftp_stor", "stall", kOnce)));
        auto worker =
            std::make_unique<vbFtpUpload>(m_host, m_port, kUser, kPassword, kAlbum, vbNetDeadlines{30000});
        QSignalSpy done(worker.get(), &vbBaseUpload::sig_done);
        QVERIFY(worker->startUpload(makeFiles(500, 500, 1000), QStringLiteral("4903")));
        QTRY_COMPARE_WITH_TIMEOUT(stateList("ftp_log").last().toObject().value("cmd").toString(),
                                  QStringLiteral("STOR"), 10000);
        QCOMPARE(storedFiles(QStringLiteral("4903")).size(), 1);

        QElapsedTimer clock;
        clock.start();
        worker->stopUpload();
        worker.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(done.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(storedFiles(QStringLiteral("4903")).size(), 0, 10000);
    }

    void removeRemoteTriesEveryName()
    {
        // Only "_2" reached the server: the missing "_1" name must not keep it there.
        {
            std::unique_ptr<vbFtpSession> session = openFtpSession(m_host, m_port, kUser, kPassword, kAlbum);
            QVERIFY(session);
            session->beginUpload("4714_2.jpg");
            session->sendData("small picture", 13);
            session->finishTransfer();
        }
        QCOMPARE(storedFiles(QStringLiteral("4714")).size(), 1);
        vbFtpUpload worker(m_host, m_port, kUser, kPassword, kAlbum);
        QVERIFY(!worker.removeRemote(QStringLiteral("4714"))); // two names were missing
        QCOMPARE(storedFiles(QStringLiteral("4714")).size(), 0);
    }

    // What the service stores is checked end to end (tst_e2e_upload); here: a held
    // id is not asked for again, and a name full of URL characters arrives intact.
    void ftpPhotoKeepsItsIdAndName()
    {
        const QString name = QString::fromUtf8("my trip & 旅行 #1+1=2%");
        std::unique_ptr<vbFileNode> node = preparedNode(name + QStringLiteral(".jpg"), true);
        QVERIFY(node);
        const QString id = node->photoIdString();
        const int requests = stateList("requests").size();
        node->setUploadState(vbUploadState::Prepared);
        node->requestKey();
        QCOMPARE(node->photoIdString(), id);
        QCOMPARE(stateList("requests").size(), requests);

        transfer(*node);
        QCOMPARE(settle(*node), vbUploadState::Transferred);
        node->commit();
        QCOMPARE(settle(*node), vbUploadState::Uploaded);
        const QJsonObject commit = stateList("commits").last().toObject();
        QCOMPARE(
            commit.value(QLatin1String("params")).toObject().value(QLatin1String("photoname")).toString(),
            name);
    }

    void failedIdRequestCountsOnce_data()
    {
        QTest::addColumn<QJsonObject>("injected"); // a network error counts once, not again for finished()
        QTest::newRow("server error") << vbTestService::fault("photoid", "status", {{"status", 500}});
        QTest::newRow("connection dropped") << vbTestService::fault("photoid", "drop");
    }

    void failedIdRequestCountsOnce()
    {
        QFETCH(QJsonObject, injected);
        std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("id.jpg"), false);
        QVERIFY(node);
        QVERIFY(m_service->injectFault(injected));
        // The manager hears finished() before the node would: once it has, a second count is in.
        QSignalSpy answered(m_session->network(), &QNetworkAccessManager::finished);
        node->requestKey();
        QCOMPARE(settle(*node), vbUploadState::KeyFailed);
        QVERIFY(!answered.isEmpty() || answered.wait(10000));
        QCOMPARE(node->keyFailures(), 1);
        QVERIFY(!node->failureReason().isEmpty());
        QVERIFY(m_service->clearFaults());
        node->requestKey();
        QCOMPARE(settle(*node), vbUploadState::KeyReady);
        QCOMPARE(node->keyFailures(), 0);
    }

    void sixthTransferFailureGivesUpAndRemovesFiles()
    {
        std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("six.jpg"), true);
        QVERIFY(node);
        const QString id = node->photoIdString();
        // Every run stores the small picture and a part of the medium one, then fails.
        QVERIFY(m_service->injectFault(vbTestService::fault("ftp_stor", "fail_after", {{"bytes", 1500}})));
        for (int attempt = 1; attempt < 6; ++attempt) {
            transfer(*node);
            QCOMPARE(settle(*node), vbUploadState::KeyReady);
            QCOMPARE(node->transferFailures(), attempt);
            QCOMPARE(node->photoIdString(), id); // the same id for every attempt
            QVERIFY(!storedFiles(id).isEmpty());
        }
        transfer(*node);
        QCOMPARE(settle(*node), vbUploadState::Failed);
        QVERIFY(!node->worker());
        QTRY_COMPARE_WITH_TIMEOUT(storedFiles(id).size(), 0, 10000);

        // A prepared file gone before the transfer fails the node at once.
        std::unique_ptr<vbFileNode> gone = preparedNode(QStringLiteral("gone.jpg"), true);
        QVERIFY(gone);
        QVERIFY(QFile::remove(gone->mediumFile().absoluteFilePath()));
        transfer(*gone);
        QCOMPARE(gone->uploadState(), vbUploadState::Failed);
        QCOMPARE(gone->failureReason(), vbImageLoader::problemText(vbImageLoader::Problem::Missing));
    }

    void cancelDropsLateAnswers()
    {
        std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("cancel.jpg"), false);
        QVERIFY(node);
        node->requestKey();
        node->cancelUpload();
        QCOMPARE(node->uploadState(), vbUploadState::Stopped);
        // A reply still held is only deleted once its answer has been handled.
        QTRY_VERIFY_WITH_TIMEOUT(m_session->network()->findChildren<QNetworkReply*>().isEmpty(), 10000);
        QCOMPARE(node->uploadState(), vbUploadState::Stopped);
        QCOMPARE(node->photoId(), qint64(0));
        QCOMPARE(node->keyFailures(), 0);
    }

private:
    vbUploadFiles makeFiles(int small, int medium, int photo)
    {
        const QString tag = QString::number(++m_files);
        // Bytes that differ from position to position, so a block sent twice or skipped shows.
        const auto write = [&](const QString& name, int size) {
            QByteArray data(size, Qt::Uninitialized);
            for (int i = 0; i < size; ++i)
                data[i] = char((i * 7 + size) % 251);
            const QString path = m_dir.filePath(tag + name);
            return vbTestPhotos::writeFile(path, data) ? path : QString();
        };
        return vbUploadFiles{write(".JPG", photo), write("_1.jpg", medium), write("_2.jpg", small), {}};
    }

    // path -> sha256 of the account's stored files whose name starts with photoId.
    QMap<QString, QByteArray> storedFiles(const QString& photoId)
    {
        QMap<QString, QByteArray> stored;
        for (const QJsonValue& v : stateList("ftp_files")) {
            const QJsonObject f = v.toObject();
            const QString path = f.value(QLatin1String("path")).toString();
            if (f.value(QLatin1String("area")).toString() == QStringLiteral("u1001") &&
                path.startsWith(kAlbum + QLatin1Char('/') + photoId))
                stored.insert(path, f.value(QLatin1String("sha256")).toString().toLatin1());
        }
        return stored;
    }

    QStringList storOrder(const QString& photoId)
    {
        QStringList order;
        for (const QJsonValue& v : stateList("ftp_log")) {
            const QString arg = v.toObject().value(QLatin1String("arg")).toString();
            if (v.toObject().value(QLatin1String("cmd")).toString() == QStringLiteral("STOR") &&
                arg.startsWith(photoId))
                order << arg;
        }
        return order;
    }

    QJsonArray stateList(const char* name) { return m_service->state().value(QLatin1String(name)).toArray(); }
    // A prepared node (thumbnail loaded, upload files written) for a new photo file; with its id if asked.
    std::unique_ptr<vbFileNode> preparedNode(const QString& fileName, bool withId)
    {
        const QString path = m_dir.filePath(QStringLiteral("photos/") + fileName);
        if (!vbTestPhotos::writeJpeg(path, {800, 600}, {}, 90))
            return nullptr;
        auto node = std::make_unique<vbFileNode>();
        node->setFileInfo(QFileInfo(path));
        node->setSession(m_session.get());
        node->setLoader(m_loader.get());
        if (!node->requestThumbnail() || !QTest::qWaitFor([&] { return !node->thumbnail().isNull(); }, 10000))
            return nullptr;
        QSignalSpy prepared(node.get(), &vbFileNode::sig_preUploadComplete);
        m_preparer->setNodes({node.get()}, true);
        if (!QTest::qWaitFor([&] { return !prepared.isEmpty(); }, 10000))
            return nullptr;
        node->setUploadState(vbUploadState::Prepared);
        if (withId) {
            node->requestKey();
            if (settle(*node) != vbUploadState::KeyReady)
                return nullptr;
        }
        return node;
    }

    // Waits while the node is busy; its state then.
    static vbUploadState settle(vbFileNode& node)
    {
        (void)QTest::qWaitFor(
            [&] {
                const vbUploadState s = node.uploadState();
                return s != vbUploadState::RequestingKey && s != vbUploadState::Transferring &&
                       s != vbUploadState::Committing;
            },
            20000);
        return node.uploadState();
    }

    void transfer(vbFileNode& node) { node.startTransfer(true, m_host, kUser, kPassword, kAlbum); }

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<vbSession> m_session;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<_saveImageThread> m_preparer;
    QTemporaryDir m_dir;
    QString m_host;
    int m_port = 0;
    int m_files = 0;
};

QTEST_MAIN(tst_ftpupload)
#include "tst_ftpupload.moc"
