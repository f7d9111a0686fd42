// The photo node's upload steps against the stand-in service.
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbBaseUpload.h"
#include "vbEndpoints.h"
#include "vbFileNode.h"
#include "vbFtpSession.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbTestService.h"

#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kUser = QLatin1String(velbrook::kDemoEmail);
const QString kPassword = QLatin1String(velbrook::kDemoPassword);
const QString kAlbum = QString::number(velbrook::kFamilyAlbumId);

QJsonObject fault(const QString& endpoint, const QString& kind, const char* key = nullptr,
                  const QJsonValue& value = {})
{
    QJsonObject f{{QLatin1String("endpoint"), endpoint}, {QLatin1String("kind"), kind}};
    if (key)
        f.insert(QLatin1String(key), value);
    return f;
}
} // namespace

class tst_nodeprotocol : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void ftpPhotoKeepsItsIdAndName();
    void failedIdRequestCountsOnce_data();
    void failedIdRequestCountsOnce();
    void sixthTransferFailureGivesUpAndRemovesFiles();
    void cancelDropsLateAnswers();

private:
    // A prepared node (thumbnail loaded, upload files written) for a new photo file.
    std::unique_ptr<vbFileNode> preparedNode(const QString& fileName, bool ftp);
    static vbUploadState settle(vbFileNode& node); // waits while the node is busy; its state then
    void transfer(vbFileNode& node, bool ftp)
    {
        node.startTransfer(ftp, m_session->host(), ftp ? kUser : QString::number(velbrook::kDemoUserId),
                           kPassword, kAlbum);
    }
    QJsonArray stateList(const char* name) { return m_service->state().value(QLatin1String(name)).toArray(); }

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<vbSession> m_session;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<_saveImageThread> m_preparer;
    QTemporaryDir m_dir;
};

void tst_nodeprotocol::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("TempImages")) && QDir().mkpath(QStringLiteral("photos")));
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    vbEndpoints endpoints;
    endpoints.setHttpPort(m_service->httpPort());
    endpoints.setFtpPort(m_service->ftpPort());
    m_session = std::make_unique<vbSession>(endpoints);
    m_session->signIn(velbrook::kDemoUserId, kUser, kPassword, m_service->wangtong(), QStringLiteral("Http"));
    m_session->setAlbums(
        {AlbumRecord{QStringLiteral("Family"), velbrook::kFamilyAlbumId, velbrook::kFamilyPhotoCount}});
    m_session->setCurrentAlbum(0);
    createFtpFolder(m_service->wangtong(), m_service->ftpPort(), kUser, kPassword,
                    kAlbum); // unless the service has it
    m_loader = std::make_unique<_loadThread>();
    m_preparer = std::make_unique<_saveImageThread>();
}

void tst_nodeprotocol::init()
{
    QVERIFY(m_service->clearFaults(true));
    m_session->setFtpMode(true);
}

std::unique_ptr<vbFileNode> tst_nodeprotocol::preparedNode(const QString& fileName, bool ftp)
{
    const QString path = m_dir.filePath(QStringLiteral("photos/") + fileName);
    vbTestPhotos::Exif exif;
    exif.make = QStringLiteral("Canon & Co");
    exif.dateTime = QStringLiteral("2008:07:01 10:20:30");
    exif.exposureTime = vbTestPhotos::Rational{1, 125};
    exif.focalLength = vbTestPhotos::Rational{63, 10};
    if (!vbTestPhotos::writeJpeg(path, {800, 600}) || !vbTestPhotos::writeExif(path, exif))
        return nullptr;
    auto node = std::make_unique<vbFileNode>();
    node->setFileInfo(QFileInfo(path));
    node->setSession(m_session.get());
    node->setLoader(m_loader.get());
    if (!node->requestThumbnail() || !QTest::qWaitFor([&] { return !node->thumbnail().isNull(); }, 10000))
        return nullptr;
    QSignalSpy prepared(node.get(), &vbFileNode::sig_preUploadComplete);
    m_preparer->setNodes({node.get()}, ftp);
    if (!QTest::qWaitFor([&] { return !prepared.isEmpty(); }, 10000))
        return nullptr;
    node->setUploadState(vbUploadState::Prepared);
    return node;
}

vbUploadState tst_nodeprotocol::settle(vbFileNode& node)
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

// What the service stores is checked end to end (tst_e2e_upload); here: a held
// id is not asked for again, and a name full of URL characters arrives intact.
void tst_nodeprotocol::ftpPhotoKeepsItsIdAndName()
{
    const QString name = QString::fromUtf8("my trip & 旅行 #1+1=2%");
    std::unique_ptr<vbFileNode> node = preparedNode(name + QStringLiteral(".jpg"), true);
    QVERIFY(node);
    node->requestKey();
    QCOMPARE(settle(*node), vbUploadState::KeyReady);
    const QString id = node->photoIdString();
    const int requests = stateList("requests").size();
    node->setUploadState(vbUploadState::Prepared);
    node->requestKey();
    QCOMPARE(node->photoIdString(), id);
    QCOMPARE(stateList("requests").size(), requests);

    transfer(*node, true);
    QCOMPARE(settle(*node), vbUploadState::Transferred);
    node->commit();
    QCOMPARE(settle(*node), vbUploadState::Uploaded);
    const QJsonObject commit = stateList("commits").last().toObject();
    QCOMPARE(commit.value(QLatin1String("params")).toObject().value(QLatin1String("photoname")).toString(),
             name);
}

void tst_nodeprotocol::failedIdRequestCountsOnce_data()
{
    QTest::addColumn<QJsonObject>("injected"); // a network error counts once, not again for finished()
    QTest::newRow("server error") << fault("photoid", "status", "status", 500);
    QTest::newRow("connection dropped") << fault("photoid", "drop");
}

void tst_nodeprotocol::failedIdRequestCountsOnce()
{
    QFETCH(QJsonObject, injected);
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("id.jpg"), true);
    QVERIFY(node);
    QVERIFY(m_service->injectFault(injected));
    node->requestKey();
    QCOMPARE(settle(*node), vbUploadState::KeyFailed);
    QTest::qWait(50); // a second count would arrive right behind the first
    QCOMPARE(node->keyFailures(), 1);
    QVERIFY(!node->failureReason().isEmpty());
    QVERIFY(m_service->clearFaults());
    node->requestKey();
    QCOMPARE(settle(*node), vbUploadState::KeyReady);
    QCOMPARE(node->keyFailures(), 0);
}

void tst_nodeprotocol::sixthTransferFailureGivesUpAndRemovesFiles()
{
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("six.jpg"), true);
    QVERIFY(node);
    node->requestKey();
    QCOMPARE(settle(*node), vbUploadState::KeyReady);
    const QString id = node->photoIdString();
    // Every run stores the small picture and a part of the medium one, then fails.
    QJsonObject failing = fault("ftp_stor", "fail_after", "bytes", 1500);
    failing.insert(QLatin1String("count"), 1000);
    QVERIFY(m_service->injectFault(failing));
    const auto storedCount = [&] {
        int count = 0;
        for (const QJsonValue& v : stateList("ftp_files"))
            count += v.toObject().value(QLatin1String("path")).toString().startsWith(kAlbum + "/" + id);
        return count;
    };
    for (int attempt = 1; attempt < 6; ++attempt) {
        transfer(*node, true);
        QCOMPARE(settle(*node), vbUploadState::KeyReady);
        QCOMPARE(node->transferFailures(), attempt);
        QCOMPARE(node->photoIdString(), id); // the same id for every attempt
        QVERIFY(storedCount() > 0);
    }
    transfer(*node, true);
    QCOMPARE(settle(*node), vbUploadState::Failed);
    QVERIFY(!node->worker());
    QTRY_COMPARE_WITH_TIMEOUT(storedCount(), 0, 10000);

    // A prepared file gone before the transfer fails the node at once.
    std::unique_ptr<vbFileNode> gone = preparedNode(QStringLiteral("gone.jpg"), true);
    QVERIFY(gone);
    gone->requestKey();
    QCOMPARE(settle(*gone), vbUploadState::KeyReady);
    QVERIFY(QFile::remove(gone->mediumFile().absoluteFilePath()));
    transfer(*gone, true);
    QCOMPARE(gone->uploadState(), vbUploadState::Failed);
    QCOMPARE(gone->failureReason(), vbImageLoader::problemText(vbImageLoader::Problem::Missing));
}

void tst_nodeprotocol::cancelDropsLateAnswers()
{
    std::unique_ptr<vbFileNode> node = preparedNode(QStringLiteral("cancel.jpg"), true);
    QVERIFY(node);
    QVERIFY(m_service->injectFault(fault("photoid", "delay", "ms", 400)));
    node->requestKey();
    node->cancelUpload();
    QCOMPARE(node->uploadState(), vbUploadState::Stopped);
    QTest::qWait(800); // the id arrives after the cancel and must change nothing
    QCOMPARE(node->uploadState(), vbUploadState::Stopped);
    QCOMPARE(node->photoId(), qint64(0));
    QCOMPARE(node->keyFailures(), 0);
}

QTEST_MAIN(tst_nodeprotocol)
#include "tst_nodeprotocol.moc"
