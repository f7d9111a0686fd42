#include "vbFtp.h"
#include "vbTestService.h"
#include "vbUpdateArea.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QtTest>

// The FTP command runner against the stand-in service: QFtp's error semantics and the ways a stalled
// download ends. Order, listing, data and progress show in tst_update's downloads, an abort in its Cancel.
class tst_FtpRunner : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void failedCommandDropsTheRest_data();
    void failedCommandDropsTheRest();
    void destroyedDuringStalledDownload();

private:
    // Connects, logs in as the update account and enters update/program; the commands' ids.
    QList<int> enter(vbFtp& ftp, quint16 port = 0);

    std::unique_ptr<vbTestService> m_service;
};

namespace {
QList<int> firstArgs(const QSignalSpy& spy)
{
    QList<int> ids;
    for (const QList<QVariant>& args : spy)
        ids.append(args.at(0).toInt());
    return ids;
}
} // namespace

void tst_FtpRunner::initTestCase()
{
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
}

void tst_FtpRunner::init()
{
    QVERIFY(
        setUpdateFiles(*m_service, "program", {{"big.bin", patternBytes(100000, 3)}, {"next.bin", "next"}}));
    QVERIFY(m_service->clearFaults(true));
}

QList<int> tst_FtpRunner::enter(vbFtp& ftp, quint16 port)
{
    return {ftp.connectToHost(m_service->web(), port ? port : quint16(m_service->ftpPort())),
            ftp.login(velbrook::kUpdateUser, velbrook::kUpdatePassword), ftp.cd("update"), ftp.cd("program")};
}

void tst_FtpRunner::failedCommandDropsTheRest_data()
{
    QTest::addColumn<QJsonObject>("injected");
    QTest::addColumn<bool>("closedPort");
    QTest::addColumn<int>("failing");     // index of the command that fails: connect, login, cd, cd, get
    QTest::addColumn<qint64>("received"); // bytes of the failed download written before the end

    QTest::newRow("nobody listening") << QJsonObject() << true << 0 << qint64(0);
    QTest::newRow("login refused") << vbTestService::fault("ftp_login", "refuse") << false << 1 << qint64(0);
    QTest::newRow("download refused") << retrFault("big.bin", "refuse") << false << 4 << qint64(0);
    // Only the runner's time-out ends this one: the service keeps the data connection open.
    QTest::newRow("download stalls") << retrFault("big.bin", "stall", 5000) << false << 4 << qint64(5000);
}

void tst_FtpRunner::failedCommandDropsTheRest()
{
    QFETCH(QJsonObject, injected);
    QFETCH(bool, closedPort);
    QFETCH(int, failing);
    QFETCH(qint64, received);
    if (!injected.isEmpty())
        QVERIFY(m_service->injectFault(injected));

    vbFtp ftp;
    ftp.setTimeout(1000);
    QSignalSpy started(&ftp, &vbFtp::commandStarted);
    QSignalSpy finished(&ftp, &vbFtp::commandFinished);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    const QList<int> ids = enter(ftp, closedPort ? ::closedPort() : 0)
                           << ftp.get("big.bin", &buffer) << ftp.get("next.bin", &second);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), failing + 1, 10000);
    QCOMPARE(finished.last().at(0).toInt(), ids.at(failing));
    QVERIFY(finished.last().at(1).toBool());
    QVERIFY(!ftp.errorString().isEmpty());
    for (int i = 0; i < failing; ++i)
        QVERIFY(!finished.at(i).at(1).toBool());
    QVERIFY(!ftp.hasPendingCommands());
    QCOMPARE(buffer.size(), received);
    if (received > 0) // the transfer really stopped
        QTRY_VERIFY(updateFtpCommands(*m_service).contains(QStringLiteral("HANGUP RETR")));

    // The runner goes on with new commands; the dropped ones never start.
    QVERIFY(m_service->clearFaults());
    const QList<int> again = enter(ftp) << ftp.get("next.bin", &second);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), failing + 1 + again.size(), 10000);
    QVERIFY2(!finished.last().at(1).toBool(), qPrintable(ftp.errorString()));
    QCOMPARE(firstArgs(started), ids.mid(0, failing + 1) + again);
    QCOMPARE(second.data(), QByteArray("next"));
}

void tst_FtpRunner::destroyedDuringStalledDownload()
{
    QVERIFY(m_service->injectFault(retrFault("big.bin", "stall", 5000)));
    auto ftp = std::make_unique<vbFtp>();
    QSignalSpy progress(ftp.get(), &vbFtp::dataTransferProgress);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    enter(*ftp);
    ftp->get("big.bin", &buffer);
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toLongLong() == 5000, 10000);

    QElapsedTimer timer;
    timer.start();
    ftp.reset();
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    QTRY_VERIFY(updateFtpCommands(*m_service).contains(QStringLiteral("HANGUP RETR")));
}

QTEST_GUILESS_MAIN(tst_FtpRunner)
#include "tst_ftprunner.moc"
