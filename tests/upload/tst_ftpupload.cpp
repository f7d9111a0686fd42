// The FTP worker and operations against the stand-in service: what it stores
// under which names, progress, failures midway, stopping and removal.
#include "vbEndpoints.h"
#include "vbFtpSession.h"
#include "vbFtpUpload.h"
#include "vbTestService.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <atomic>

namespace {
const QString kUser = QLatin1String(velbrook::kDemoEmail);
const QString kPassword = QLatin1String(velbrook::kDemoPassword);
const QString kAlbum = QStringLiteral("12");

QJsonObject fault(const char* endpoint, const char* kind, int count = 1)
{
    return QJsonObject{{QLatin1String("endpoint"), QLatin1String(endpoint)},
                       {QLatin1String("kind"), QLatin1String(kind)},
                       {QLatin1String("count"), count}};
}

// Random bytes; large sizes repeat one random block with a running counter.
QByteArray randomBytes(int size)
{
    QByteArray block(qMin(size, 1 << 16), Qt::Uninitialized);
    for (char& c : block)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    QByteArray bytes;
    bytes.reserve(size);
    for (int n = 0; bytes.size() < size; ++n)
        bytes += QByteArray::number(n) + block.left(size - bytes.size() - QByteArray::number(n).size());
    return bytes.left(size);
}
} // namespace

class tst_ftpupload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void loginAndFolder();
    void storesThreeFilesInOrder();
    void missingFileDoesNotStart_data();
    void missingFileDoesNotStart();
    void failureBeforeOrWhileSending_data();
    void failureBeforeOrWhileSending();
    void stopRemovesWhatWasStored();
    void stopIsPromptInEveryPhase_data();
    void stopIsPromptInEveryPhase();
    void brokenServerCostsOneAttempt_data();
    void brokenServerCostsOneAttempt();
    void removeRemoteTriesEveryName();

private:
    vbUploadFiles makeFiles(const QString& tag, int small, int medium, int photo);
    // path -> sha256 of the account's stored files whose name starts with photoId.
    QMap<QString, QByteArray> storedFiles(const QString& photoId);
    QStringList storOrder(const QString& photoId);

    std::unique_ptr<vbTestService> m_service;
    QTemporaryDir m_dir;
    QString m_host;
};

void tst_ftpupload::initTestCase()
{
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    vbEndpoints endpoints;
    endpoints.setHttpPort(m_service->httpPort());
    endpoints.setFtpPort(m_service->ftpPort());
    vbEndpoints::setCurrent(endpoints);
    m_host = m_service->wangtong();
    // The album's folder: made here unless the service already has it.
    createFtpFolder(m_host, kUser, kPassword, kAlbum);
    QVERIFY(openFtpSession(m_host, kUser, kPassword, kAlbum) != nullptr);
}

void tst_ftpupload::init()
{
    // Removals a stopped run left in the background are done first: they
    // would take faults meant for this test.
    QVERIFY(QThreadPool::globalInstance()->waitForDone(30000));
    QVERIFY(m_service->clearFaults(true));
    vbBaseUpload::setSocketTimeoutMs(60000);
}

vbUploadFiles tst_ftpupload::makeFiles(const QString& tag, int small, int medium, int photo)
{
    vbUploadFiles files;
    const QList<QPair<QString*, int>> parts{
        {&files.smallFile, small}, {&files.mediumFile, medium}, {&files.photoFile, photo}};
    const QStringList names{tag + "_2.jpg", tag + "_1.jpg", tag + ".JPG"};
    for (int i = 0; i < 3; ++i) {
        QFile file(m_dir.filePath(names.at(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write(randomBytes(parts.at(i).second));
        *parts.at(i).first = file.fileName();
    }
    return files;
}

QMap<QString, QByteArray> tst_ftpupload::storedFiles(const QString& photoId)
{
    QMap<QString, QByteArray> stored;
    const QJsonArray files = m_service->state().value(QLatin1String("ftp_files")).toArray();
    for (const QJsonValue& v : files) {
        const QJsonObject f = v.toObject();
        const QString path = f.value(QLatin1String("path")).toString();
        if (f.value(QLatin1String("area")).toString() == QStringLiteral("u1001") &&
            path.startsWith(kAlbum + QLatin1Char('/') + photoId))
            stored.insert(path, f.value(QLatin1String("sha256")).toString().toLatin1());
    }
    return stored;
}

QStringList tst_ftpupload::storOrder(const QString& photoId)
{
    QStringList order;
    const QJsonArray log = m_service->state().value(QLatin1String("ftp_log")).toArray();
    for (const QJsonValue& v : log) {
        const QJsonObject entry = v.toObject();
        if (entry.value(QLatin1String("cmd")).toString() == QStringLiteral("STOR") &&
            entry.value(QLatin1String("arg")).toString().startsWith(photoId))
            order << entry.value(QLatin1String("arg")).toString();
    }
    return order;
}

static QByteArray sha256Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

void tst_ftpupload::loginAndFolder()
{
    QVERIFY(testFtpLogin(m_host, kUser, kPassword));
    // (Each refused login costs the service's 3-second penalty: one is enough.)
    QVERIFY(!testFtpLogin(m_host, kUser, QStringLiteral("wrong")));

    QVERIFY(createFtpFolder(m_host, kUser, kPassword, QStringLiteral("77")));
    QVERIFY(!createFtpFolder(m_host, kUser, kPassword, QStringLiteral("77"))); // exists already
    QVERIFY(m_service->injectFault(fault("ftp_mkd", "refuse")));
    QVERIFY(!createFtpFolder(m_host, kUser, kPassword, QStringLiteral("78")));
    QVERIFY(openFtpSession(m_host, kUser, kPassword, QStringLiteral("77")) != nullptr);
    QVERIFY(openFtpSession(m_host, kUser, kPassword, QStringLiteral("no-such-folder")) == nullptr);

    // A goodbye never answered holds the connection test (input blocked) a
    // few seconds, not a transfer's deadline.
    vbBaseUpload::setSocketTimeoutMs(60000);
    QVERIFY(m_service->injectFault(fault("ftp_quit", "stall")));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(testFtpLogin(m_host, kUser, kPassword));
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
}

void tst_ftpupload::storesThreeFilesInOrder()
{
    const vbUploadFiles files = makeFiles(QStringLiteral("order"), 700, 5000, 300001);
    vbFtpUpload worker(m_host, kUser, kPassword, kAlbum);
    QSignalSpy progress(&worker, &vbBaseUpload::sig_dataTransfer);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(files, QStringLiteral("4711")));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 20000);
    QCOMPARE(done.first().first().toBool(), true);
    QVERIFY(worker.isFinished());

    const QMap<QString, QByteArray> stored = storedFiles(QStringLiteral("4711"));
    QCOMPARE(stored.size(), 3);
    QCOMPARE(stored.value(QStringLiteral("12/4711_2.jpg")), sha256Of(files.smallFile));
    QCOMPARE(stored.value(QStringLiteral("12/4711_1.jpg")), sha256Of(files.mediumFile));
    QCOMPARE(stored.value(QStringLiteral("12/4711.jpg")), sha256Of(files.photoFile));
    QCOMPARE(storOrder(QStringLiteral("4711")),
             QStringList(
                 {QStringLiteral("4711_2.jpg"), QStringLiteral("4711_1.jpg"), QStringLiteral("4711.jpg")}));

    // Progress grows with every write of at most one send block, over the sum of
    // the three sizes, passes the end of each file exactly and ends at the total.
    const qint64 total = 700 + 5000 + 300001;
    const int block = vbFtpUpload::kSendBlock;
    QCOMPARE(progress.size(), 1 + 1 + (300001 + block - 1) / block);
    qint64 previous = 0;
    QList<qint64> values;
    for (const QList<QVariant>& p : progress) {
        QCOMPARE(p.at(1).toLongLong(), total);
        const qint64 value = p.at(0).toLongLong();
        QVERIFY(value > previous && value - previous <= block);
        previous = value;
        values << value;
    }
    QVERIFY(values.contains(700));
    QVERIFY(values.contains(5700));
    QCOMPARE(previous, total);

    // Stopping a finished worker neither waits nor removes anything.
    worker.stopUpload();
    QTest::qWait(300);
    QCOMPARE(storedFiles(QStringLiteral("4711")).size(), 3);
}

void tst_ftpupload::missingFileDoesNotStart_data()
{
    QTest::addColumn<int>("missing"); // 0 small, 1 medium, 2 photo
    QTest::newRow("no _2 picture") << 0;
    QTest::newRow("no _1 picture") << 1;
    QTest::newRow("no photo") << 2;
}

void tst_ftpupload::missingFileDoesNotStart()
{
    QFETCH(int, missing);
    vbUploadFiles files = makeFiles(QStringLiteral("missing"), 100, 100, 100);
    QString* gone[] = {&files.smallFile, &files.mediumFile, &files.photoFile};
    QVERIFY(QFile::remove(*gone[missing]));
    vbFtpUpload worker(m_host, kUser, kPassword, kAlbum);
    QVERIFY(!worker.startUpload(files, QStringLiteral("4712")));
    QVERIFY(!worker.isRunning());
}

void tst_ftpupload::failureBeforeOrWhileSending_data()
{
    QTest::addColumn<QJsonObject>("injected");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("storedBefore"); // files kept on the server after the failure

    QJsonObject failMidway = fault("ftp_stor", "fail_after");
    failMidway.insert(QLatin1String("bytes"), 2000);
    QTest::newRow("login refused") << fault("ftp_login", "refuse") << kPassword << kAlbum << 0;
    QTest::newRow("no such folder") << QJsonObject() << kPassword << QStringLiteral("404") << 0;
    QTest::newRow("first STOR refused") << fault("ftp_stor", "refuse") << kPassword << kAlbum << 0;
    QTest::newRow("first STOR fails midway") << failMidway << kPassword << kAlbum << 1;
}

void tst_ftpupload::failureBeforeOrWhileSending()
{
    QFETCH(QJsonObject, injected);
    QFETCH(QString, password);
    QFETCH(QString, folder);
    QFETCH(int, storedBefore);
    if (!injected.isEmpty())
        QVERIFY(m_service->injectFault(injected));

    const QString id = QStringLiteral("48%1").arg(
        QTest::currentDataTag() ? qHash(QString::fromLatin1(QTest::currentDataTag())) % 1000 : 0);
    const vbUploadFiles files = makeFiles(QStringLiteral("fail"), 9000, 9000, 9000);
    vbFtpUpload worker(m_host, kUser, password, folder);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(files, id));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 20000);
    QCOMPARE(done.first().first().toBool(), false);
    QVERIFY(!worker.lastError().isEmpty());
    QCOMPARE(storedFiles(id).size(), storedBefore);
    // Later files are not sent after a failure.
    QVERIFY(storOrder(id).size() <= 1);

    // Giving up on the photo removes what was kept.
    worker.removeRemote(id);
    QCOMPARE(storedFiles(id).size(), 0);
}

void tst_ftpupload::stopRemovesWhatWasStored()
{
    const vbUploadFiles files = makeFiles(QStringLiteral("stop"), 3000, 40000, 8 * 1024 * 1024);
    vbFtpUpload worker(m_host, kUser, kPassword, kAlbum);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    // Hold the worker inside the photo file until the stop is on its way, so
    // the stop surely meets a run in the middle of sending.
    std::atomic_bool held{false};
    std::atomic_bool release{false};
    connect(
        &worker, &vbBaseUpload::sig_dataTransfer, this,
        [&](qint64 sent, qint64) {
            if (held || sent < 43000 + 256 * 1024)
                return;
            held = true;
            QElapsedTimer wait;
            wait.start();
            while (!release && wait.elapsed() < 10000)
                QThread::msleep(1);
        },
        Qt::DirectConnection);
    QVERIFY(worker.startUpload(files, QStringLiteral("4713")));
    QTRY_VERIFY_WITH_TIMEOUT(held, 20000);
    QVERIFY(!worker.isFinished());

    QElapsedTimer clock;
    clock.start();
    release = true;
    worker.stopUpload();
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!worker.isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(done.size(), 0);
    // The removal runs in the background.
    QTRY_COMPARE_WITH_TIMEOUT(storedFiles(QStringLiteral("4713")).size(), 0, 10000);
    QCOMPARE(storOrder(QStringLiteral("4713")).size(), 3);
}

void tst_ftpupload::stopIsPromptInEveryPhase_data()
{
    QTest::addColumn<QJsonObject>("injected");
    QTest::addColumn<int>("photoSize");
    QTest::addColumn<bool>("silentServer"); // a server that accepts and never says a word

    QTest::newRow("greeting never comes") << QJsonObject() << 1000 << true;
    // Larger than the socket buffers: the sending itself blocks.
    QTest::newRow("sending into a data connection never read")
        << fault("ftp_stor", "stall") << (24 << 20) << false;
    QTest::newRow("waiting for the word on a sent file") << fault("ftp_stor", "stall") << 1000 << false;
    QTest::newRow("QUIT never answered") << fault("ftp_quit", "stall") << 1000 << false;
}

void tst_ftpupload::stopIsPromptInEveryPhase()
{
    QFETCH(QJsonObject, injected);
    QFETCH(int, photoSize);
    QFETCH(bool, silentServer);
    // Only a stop can end these waits quickly.
    vbBaseUpload::setSocketTimeoutMs(30000);
    if (!injected.isEmpty())
        QVERIFY(m_service->injectFault(injected));
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));

    static int row = 0;
    const QString id = QString::number(4900 + ++row);
    const vbUploadFiles files = makeFiles(QStringLiteral("phase"), 500, 500, photoSize);
    auto worker = std::make_unique<vbFtpUpload>(silentServer ? QStringLiteral("127.0.0.1") : m_host, kUser,
                                                kPassword, kAlbum);
    if (silentServer)
        worker->setPort(silent.serverPort());
    QSignalSpy done(worker.get(), &vbBaseUpload::sig_done);
    QVERIFY(worker->startUpload(files, id));
    const bool quit = injected.value(QLatin1String("endpoint")).toString() == QLatin1String("ftp_quit");
    if (quit) {
        // The photo is stored: that is reported before the session is closed.
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
        QCOMPARE(done.first().first().toBool(), true);
        QCOMPARE(storedFiles(id).size(), 3);
    }
    if (silentServer)
        QTRY_VERIFY(silent.hasPendingConnections() || silent.waitForNewConnection(0));
    else
        QTRY_COMPARE_WITH_TIMEOUT(m_service->state()
                                      .value(QLatin1String("ftp_log"))
                                      .toArray()
                                      .last()
                                      .toObject()
                                      .value(QLatin1String("cmd"))
                                      .toString(),
                                  quit ? QStringLiteral("QUIT") : QStringLiteral("STOR"), 10000);
    QVERIFY(worker->isRunning());

    QElapsedTimer clock;
    clock.start();
    worker->stopUpload();
    worker.reset();
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(done.size(), quit ? 1 : 0);
}

void tst_ftpupload::brokenServerCostsOneAttempt_data()
{
    QTest::addColumn<QList<QJsonObject>>("injected");

    QJsonObject reset = fault("ftp_stor", "reset");
    reset.insert(QLatin1String("bytes"), 100000);
    QTest::newRow("data connection never read, QUIT never answered")
        << QList<QJsonObject>{fault("ftp_stor", "stall"), fault("ftp_quit", "stall")};
    QTest::newRow("reset mid-transfer") << QList<QJsonObject>{reset};
}

void tst_ftpupload::brokenServerCostsOneAttempt()
{
    QFETCH(QList<QJsonObject>, injected);
    const int deadline = 2000;
    vbBaseUpload::setSocketTimeoutMs(deadline);
    for (const QJsonObject& f : injected)
        QVERIFY(m_service->injectFault(f));

    const QString id = QStringLiteral("4720%1").arg(injected.size());
    const vbUploadFiles files = makeFiles(QStringLiteral("broken"), 3000, 400000, 900000);
    vbFtpUpload worker(m_host, kUser, kPassword, kAlbum);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(worker.startUpload(files, id));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 3 * deadline);
    QCOMPARE(done.takeFirst().first().toBool(), false);
    QVERIFY2(clock.elapsed() < 2 * deadline, qPrintable(QString::number(clock.elapsed())));
    // The failed run does not linger saying goodbye to a broken server.
    QTRY_VERIFY_WITH_TIMEOUT(worker.isFinished(), deadline / 2);

    // Started again, as the upload tick does: the photo goes through.
    clock.restart();
    QVERIFY(worker.startUpload(files, id));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 3 * deadline);
    QCOMPARE(done.takeFirst().first().toBool(), true);
    const QMap<QString, QByteArray> stored = storedFiles(id);
    QCOMPARE(stored.size(), 3);
    QCOMPARE(stored.value(kAlbum + QStringLiteral("/") + id + QStringLiteral(".jpg")),
             sha256Of(files.photoFile));
}

void tst_ftpupload::removeRemoteTriesEveryName()
{
    // Only the "_2" picture reached the server (a run stopped in its first file):
    // the missing "_1" name must not keep it there.
    const vbUploadFiles files = makeFiles(QStringLiteral("partial"), 4000, 4000, 4000);
    QJsonObject failSecond = fault("ftp_stor", "refuse");
    QVERIFY(m_service->injectFault(failSecond));
    {
        // First STOR refused: nothing stored. Store "_2" alone through a session.
        std::unique_ptr<vbFtpSession> session = openFtpSession(m_host, kUser, kPassword, kAlbum);
        QVERIFY(session);
        QVERIFY_THROWS_EXCEPTION(Poco::Exception, {
            std::ostream& out = session->beginUpload("4714_2.jpg");
            out << "x";
            session->finishUpload();
        });
    }
    {
        std::unique_ptr<vbFtpSession> session = openFtpSession(m_host, kUser, kPassword, kAlbum);
        QVERIFY(session);
        std::ostream& out = session->beginUpload("4714_2.jpg");
        out << "small picture";
        out.flush();
        session->finishUpload();
    }
    QCOMPARE(storedFiles(QStringLiteral("4714")).size(), 1);
    vbFtpUpload worker(m_host, kUser, kPassword, kAlbum);
    QVERIFY(!worker.removeRemote(QStringLiteral("4714"))); // two names were missing
    QCOMPARE(storedFiles(QStringLiteral("4714")).size(), 0);

    // A connection that cannot be made removes nothing and says so.
    vbFtpUpload offline(QStringLiteral("127.0.0.9"), kUser, kPassword, kAlbum);
    offline.setPort(1);
    QVERIFY(!offline.removeRemote(QStringLiteral("4714")));
}

QTEST_GUILESS_MAIN(tst_ftpupload)
#include "tst_ftpupload.moc"
