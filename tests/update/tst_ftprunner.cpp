#include "vbFtp.h"
#include "vbTestService.h"
#include "vbUpdateArea.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QtTest>

// The FTP command runner against the stand-in service: queue order, QFtp's
// error semantics, data, and the ways a stalled download ends.
class tst_FtpRunner : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void runsQueuedCommandsInOrder();
    void failedCommandDropsTheRest_data();
    void failedCommandDropsTheRest();
    void stalledTransferEndsPromptly_data();
    void stalledTransferEndsPromptly();

private:
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

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

void tst_FtpRunner::initTestCase()
{
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
}

void tst_FtpRunner::runsQueuedCommandsInOrder()
{
    const QByteArray small = patternBytes(1000, 1);
    const QByteArray large = patternBytes(300000, 2); // several chunks
    QVERIFY(setUpdateFiles(*m_service, QStringLiteral("program"),
                           {{QStringLiteral("a.bin"), small}, {QStringLiteral("b.bin"), large}}));

    vbFtp ftp;
    QSignalSpy started(&ftp, &vbFtp::commandStarted);
    QSignalSpy finished(&ftp, &vbFtp::commandFinished);
    QSignalSpy progress(&ftp, &vbFtp::dataTransferProgress);
    QStringList listed; // sizes and kinds: tst_update's progress and folder checks
    connect(&ftp, &vbFtp::listInfo, this, [&](const vbFtpEntry& e) { listed.append(e.name); });

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QList<int> ids;
    ids << ftp.connectToHost(m_service->web(), quint16(m_service->ftpPort()));
    ids << ftp.login(QStringLiteral("updateclient"), QStringLiteral("tbnQrpowzxlmvkea"));
    ids << ftp.cd("update") << ftp.cd("program") << ftp.list();
    ids << ftp.get("b.bin", &buffer);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), ids.size(), 10000);

    QCOMPARE(firstArgs(started), ids);
    QCOMPARE(firstArgs(finished), ids);
    for (const QList<QVariant>& args : std::as_const(finished))
        QVERIFY2(!args.at(1).toBool(), qPrintable(ftp.errorString()));

    listed.sort();
    QCOMPARE(listed, QStringList({"a.bin", "b.bin"}));

    QCOMPARE(buffer.data(), large);
    QVERIFY(progress.size() > 1);
    qint64 last = 0;
    for (const QList<QVariant>& args : std::as_const(progress)) {
        QVERIFY(args.at(0).toLongLong() > last);
        last = args.at(0).toLongLong();
        QCOMPARE(args.at(1).toLongLong(), qint64(large.size()));
    }
    QCOMPARE(last, qint64(large.size()));
}

void tst_FtpRunner::failedCommandDropsTheRest_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("closedPort");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("failing"); // index of the command that fails

    QTest::newRow("nobody listening") << "" << true << QByteArray("a.bin") << 0;
    QTest::newRow("login refused") << "ftp_login" << false << QByteArray("a.bin") << 1;
    QTest::newRow("missing file") << "" << false << QByteArray("nosuch.bin") << 4;
}

void tst_FtpRunner::failedCommandDropsTheRest()
{
    QFETCH(QString, fault);
    QFETCH(bool, closedPort);
    QFETCH(QByteArray, file);
    QFETCH(int, failing);
    QVERIFY(setUpdateFiles(*m_service, QStringLiteral("program"), {{QStringLiteral("a.bin"), "abc"}}));
    QVERIFY(m_service->clearFaults());
    if (!fault.isEmpty())
        QVERIFY(m_service->injectFault({{"endpoint", fault}, {"kind", "refuse"}}));

    vbFtp ftp;
    QSignalSpy started(&ftp, &vbFtp::commandStarted);
    QSignalSpy finished(&ftp, &vbFtp::commandFinished);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QList<int> ids;
    ids << ftp.connectToHost(m_service->web(), closedPort ? ::closedPort() : quint16(m_service->ftpPort()));
    ids << ftp.login(QStringLiteral("updateclient"), QStringLiteral("tbnQrpowzxlmvkea"));
    ids << ftp.cd("update") << ftp.cd("program") << ftp.get(file, &buffer) << ftp.list();

    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), failing + 1, 10000);
    QCOMPARE(finished.last().at(0).toInt(), ids.at(failing));
    QVERIFY(finished.last().at(1).toBool());
    QVERIFY(!ftp.errorString().isEmpty());
    for (int i = 0; i < failing; ++i)
        QVERIFY(!finished.at(i).at(1).toBool());
    QVERIFY(!ftp.hasPendingCommands());

    // The runner goes on with new commands; the dropped ones never start.
    m_service->clearFaults();
    const int again = ftp.connectToHost(m_service->web(), quint16(m_service->ftpPort()));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), failing + 2, 10000);
    QCOMPARE(finished.last().at(0).toInt(), again);
    QVERIFY(!finished.last().at(1).toBool());
    QCOMPARE(firstArgs(started), ids.mid(0, failing + 1) << again);
    QCOMPARE(buffer.size(), qint64(0));
}

void tst_FtpRunner::stalledTransferEndsPromptly_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("abort") << "abort";
    QTest::newRow("time-out") << "timeout";
    QTest::newRow("runner destroyed") << "destroy";
}

void tst_FtpRunner::stalledTransferEndsPromptly()
{
    QFETCH(QString, how);
    QVERIFY(setUpdateFiles(
        *m_service, QStringLiteral("program"),
        {{QStringLiteral("big.bin"), patternBytes(100000, 3)}, {QStringLiteral("next.bin"), "next"}}));
    QVERIFY(m_service->clearFaults(true));
    QVERIFY(m_service->injectFault(retrFault(QStringLiteral("big.bin"), "stall", 5000)));
    auto ftp = std::make_unique<vbFtp>();
    if (how == QLatin1String("timeout"))
        ftp->setTimeout(300);
    QSignalSpy started(ftp.get(), &vbFtp::commandStarted);
    QSignalSpy finished(ftp.get(), &vbFtp::commandFinished);
    QSignalSpy progress(ftp.get(), &vbFtp::dataTransferProgress);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    auto enter = [&] {
        ftp->connectToHost(m_service->web(), quint16(m_service->ftpPort()));
        ftp->login(QStringLiteral("updateclient"), QStringLiteral("tbnQrpowzxlmvkea"));
        ftp->cd("update");
        ftp->cd("program");
    };
    enter();
    const int getId = ftp->get("big.bin", &buffer);
    const int nextId = ftp->get("next.bin", &second);
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toLongLong() == 5000, 10000);
    QCOMPARE(progress.last().at(1).toLongLong(), qint64(100000));

    QElapsedTimer timer;
    timer.start();
    if (how == QLatin1String("destroy")) {
        ftp.reset();
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        QTRY_VERIFY(updateFtpCommands(*m_service).contains(QStringLiteral("HANGUP RETR")));
        return;
    }
    if (how == QLatin1String("abort"))
        ftp->abort();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 5, 5000);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(finished.last().at(0).toInt(), getId);
    QVERIFY(finished.last().at(1).toBool());
    QVERIFY(!firstArgs(started).contains(nextId));
    QTRY_VERIFY(updateFtpCommands(*m_service).contains(QStringLiteral("HANGUP RETR")));
    QCOMPARE(buffer.size(), qint64(5000));

    // A new connection works afterwards.
    ftp->setTimeout(30000);
    enter();
    const int retry = ftp->get("next.bin", &second);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 10, 10000);
    QCOMPARE(finished.last().at(0).toInt(), retry);
    QVERIFY(!finished.last().at(1).toBool());
    QCOMPARE(second.data(), QByteArray("next"));
}

QTEST_GUILESS_MAIN(tst_FtpRunner)
#include "tst_ftprunner.moc"
