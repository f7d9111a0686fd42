// The FTP worker against the stand-in service: what it stores, failures, stopping, removal.
#include "vbFtpSession.h"
#include "vbFtpUpload.h"
#include "vbTestService.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

namespace {
const QString kUser = QLatin1String(velbrook::kDemoEmail);
const QString kPassword = QLatin1String(velbrook::kDemoPassword);
const QString kAlbum = QStringLiteral("12");

const QJsonObject kOnce{{"count", 1}}; // a fault that hits the next matching command only

QByteArray sha256Of(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
               : QByteArray();
}
} // namespace

class tst_ftpupload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void loginAndFolder();
    void storesThreeFiles_data();
    void storesThreeFiles();
    void stopRemovesWhatWasSent();
    void removeRemoteTriesEveryName();

private:
    vbUploadFiles makeFiles(int small, int medium, int photo);
    // path -> sha256 of the account's stored files whose name starts with photoId.
    QMap<QString, QByteArray> storedFiles(const QString& photoId);
    QStringList storOrder(const QString& photoId);
    QJsonArray stateList(const char* name) { return m_service->state().value(QLatin1String(name)).toArray(); }

    std::unique_ptr<vbTestService> m_service;
    QTemporaryDir m_dir;
    QString m_host;
    int m_port = 0;
    int m_files = 0;
};

void tst_ftpupload::initTestCase()
{
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    m_host = m_service->wangtong();
    m_port = m_service->ftpPort();
    createFtpFolder(m_host, m_port, kUser, kPassword, kAlbum); // unless the service already has it
    QVERIFY(openFtpSession(m_host, m_port, kUser, kPassword, kAlbum) != nullptr);
}

void tst_ftpupload::init()
{
    // Background removals would take this test's faults.
    QVERIFY(QThreadPool::globalInstance()->waitForDone(30000));
    QVERIFY(m_service->clearFaults(true));
}

vbUploadFiles tst_ftpupload::makeFiles(int small, int medium, int photo)
{
    const QString tag = QString::number(++m_files);
    // Bytes that differ from position to position, so a block sent twice or skipped shows.
    const auto write = [&](const QString& name, int size) {
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char((i * 7 + size) % 251);
        QFile file(m_dir.filePath(tag + name));
        return file.open(QIODevice::WriteOnly) && file.write(data) == size ? file.fileName() : QString();
    };
    return vbUploadFiles{write(".JPG", photo), write("_1.jpg", medium), write("_2.jpg", small), {}};
}

QMap<QString, QByteArray> tst_ftpupload::storedFiles(const QString& photoId)
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

QStringList tst_ftpupload::storOrder(const QString& photoId)
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

void tst_ftpupload::loginAndFolder()
{
    QVERIFY(testFtpLogin(m_host, m_port, kUser, kPassword));
    QVERIFY(!testFtpLogin(m_host, m_port, kUser, QStringLiteral("wrong"))); // costs a 3-second penalty: once
    QVERIFY(createFtpFolder(m_host, m_port, kUser, kPassword, QStringLiteral("77")));
    QVERIFY(!createFtpFolder(m_host, m_port, kUser, kPassword, QStringLiteral("77"))); // exists already
    QVERIFY(openFtpSession(m_host, m_port, kUser, kPassword, QStringLiteral("no-such-folder")) == nullptr);
}

// Stopped while it waits for the word on a sent file: at once, with no report, and what reached the
// server is removed in the background. (A stop during QUIT is tst_net's; the photo was reported before.)
void tst_ftpupload::stopRemovesWhatWasSent()
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

void tst_ftpupload::storesThreeFiles_data()
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
void tst_ftpupload::storesThreeFiles()
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
    QCOMPARE(stored.value(kAlbum + "/" + id + "_2.jpg"), sha256Of(files.smallFile));
    QCOMPARE(stored.value(kAlbum + "/" + id + "_1.jpg"), sha256Of(files.mediumFile));
    QCOMPARE(stored.value(kAlbum + "/" + id + ".jpg"), sha256Of(files.photoFile));
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

void tst_ftpupload::removeRemoteTriesEveryName()
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

QTEST_GUILESS_MAIN(tst_ftpupload)
#include "tst_ftpupload.moc"
