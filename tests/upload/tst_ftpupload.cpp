// The FTP worker against the stand-in service: what it stores, failures, stopping, removal.
#include "vbFtpSession.h"
#include "vbFtpUpload.h"
#include "vbTestService.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
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
    void storesThreeFilesInOrder();
    void stopIsPromptInEveryPhase_data();
    void stopIsPromptInEveryPhase();
    void brokenServerCostsOneAttempt_data();
    void brokenServerCostsOneAttempt();
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
    vbUploadFiles files;
    const QString tag = QString::number(++m_files);
    const QList<QPair<QString*, int>> parts{
        {&files.smallFile, small}, {&files.mediumFile, medium}, {&files.photoFile, photo}};
    const QStringList names{tag + "_2.jpg", tag + "_1.jpg", tag + ".JPG"};
    for (int i = 0; i < 3; ++i) {
        QList<quint32> words((parts.at(i).second + 3) / 4);
        QRandomGenerator::global()->fillRange(words.data(), words.size());
        QFile file(m_dir.filePath(names.at(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(words.constData()), parts.at(i).second);
        *parts.at(i).first = file.fileName();
    }
    return files;
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

void tst_ftpupload::storesThreeFilesInOrder()
{
    vbUploadFiles files = makeFiles(700, 5000, 300001);
    vbFtpUpload worker(m_host, m_port, kUser, kPassword, kAlbum);
    QSignalSpy progress(&worker, &vbBaseUpload::sig_dataTransfer);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(files, QStringLiteral("4711")));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 20000);
    QCOMPARE(done.first().first().toBool(), true);

    const QMap<QString, QByteArray> stored = storedFiles(QStringLiteral("4711"));
    QCOMPARE(stored.size(), 3);
    QCOMPARE(stored.value(QStringLiteral("12/4711_2.jpg")), sha256Of(files.smallFile));
    QCOMPARE(stored.value(QStringLiteral("12/4711_1.jpg")), sha256Of(files.mediumFile));
    QCOMPARE(stored.value(QStringLiteral("12/4711.jpg")), sha256Of(files.photoFile));
    QCOMPARE(storOrder(QStringLiteral("4711")), QStringList({"4711_2.jpg", "4711_1.jpg", "4711.jpg"}));

    // Progress grows by at most one send block over the sum of the sizes.
    const qint64 total = 700 + 5000 + 300001;
    qint64 previous = 0;
    for (const QList<QVariant>& p : progress) {
        QCOMPARE(p.at(1).toLongLong(), total);
        QVERIFY(p.at(0).toLongLong() > previous &&
                p.at(0).toLongLong() - previous <= vbFtpUpload::kSendBlock);
        previous = p.at(0).toLongLong();
    }
    QCOMPARE(previous, total);
}

void tst_ftpupload::stopIsPromptInEveryPhase_data()
{
    QTest::addColumn<QJsonObject>("injected");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("stored"); // files on the server when stopped; all but a finished run's go

    QTest::newRow("waiting for the word on a sent file")
        << vbTestService::fault("ftp_stor", "stall", kOnce) << "4903" << 1;
    QTest::newRow("QUIT never answered") << vbTestService::fault("ftp_quit", "stall", kOnce) << "4904" << 3;
}

void tst_ftpupload::stopIsPromptInEveryPhase()
{
    QFETCH(QJsonObject, injected);
    QFETCH(QString, id);
    QFETCH(int, stored);
    QVERIFY(m_service->injectFault(injected));
    // Only a stop can end these waits quickly.
    auto worker =
        std::make_unique<vbFtpUpload>(m_host, m_port, kUser, kPassword, kAlbum, vbNetDeadlines{30000});
    QSignalSpy done(worker.get(), &vbBaseUpload::sig_done);
    QVERIFY(worker->startUpload(makeFiles(500, 500, 1000), id));
    const bool quit = injected.value(QLatin1String("endpoint")).toString() == QLatin1String("ftp_quit");
    if (quit) {
        // The photo is stored: that is reported before the session is closed.
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
        QCOMPARE(done.first().first().toBool(), true);
    }
    QTRY_COMPARE_WITH_TIMEOUT(stateList("ftp_log").last().toObject().value(QLatin1String("cmd")).toString(),
                              quit ? QStringLiteral("QUIT") : QStringLiteral("STOR"), 10000);
    QVERIFY(worker->isRunning());
    QCOMPARE(storedFiles(id).size(), stored);

    QElapsedTimer clock;
    clock.start();
    worker->stopUpload();
    worker.reset();
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(done.size(), quit ? 1 : 0);
    QTRY_COMPARE_WITH_TIMEOUT(storedFiles(id).size(), quit ? 3 : 0, 10000); // removed in the background
}

void tst_ftpupload::brokenServerCostsOneAttempt_data()
{
    QTest::addColumn<QJsonObject>("injected");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("kept"); // files on the server after the failure
    QTest::newRow("login refused") << vbTestService::fault("ftp_login", "refuse", kOnce) << "4721" << 0;
    QTest::newRow("first STOR fails midway")
        << vbTestService::fault("ftp_stor", "fail_after", {{"count", 1}, {"bytes", 2000}}) << "4722" << 1;
}

// Deadlines of every step are tst_net's; here: a failure ends the run, and the next one starts afresh.
void tst_ftpupload::brokenServerCostsOneAttempt()
{
    QFETCH(QJsonObject, injected);
    QFETCH(QString, id);
    QVERIFY(m_service->injectFault(injected));

    const vbUploadFiles files = makeFiles(3000, 400000, 900000);
    vbFtpUpload worker(m_host, m_port, kUser, kPassword, kAlbum);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(files, id));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.takeFirst().first().toBool(), false);
    QTRY_VERIFY(worker.isFinished());
    QVERIFY(!worker.lastError().isEmpty());
    QTEST(int(storedFiles(id).size()), "kept");
    QVERIFY(storOrder(id).size() <= 1); // later files are not sent after a failure

    // Started again, as the upload tick does: the photo goes through.
    QVERIFY(worker.startUpload(files, id));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.takeFirst().first().toBool(), true);
    QCOMPARE(storedFiles(id).value(kAlbum + "/" + id + ".jpg"), sha256Of(files.photoFile));
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
