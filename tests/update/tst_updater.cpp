#include "vbModalAnswer.h"
#include "vbTestPhotos.h"
#include "vbTestService.h"
#include "vbUpdate.h"
#include "vbUpdateArea.h"
#include "vbUpdaterApp.h"
#include "vbVersionAnswer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Questions are answered as listed; the download dialog runs on its own, any other dialog is declined.
void declineQuestions(QWidget* dialog)
{
    if (!qobject_cast<vbUpdate*>(dialog))
        vbModalAnswer::reject(dialog);
}
} // namespace

// The updater in-process (questions answered as a user would); the real program where none is asked.
class tst_Updater : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QVERIFY(m_service->clearFaults());
        QVERIFY(m_service->control("version", {{"version", "1.5"}}));
        // The main program stand-in records that it ran and in which folder.
        const QString program = m_dir->filePath(vbUpdaterApp::mainProgramName());
        QVERIFY(vbTestPhotos::writeFile(program, "#!/bin/sh\necho \"ran in $(pwd -P)\" >> ran.txt\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void versionAnswer_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QString>("latest"); // empty: no answer
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";
        QTest::newRow("body with line end") << QByteArray(head + "2\r\n") << "2";
        QTest::newRow("the first blank line counts")
            << QByteArray("HTTP/1.1 200 OK\r\n\r\n0.9\r\n\r\n1.5") << "0.9";
        QTest::newRow("header not ended") << QByteArray("HTTP/1.1 200 OK\r\nContent-Len") << "";
        QTest::newRow("header only") << head << "";
        for (const char* body : {"<ht", "inf", "nan", "1e9", "-1.", "+15", "1.", "0x1", "1,5"})
            QTest::newRow(body) << head + body << "";
    }

    void versionAnswer()
    {
        QFETCH(QByteArray, received);
        QFETCH(QString, latest);
        QCOMPARE(vbVersionAnswer::parse(received).value_or(QString()), latest);
    }

    void comparesStoredAndLatest_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no setting
        QTest::addColumn<QString>("served");
        QTest::addColumn<QByteArray>("answer");   // the button pressed on the offer; empty: no offer
        QTest::addColumn<QString>("storedAfter"); // empty: file untouched
        QTest::addColumn<bool>("downloadFails");  // the second file cannot be had
        QTest::addColumn<QJsonObject>("versionFault");

        const auto row = [](const char* name, const char* stored, const char* served, const char* answer,
                            const char* storedAfter, bool downloadFails = false,
                            const QJsonObject& fault = {}) {
            QTest::newRow(name) << stored << served << QByteArray(answer) << storedAfter << downloadFails
                                << fault;
        };
        row("1.0 vs 1.5, OK", "1.0", "1.5", "btnOK", "1.5");
        row("1.5 vs 1.5", "1.5", "1.5", "", "");
        row("1.2 vs 1.25 read as 1.2", "1.2", "1.25", "", "");
        row("1.0 vs 1.25 stores 1.2", "1.0", "1.25", "btnCancel", "1.2");
        row("2.0 is stored as received", "1.0", "2.0", "btnCancel", "2.0");
        // A download that did not arrive is offered again at the next start.
        row("1.0 vs 1.5, OK, download fails", "1.0", "1.5", "btnOK", "", true);
        // Left by older updaters: they must not silence every later offer.
        row("stored inf counts as 1.0", "inf", "1.5", "btnCancel", "1.5");
        // The version request has a time-out of 5 s; the updater reads the answer once.
        row("slow answer within the time-out is read", "1.0", "1.5", "btnCancel", "1.5", false,
            vbTestService::fault("version", "delay", {{"ms", 300}}));
        row("stalled service: given up", "1.0", "1.5", "", "", false,
            vbTestService::fault("version", "stall"));
        row("body after the header packet reads as none", "1.0", "1.5", "", "", false,
            vbTestService::fault("version", "split", {{"ms", 1000}}));
    }

    void comparesStoredAndLatest()
    {
        QFETCH(QString, stored);
        QFETCH(QString, served);
        QFETCH(QByteArray, answer);
        QFETCH(QString, storedAfter);
        QFETCH(bool, downloadFails);
        QFETCH(QJsonObject, versionFault);
        const QByteArray program = patternBytes(700, 21);
        QVERIFY(setUpdateFiles(*m_service, "program",
                               {{"readme.txt", "new readme"}, {"pixelvane.dat", program}}));
        if (downloadFails)
            QVERIFY(m_service->injectFault(retrFault("readme.txt", "refuse")));
        QVERIFY(m_service->control("version", {{"version", served}}));
        if (!versionFault.isEmpty())
            QVERIFY(m_service->injectFault(versionFault));
        writeIni(m_service->httpPort(), m_service->ftpPort(), stored);
        const QByteArray before = iniBytes();

        vbModalAnswer answers(declineQuestions);
        if (!answer.isEmpty())
            answers.expect("vbMessageBox", vbModalAnswer::press(answer.constData()));
        if (downloadFails) // told, and acknowledging it starts the main program
            answers.expect("vbMessageBox");
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(vbUpdaterApp().run(), 0);
        QVERIFY2(timer.elapsed() < 9000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(answers.pending(), 0);
        QCOMPARE(answers.unexpected().filter("vbMessageBox"), QStringList());
        if (storedAfter.isEmpty())
            QCOMPARE(iniBytes(), before);
        else
            QCOMPARE(QSettings(m_dir->filePath("system.ini"), QSettings::IniFormat)
                         .value("version/ver")
                         .toString(),
                     storedAfter);
        // Only OK downloads, into the current folder; a failed download leaves nothing.
        const bool downloaded = answer == "btnOK" && !downloadFails;
        QCOMPARE(QFile::exists(m_dir->filePath("readme.txt")), downloaded);
        QCOMPARE(vbTestPhotos::readFile(m_dir->filePath("pixelvane.dat")),
                 downloaded ? program : QByteArray());
        QCOMPARE(mainProgramRuns(), 1);
    }

    void realProgram_data()
    {
        QTest::addColumn<bool>("mainProgram");
        QTest::newRow("no service: main program starts at once") << true;
        QTest::newRow("no service, no main program") << false;
    }

    void realProgram()
    {
        QFETCH(bool, mainProgram);
        if (!mainProgram)
            QVERIFY(QFile::remove(m_dir->filePath(vbUpdaterApp::mainProgramName())));
        writeIni(closedPort(), closedPort(), "1.0");
        const QByteArray before = iniBytes();
        QProcess updater;
        updater.setWorkingDirectory(m_dir->path());
        QElapsedTimer timer;
        timer.start();
        updater.start(qEnvironmentVariable("PV_BUILD_DIR") + "/update/updater", {});
        QVERIFY(updater.waitForFinished(20000));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(updater.exitStatus(), QProcess::NormalExit);
        QCOMPARE(updater.exitCode(), 0);
        if (mainProgram)
            QCOMPARE(mainProgramRuns(), 1);
        else
            QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"system.ini"});
        QCOMPARE(iniBytes(), before);
    }

private:
    void writeIni(int httpPort, int ftpPort, const QString& storedVersion) const
    {
        QByteArray text =
            "[service]\r\nweb=127.0.0.1\r\nupdateftp=127.0.0.1\r\nhttpport=" + QByteArray::number(httpPort) +
            "\r\nftpport=" + QByteArray::number(ftpPort) + "\r\n";
        if (!storedVersion.isEmpty())
            text += "[version]\r\nver=" + storedVersion.toLatin1() + "\r\n";
        QVERIFY(vbTestPhotos::writeFile(m_dir->filePath("system.ini"), text));
    }

    QByteArray iniBytes() const { return vbTestPhotos::readFile(m_dir->filePath("system.ini")); }

    int mainProgramRuns() const
    {
        const QByteArray line = "ran in " + QDir(m_dir->path()).canonicalPath().toLocal8Bit() + '\n';
        return int(vbTestPhotos::readFile(m_dir->filePath("ran.txt")).count(line));
    }

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(tst_Updater)
#include "tst_updater.moc"
