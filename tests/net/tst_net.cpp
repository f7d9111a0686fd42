// The network layer against the stand-in service: every blocking step of an
// FTP session ends by its deadline, and at once when aborted from another thread.
#include "vbFtpSession.h"
#include "vbSocketAborter.h"
#include "vbTestService.h"

#include <Poco/Exception.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTcpServer>
#include <QTest>

#include <chrono>
#include <future>

namespace {
const std::string kUser = velbrook::kDemoEmail;
const std::string kPassword = velbrook::kDemoPassword;
constexpr int kLongMs = 30000;
constexpr int kShortMs = 300;
} // namespace

class tst_Net : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
        // The file the download rows read.
        auto session = vbFtpSession::connect(m_service->wangtong(), m_service->ftpPort(), vbNetDeadlines());
        session->login(kUser, kPassword);
        session->beginUpload("net.bin");
        const QByteArray data(20000, 'n');
        session->sendData(data.constData(), int(data.size()));
        session->finishTransfer();
    }

    void everyStepEndsByDeadlineOrAbort_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QJsonObject>("injected"); // empty: a server that accepts and never speaks
        QTest::addColumn<QString>("command");      // the last command the service saw when it stalls
        QTest::addColumn<bool>("abort");           // else the deadline ends it
        QTest::addColumn<bool>("fails");           // the step throws (QUIT never does)

        for (const bool abort : {false, true}) {
            const char* how = abort ? "aborted" : "deadline";
            QTest::addRow("greeting, %s", how) << "greeting" << QJsonObject() << QString() << abort << true;
            QTest::addRow("send, %s", how)
                << "send" << vbTestService::fault("ftp_stor", "stall") << "STOR" << abort << true;
            QTest::addRow("reply to a stored file, %s", how)
                << "reply" << vbTestService::fault("ftp_stor", "stall") << "STOR" << abort << true;
            QTest::addRow("read, %s", how)
                << "read" << vbTestService::fault("ftp_retr", "stall", {{"bytes", 1000}}) << "RETR" << abort
                << true;
            QTest::addRow("QUIT, %s", how)
                << "quit" << vbTestService::fault("ftp_quit", "stall") << "QUIT" << abort << false;
        }
    }

    void everyStepEndsByDeadlineOrAbort()
    {
        QFETCH(QString, step);
        QFETCH(QJsonObject, injected);
        QFETCH(QString, command);
        QFETCH(bool, abort);
        QFETCH(bool, fails);
        QVERIFY(m_service->clearFaults(true));
        if (!injected.isEmpty())
            QVERIFY(m_service->injectFault(injected));
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QString host = injected.isEmpty() ? QStringLiteral("127.0.0.1") : m_service->wangtong();
        const int port = injected.isEmpty() ? silent.serverPort() : m_service->ftpPort();
        // QUIT has a deadline of its own, shorter than the other steps'.
        const vbNetDeadlines deadlines{abort || step == "quit" ? kLongMs : kShortMs,
                                       abort ? kLongMs : kShortMs};
        vbSocketAborter aborter;

        // Runs up to the withheld step; true when a step threw.
        auto run = [=, &aborter] {
            try {
                const std::unique_ptr<vbFtpSession> session =
                    vbFtpSession::connect(host, port, deadlines, &aborter);
                session->login(kUser, kPassword);
                if (step == "quit") {
                    session->closeSession();
                } else if (step == "read") {
                    session->beginDownload("net.bin");
                    char buffer[4096];
                    while (session->receiveData(buffer, sizeof buffer) > 0) {
                    }
                    session->finishTransfer();
                } else {
                    session->beginUpload("net-" + step.toStdString() + ".bin");
                    // Larger than every socket buffer, so the unread data connection blocks the send.
                    const QByteArray data(step == "send" ? 64 << 20 : 100, 'x');
                    session->sendData(data.constData(), int(data.size()));
                    session->finishTransfer();
                }
                return false;
            } catch (const Poco::Exception&) {
                return true;
            }
        };
        QElapsedTimer clock;
        clock.start();
        std::future<bool> ended = std::async(std::launch::async, run);
        if (abort) {
            if (command.isEmpty())
                QTRY_VERIFY(silent.hasPendingConnections());
            else
                QTRY_COMPARE(lastCommand(), command);
            clock.restart();
            aborter.abort();
        }
        QTRY_VERIFY_WITH_TIMEOUT(ended.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 10000);
        // The step's own wait, plus at most a short goodbye after it failed.
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ended.get(), fails);
    }

private:
    QString lastCommand()
    {
        // A hang-up is no command: an earlier case's stalled transfer may notice its client gone late.
        const QJsonArray log = m_service->state().value("ftp_log").toArray();
        for (qsizetype i = log.size() - 1; i >= 0; --i) {
            const QString command = log.at(i).toObject().value("cmd").toString();
            if (command != QLatin1String("HANGUP"))
                return command;
        }
        return QString();
    }

    std::unique_ptr<vbTestService> m_service;
};

QTEST_GUILESS_MAIN(tst_Net)
#include "tst_net.moc"
