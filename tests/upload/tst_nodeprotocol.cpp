// The photo node's upload steps against the stand-in service: id and key
// replies, transfers, commits, failures counted and what the service holds.
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbBaseUpload.h"
#include "vbEndpoints.h"
#include "vbFileNode.h"
#include "vbFtpSession.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbTestService.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kUser = QLatin1String(velbrook::kDemoEmail);
const QString kPassword = QLatin1String(velbrook::kDemoPassword);
const QString kAlbum = QString::number(velbrook::kFamilyAlbumId);
const QString kKey64 = QStringLiteral("0123456789abcdef").repeated(4);

QJsonObject fault(const QString& endpoint, const QString& kind, int count = -1)
{
    QJsonObject f{{QLatin1String("endpoint"), endpoint}, {QLatin1String("kind"), kind}};
    if (count > 0)
        f.insert(QLatin1String("count"), count);
    return f;
}

QJsonObject withValue(QJsonObject f, const char* key, const QJsonValue& value)
{
    f.insert(QLatin1String(key), value);
    return f;
}

QByteArray sha256Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

bool isBusy(int state)
{
    return state == vbFileNode::RequestingKey || state == vbFileNode::Transferring ||
           state == vbFileNode::Committing;
}
} // namespace

class tst_nodeprotocol : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void ftpPhotoArrivesWithItsDetails();
    void httpPhotoIsUploadedWithoutCommit();
    void photoIdReply_data();
    void photoIdReply();
    void heldIdOrKeyIsReused_data();
    void heldIdOrKeyIsReused();
    void uploadKeyReply_data();
    void uploadKeyReply();
    void commitWithAnotherIdFails();
    void sixthTransferFailureGivesUpAndRemovesFiles();
    void cancelDropsLateAnswersAndStoredFiles();
    void missingPreparedFileFailsTheNode();

private:
    // A prepared node (thumbnail loaded, upload files written) for a new photo file.
    std::unique_ptr<vbFileNode> preparedNode(const QString& fileName, bool ftp,
                                             const QSize& size = {640, 480});
    [[nodiscard]] bool waitWhileBusy(vbFileNode& node, int timeoutMs = 20000);
    QJsonArray stateList(const char* name);
    int requestCount(const char* endpoint);

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<vbSession> m_session;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<_saveImageThread> m_preparer;
    QTemporaryDir m_dir;
    QString m_previousCurrent;
    int m_fileCount = 0;
};

void tst_nodeprotocol::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("TempImages")));
    QVERIFY(QDir().mkpath(QStringLiteral("photos")));

    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    vbEndpoints endpoints;
    endpoints.setHttpPort(m_service->httpPort());
    endpoints.setFtpPort(m_service->ftpPort());
    vbEndpoints::setCurrent(endpoints);

    m_session = std::make_unique<vbSession>();
    m_session->signIn(velbrook::kDemoUserId, kUser, kPassword, m_service->wangtong(), QStringLiteral("Http"));
    m_session->setAlbums(
        {AlbumRecord{QStringLiteral("Family"), velbrook::kFamilyAlbumId, velbrook::kFamilyPhotoCount}});
    m_session->setCurrentAlbum(0);
    QCOMPARE(m_session->currentAlbumIdText(), kAlbum);
    // The album's folder: made here unless the service already has it.
    createFtpFolder(m_service->wangtong(), kUser, kPassword, kAlbum);
    QVERIFY(openFtpSession(m_service->wangtong(), kUser, kPassword, kAlbum) != nullptr);

    m_loader = std::make_unique<_loadThread>();
    m_preparer = std::make_unique<_saveImageThread>();
}

void tst_nodeprotocol::cleanupTestCase()
{
    m_preparer.reset();
    m_loader.reset();
    m_session.reset();
    m_service.reset();
    QDir::setCurrent(m_previousCurrent);
}

void tst_nodeprotocol::init()
{
    QVERIFY(m_service->clearFaults(true));
    m_session->setFtpMode(true);
}

void tst_nodeprotocol::cleanup()
{
    vbBaseUpload::setSocketTimeoutMs(60000);
}

std::unique_ptr<vbFileNode> tst_nodeprotocol::preparedNode(const QString& fileName, bool ftp,
                                                           const QSize& size)
{
    const QString path = m_dir.filePath(QStringLiteral("photos/") + fileName);
    vbTestPhotos::Exif exif;
    exif.make = QStringLiteral("Canon & Co");
    exif.model = QStringLiteral("EOS 5D");
    exif.dateTime = QStringLiteral("2008:07:01 10:20:30");
    exif.exposureTime = vbTestPhotos::Rational{1, 125};
    exif.aperture = vbTestPhotos::Rational{28, 10};
    exif.focalLength = vbTestPhotos::Rational{63, 10};
    if (!vbTestPhotos::writeJpeg(path, size, exif, 90))
        return nullptr;
    auto node = std::make_unique<vbFileNode>();
    node->setFileInfo(QFileInfo(path));
    node->setLoader(m_loader.get());
    if (!node->requestThumbnail())
        return nullptr;
    if (!QTest::qWaitFor([&] { return !node->thumbnail().isNull(); }, 10000))
        return nullptr;
    QSignalSpy prepared(node.get(), &vbFileNode::sig_preUploadComplete);
    m_preparer->setNodes({node.get()}, ftp);
    if (!prepared.wait(10000))
        return nullptr;
    node->setUploadState(vbFileNode::Prepared);
    ++m_fileCount;
    return node;
}

bool tst_nodeprotocol::waitWhileBusy(vbFileNode& node, int timeoutMs)
{
    return QTest::qWaitFor([&] { return !isBusy(node.uploadState()); }, timeoutMs);
}

QJsonArray tst_nodeprotocol::stateList(const char* name)
{
    return m_service->state().value(QLatin1String(name)).toArray();
}

int tst_nodeprotocol::requestCount(const char* endpoint)
{
    int count = 0;
    for (const QJsonValue& r : stateList("requests"))
        count += r.toObject().value(QLatin1String("endpoint")).toString() == QLatin1String(endpoint);
    return count;
}

void tst_nodeprotocol::ftpPhotoArrivesWithItsDetails()
{
    const QString name = QString::fromUtf8("my trip & 旅行 #1+1=2%");
    std::unique_ptr<vbFileNode> node = preparedNode(name + QStringLiteral(".jpg"), true, {800, 600});
    QVERIFY(node);

    node->requestKey();
    QCOMPARE(node->uploadState(), int(vbFileNode::RequestingKey));
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::KeyReady));
    QVERIFY(node->photoId() >= velbrook::kFirstPhotoId);
    const QString id = node->photoIdString();

    node->startTransfer(true, m_session->host(), kUser, kPassword, kAlbum);
    QCOMPARE(node->uploadState(), int(vbFileNode::Transferring));
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::Transferred));

    node->commit();
    QCOMPARE(node->uploadState(), int(vbFileNode::Committing));
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::Uploaded));

    // The service holds the three pictures and the details exactly as they were.
    QMap<QString, QByteArray> stored;
    for (const QJsonValue& v : stateList("ftp_files")) {
        const QJsonObject f = v.toObject();
        stored.insert(f.value(QLatin1String("path")).toString(),
                      f.value(QLatin1String("sha256")).toString().toLatin1());
    }
    QCOMPARE(stored.value(kAlbum + "/" + id + ".jpg"), sha256Of(node->absoluteFilePath()));
    QCOMPARE(stored.value(kAlbum + "/" + id + "_1.jpg"), sha256Of(node->mediumFile().absoluteFilePath()));
    QCOMPARE(stored.value(kAlbum + "/" + id + "_2.jpg"), sha256Of(node->smallFile().absoluteFilePath()));

    const QJsonArray commits = stateList("commits");
    QCOMPARE(commits.size(), 1);
    const QJsonObject commit = commits.first().toObject();
    QVERIFY2(commit.value(QLatin1String("accepted")).toBool(),
             qPrintable(commit.value(QLatin1String("reason")).toString()));
    QCOMPARE(commit.value(QLatin1String("photo_id")).toInteger(), node->photoId());
    const QJsonObject params = commit.value(QLatin1String("params")).toObject();
    QCOMPARE(params.value(QLatin1String("photoname")).toString(), name);
    QCOMPARE(params.value(QLatin1String("photowidth")).toString(), QStringLiteral("800"));
    QCOMPARE(params.value(QLatin1String("photoheight")).toString(), QStringLiteral("600"));
    QCOMPARE(params.value(QLatin1String("photosize")).toString(), QString::number(node->fileSize()));
    QCOMPARE(params.value(QLatin1String("make")).toString(), QStringLiteral("Canon & Co"));
    QCOMPARE(params.value(QLatin1String("time1")).toString(), QStringLiteral("2008:07:01 10:20:30"));
    QCOMPARE(params.value(QLatin1String("time2")).toString(), QStringLiteral("1/125"));
    QCOMPARE(params.value(QLatin1String("aperture")).toString(), QStringLiteral("28/10"));
    QCOMPARE(params.value(QLatin1String("focal")).toString(), QStringLiteral("63"));
}

void tst_nodeprotocol::httpPhotoIsUploadedWithoutCommit()
{
    m_session->setFtpMode(false);
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("trip.2008.JPG"), false);
    QVERIFY(node);
    QVERIFY(!node->mediumFile().exists());

    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::KeyReady));
    QCOMPARE(node->keyHead().size(), 64);
    QCOMPARE(node->keyTail().size(), 38);

    node->startTransfer(false, m_session->host(), QString::number(velbrook::kDemoUserId), kPassword, kAlbum);
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::Transferred));
    const int commitsBefore = requestCount("commit");
    node->commit();
    QCOMPARE(node->uploadState(), int(vbFileNode::Uploaded));
    QCOMPARE(requestCount("commit"), commitsBefore);

    // The file itself went, named by its folder and base name.
    const QJsonArray photos = stateList("photos");
    QJsonObject received;
    for (const QJsonValue& v : photos) {
        if (v.toObject().value(QLatin1String("via")).toString() == QStringLiteral("http"))
            received = v.toObject();
    }
    QCOMPARE(received.value(QLatin1String("sha256")).toString().toLatin1(),
             sha256Of(node->absoluteFilePath()));
    QCOMPARE(received.value(QLatin1String("name")).toString(),
             node->absolutePath() + QStringLiteral("/trip"));
    QCOMPARE(received.value(QLatin1String("album_id")).toString(), kAlbum);
}

void tst_nodeprotocol::photoIdReply_data()
{
    QTest::addColumn<QJsonObject>("injected");
    QTest::addColumn<int>("state");
    QTest::addColumn<qint64>("photoId");
    QTest::addColumn<int>("keyFailures");

    QTest::newRow("zero") << withValue(fault("photoid", "value", 1), "value", "0")
                          << int(vbFileNode::KeyFailed) << qint64(0) << 1;
    QTest::newRow("text around the markers")
        << withValue(fault("photoid", "body", 1), "body", "<p>id </\\/>6000000007</\\/> ok</p>")
        << int(vbFileNode::KeyReady) << qint64(6000000007LL) << 0;
    QTest::newRow("no marker") << fault("photoid", "novalue", 1) << int(vbFileNode::KeyFailed) << qint64(0)
                               << 1;
    QTest::newRow("random bytes") << fault("photoid", "garbage", 1) << int(vbFileNode::KeyFailed) << qint64(0)
                                  << 1;
    // A network error counts once, not again for the finished() that follows it.
    QTest::newRow("server error") << withValue(fault("photoid", "status", 1), "status", 500)
                                  << int(vbFileNode::KeyFailed) << qint64(0) << 1;
    // (Qt resends a request once on a reused connection closed without an answer.)
    QTest::newRow("connection dropped")
        << fault("photoid", "drop") << int(vbFileNode::KeyFailed) << qint64(0) << 1;
}

void tst_nodeprotocol::photoIdReply()
{
    QFETCH(QJsonObject, injected);
    QFETCH(int, state);
    QFETCH(qint64, photoId);
    QFETCH(int, keyFailures);
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("id.jpg"), true);
    QVERIFY(node);
    QVERIFY(m_service->injectFault(injected));
    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    QTest::qWait(50); // a second count would arrive right behind the first
    QCOMPARE(node->uploadState(), state);
    QCOMPARE(node->photoId(), photoId);
    QCOMPARE(node->keyFailures(), keyFailures);
    QCOMPARE(node->failureReason().isEmpty(), keyFailures == 0);

    // The controller asks again after a failure; the next answer is a normal id.
    QVERIFY(m_service->clearFaults());
    if (state == vbFileNode::KeyFailed) {
        node->requestKey();
        QVERIFY(waitWhileBusy(*node));
        QCOMPARE(node->uploadState(), int(vbFileNode::KeyReady));
        QCOMPARE(node->keyFailures(), 0);
    }
}

void tst_nodeprotocol::heldIdOrKeyIsReused_data()
{
    QTest::addColumn<bool>("ftp");
    QTest::newRow("FTP photo id") << true;
    QTest::newRow("HTTP key") << false;
}

void tst_nodeprotocol::heldIdOrKeyIsReused()
{
    QFETCH(bool, ftp);
    m_session->setFtpMode(ftp);
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("held.jpg"), ftp);
    QVERIFY(node);
    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::KeyReady));
    const qint64 id = node->photoId();
    const QString head = node->keyHead();
    const int requests = requestCount(ftp ? "photoid" : "uploadkey");

    node->setUploadState(vbFileNode::Prepared); // a new upload of the same photo
    node->requestKey();
    QCOMPARE(node->uploadState(), int(vbFileNode::KeyReady));
    QCOMPARE(node->photoId(), id);
    QCOMPARE(node->keyHead(), head);
    QCOMPARE(requestCount(ftp ? "photoid" : "uploadkey"), requests);
}

void tst_nodeprotocol::uploadKeyReply_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("tail");

    QTest::newRow("key, three characters, session")
        << kKey64 + "/\\/" + QString(38, QLatin1Char('S')) << true << QString(38, QLatin1Char('S'));
    QTest::newRow("short session") << kKey64 + "xyzABC" << true << QStringLiteral("ABC");
    QTest::newRow("last marker exactly 64 after the first") << kKey64.left(59) << false << QString();
    QTest::newRow("key without session") << kKey64 + "/\\/" << false << QString();
}

void tst_nodeprotocol::uploadKeyReply()
{
    QFETCH(QString, value);
    QFETCH(bool, ok);
    QFETCH(QString, tail);
    m_session->setFtpMode(false);
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("key.jpg"), false);
    QVERIFY(node);
    QVERIFY(m_service->injectFault(withValue(fault("uploadkey", "value", 1), "value", value)));
    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(ok ? vbFileNode::KeyReady : vbFileNode::KeyFailed));
    QCOMPARE(node->keyHead(), ok ? kKey64 : QString());
    QCOMPARE(node->keyTail(), tail);
    QCOMPARE(node->keyFailures(), ok ? 0 : 1);
}

void tst_nodeprotocol::commitWithAnotherIdFails()
{
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("commit.jpg"), true);
    QVERIFY(node);
    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    node->startTransfer(true, m_session->host(), kUser, kPassword, kAlbum);
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::Transferred));

    const qint64 other = node->photoId() + 1;
    QVERIFY(m_service->injectFault(withValue(fault("commit", "value", 1), "value", QString::number(other))));
    node->commit();
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::CommitFailed));
    QCOMPARE(node->commitFailures(), 1);
    QVERIFY(node->failureReason().contains(QString::number(other)));

    QVERIFY(m_service->injectFault(fault("commit", "drop")));
    node->commit();
    QVERIFY(waitWhileBusy(*node));
    QTest::qWait(50);
    QCOMPARE(node->uploadState(), int(vbFileNode::CommitFailed));
    QCOMPARE(node->commitFailures(), 2);
    QVERIFY(m_service->clearFaults());

    node->commit(); // no fault left
    QVERIFY(waitWhileBusy(*node));
    QCOMPARE(node->uploadState(), int(vbFileNode::Uploaded));
    QCOMPARE(node->commitFailures(), 0);
}

void tst_nodeprotocol::sixthTransferFailureGivesUpAndRemovesFiles()
{
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("six.jpg"), true, {1200, 900});
    QVERIFY(node);
    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    const QString id = node->photoIdString();
    // Every run stores the small picture and a part of the medium one, then fails.
    QJsonObject failing = fault("ftp_stor", "fail_after");
    failing.insert(QLatin1String("bytes"), 1500);
    failing.insert(QLatin1String("count"), 1000);
    QVERIFY(m_service->injectFault(failing));

    auto storedCount = [&] {
        int count = 0;
        for (const QJsonValue& v : stateList("ftp_files"))
            count += v.toObject().value(QLatin1String("path")).toString().startsWith(kAlbum + "/" + id);
        return count;
    };
    for (int attempt = 1; attempt <= 6; ++attempt) {
        node->startTransfer(true, m_session->host(), kUser, kPassword, kAlbum);
        QCOMPARE(node->uploadState(), int(vbFileNode::Transferring));
        QVERIFY(waitWhileBusy(*node));
        QCOMPARE(node->transferFailures(), attempt);
        if (attempt < 6) {
            QCOMPARE(node->uploadState(), int(vbFileNode::KeyReady));
            QCOMPARE(node->photoIdString(), id); // the same id for every attempt
            QVERIFY(node->worker());
            QVERIFY(storedCount() > 0);
        }
    }
    QCOMPARE(node->uploadState(), int(vbFileNode::Failed));
    QVERIFY(!node->worker());
    QVERIFY(!node->failureReason().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(storedCount(), 0, 10000);
}

void tst_nodeprotocol::cancelDropsLateAnswersAndStoredFiles()
{
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("cancel.jpg"), true);
    QVERIFY(node);
    QVERIFY(m_service->injectFault(withValue(fault("photoid", "delay", 1), "ms", 400)));
    node->requestKey();
    QCOMPARE(node->uploadState(), int(vbFileNode::RequestingKey));
    node->cancelUpload();
    QCOMPARE(node->uploadState(), int(vbFileNode::Stopped));
    QTest::qWait(800); // the id arrives after the cancel and must change nothing
    QCOMPARE(node->uploadState(), int(vbFileNode::Stopped));
    QCOMPARE(node->photoId(), qint64(0));
    QCOMPARE(node->keyFailures(), 0);
}

void tst_nodeprotocol::missingPreparedFileFailsTheNode()
{
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("gone.jpg"), true);
    QVERIFY(node);
    node->requestKey();
    QVERIFY(waitWhileBusy(*node));
    QVERIFY(QFile::remove(node->mediumFile().absoluteFilePath()));
    node->startTransfer(true, m_session->host(), kUser, kPassword, kAlbum);
    QCOMPARE(node->uploadState(), int(vbFileNode::Failed));
    QCOMPARE(node->failureReason(), vbImageLoader::problemText(vbImageLoader::Problem::Missing));
}

QTEST_MAIN(tst_nodeprotocol)
#include "tst_nodeprotocol.moc"
