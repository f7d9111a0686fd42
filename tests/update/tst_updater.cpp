#include "vbEndpoints.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTestService.h"
#include "vbUpdate.h"
#include "vbUpdateArea.h"
#include "vbUpdaterApp.h"
#include "vbVersionAnswer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

// The updater in-process (questions answered from a timer); the real program where none is asked.
class tst_Updater : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void versionAnswer_data();
    void versionAnswer();
    void comparesStoredAndLatest_data();
    void comparesStoredAndLatest();
    void troubledVersionAnswer_data();
    void troubledVersionAnswer();
    void realProgram_data();
    void realProgram();

private:
    enum Answer
    {
        NoAnswer,
        AnswerOk,
        AnswerCancel
    };
    // Answers the question box when it shows; records what it said.
    void answerQuestions(Answer answer);
    void writeIni(int httpPort, int ftpPort, const QString& storedVersion) const;
    QByteArray iniBytes() const;
    QString storedVersion() const;
    int mainProgramRuns() const;
    static quint16 closedPort();

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTimer m_answerer;
    Answer m_answer = NoAnswer;
    QStringList m_questions;
};

void tst_Updater::initTestCase()
{
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    m_answerer.setInterval(20);
    connect(&m_answerer, &QTimer::timeout, this, [this] {
        auto* update = qobject_cast<vbUpdate*>(QApplication::activeModalWidget());
        if (update && update->isVisible() && update->lblStatus->text() == QLatin1String("Download failed!")) {
            // A dialog that sits waiting after a failure is closed, so the test can say what went wrong.
            m_questions << QStringLiteral("<waiting dialog>");
            QTest::mouseClick(update->btnCancel, Qt::LeftButton);
            return;
        }
        auto* box = qobject_cast<vbMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        // A question nobody expected is recorded and declined, so the test fails instead of hanging.
        m_questions << box->label->text();
        QTest::mouseClick(m_answer == AnswerOk ? box->btnOK : box->btnCancel, Qt::LeftButton);
    });
}

void tst_Updater::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(m_service->clearFaults());
    QVERIFY(m_service->control("version", {{"version", "1.5"}}));
    m_questions.clear();
    m_answer = NoAnswer;
    // The main program stand-in records that it ran and in which folder.
    QFile f(m_dir->filePath(vbUpdaterApp::mainProgramName()));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"ran in $(pwd -P)\" >> ran.txt\n");
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser));
}

void tst_Updater::cleanup()
{
    m_answerer.stop();
    QDir::setCurrent(QDir::tempPath());
}

void tst_Updater::answerQuestions(Answer answer)
{
    m_answer = answer;
    m_answerer.start();
}

void tst_Updater::writeIni(int httpPort, int ftpPort, const QString& storedVersion) const
{
    QByteArray text =
        "[service]\r\nweb=127.0.0.1\r\nupdateftp=127.0.0.1\r\nhttpport=" + QByteArray::number(httpPort) +
        "\r\nftpport=" + QByteArray::number(ftpPort) + "\r\n";
    if (!storedVersion.isEmpty())
        text += "[version]\r\nver=" + storedVersion.toLatin1() + "\r\n";
    QFile f(m_dir->filePath("system.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray tst_Updater::iniBytes() const
{
    QFile f(m_dir->filePath("system.ini"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString tst_Updater::storedVersion() const
{
    QSettings ini(m_dir->filePath("system.ini"), QSettings::IniFormat);
    return ini.value("version/ver").toString();
}

int tst_Updater::mainProgramRuns() const
{
    QFile f(m_dir->filePath("ran.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = "ran in " + QDir(m_dir->path()).canonicalPath().toLocal8Bit() + '\n';
    return int(f.readAll().count(line));
}

quint16 tst_Updater::closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

void tst_Updater::versionAnswer_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("latest"); // empty: no answer
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";
    QTest::newRow("body with line end") << head + "2\r\n"
                                        << "2";
    QTest::newRow("the first blank line counts")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n0.9\r\n\r\n1.5") << "0.9";
    QTest::newRow("header not ended") << QByteArray("HTTP/1.1 200 OK\r\nContent-Len") << "";
    QTest::newRow("header only") << head << "";
    for (const char* body : {"<ht", "inf", "nan", "1e9", "-1.", "+15", "1.", "0x1", "1,5"})
        QTest::newRow(body) << head + body << "";
}

void tst_Updater::versionAnswer()
{
    QFETCH(QByteArray, received);
    QFETCH(QString, latest);
    QCOMPARE(vbVersionAnswer::parse(received).value_or(QString()), latest);
}

void tst_Updater::comparesStoredAndLatest_data()
{
    QTest::addColumn<QString>("stored"); // empty: no setting
    QTest::addColumn<QString>("served");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("storedAfter"); // empty: file untouched
    QTest::addColumn<bool>("downloadFails");  // the second file cannot be had

    QTest::newRow("1.0 vs 1.5, OK") << "1.0"
                                    << "1.5" << int(AnswerOk) << true << "1.5" << false;
    QTest::newRow("1.0 vs 1.5, Cancel") << "1.0"
                                        << "1.5" << int(AnswerCancel) << true << "1.5" << false;
    QTest::newRow("1.5 vs 1.5") << "1.5"
                                << "1.5" << int(NoAnswer) << false << "" << false;
    QTest::newRow("1.2 vs 1.25 read as 1.2") << "1.2"
                                             << "1.25" << int(NoAnswer) << false << "" << false;
    QTest::newRow("1.0 vs 1.25 stores 1.2") << "1.0"
                                            << "1.25" << int(AnswerCancel) << true << "1.2" << false;
    QTest::newRow("2.0 is stored as received") << "1.0"
                                               << "2.0" << int(AnswerCancel) << true << "2.0" << false;
    QTest::newRow("no number is no answer") << "1.0"
                                            << "abc" << int(NoAnswer) << false << "" << false;
    // A download that did not arrive is offered again at the next start.
    QTest::newRow("1.0 vs 1.5, OK, download fails") << "1.0"
                                                    << "1.5" << int(AnswerOk) << true << "" << true;
    // Left by older updaters: they must not silence every later offer.
    QTest::newRow("stored inf counts as 1.0") << "inf"
                                              << "1.5" << int(AnswerCancel) << true << "1.5" << false;
}

void tst_Updater::comparesStoredAndLatest()
{
    QFETCH(QString, stored);
    QFETCH(QString, served);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(QString, storedAfter);
    QFETCH(bool, downloadFails);
    const QByteArray program = patternBytes(700, 21);
    QVERIFY(
        setUpdateFiles(*m_service, "program", {{"readme.txt", "new readme"}, {"pixelvane.dat", program}}));
    if (downloadFails)
        QVERIFY(m_service->injectFault(retrFault("readme.txt", "refuse")));
    QVERIFY(m_service->control("version", {{"version", served}}));
    writeIni(m_service->httpPort(), m_service->ftpPort(), stored);
    const QByteArray before = iniBytes();

    answerQuestions(Answer(answer));
    QCOMPARE(vbUpdaterApp().run(), 0);

    QStringList questions;
    if (asked)
        questions << "Detected latest version.Do you want update now?";
    if (downloadFails) // told, and acknowledging it starts the main program
        questions << "Download failed!";
    QCOMPARE(m_questions, questions);
    if (storedAfter.isEmpty())
        QCOMPARE(iniBytes(), before);
    else
        QCOMPARE(storedVersion(), storedAfter);
    // Only OK downloads, into the current folder; a failed download leaves nothing.
    const bool downloaded = answer == AnswerOk && !downloadFails;
    QCOMPARE(QFile::exists(m_dir->filePath("readme.txt")), downloaded);
    QCOMPARE(QFile::exists(m_dir->filePath("pixelvane.dat")), downloaded);
    if (downloaded) {
        QFile f(m_dir->filePath("pixelvane.dat"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), program);
    }
    QCOMPARE(mainProgramRuns(), 1);
}

void tst_Updater::troubledVersionAnswer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    QTest::newRow("slow answer within the 5 s time-out is read") << "delay" << true << 300 << 4500;
    QTest::newRow("stalled service: given up after 5 s") << "stall" << false << 4500 << 9000;
    QTest::newRow("body after the header packet reads as none") << "split" << false << 0 << 4500;
}

void tst_Updater::troubledVersionAnswer()
{
    QFETCH(QString, fault);
    QFETCH(bool, asked);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);
    // "split": the body follows the header a second later; the updater reads once.
    QJsonObject spec{{"endpoint", "version"}, {"kind", fault}};
    if (fault != QLatin1String("stall"))
        spec.insert("ms", fault == QLatin1String("split") ? 1000 : 300);
    QVERIFY(m_service->injectFault(spec));
    writeIni(m_service->httpPort(), m_service->ftpPort(), "1.0");
    const QByteArray before = iniBytes();
    answerQuestions(AnswerCancel);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(vbUpdaterApp().run(), 0);
    QVERIFY2(timer.elapsed() >= minMs && timer.elapsed() < maxMs,
             qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(m_questions.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(storedVersion(), QStringLiteral("1.5"));
    else
        QCOMPARE(iniBytes(), before);
    QCOMPARE(mainProgramRuns(), 1);
}

namespace {

int runUpdaterProgram(const QString& folder, qint64* elapsedMs)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    p.start(qEnvironmentVariable("PV_BUILD_DIR") + "/update/updater", {});
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    *elapsedMs = timer.elapsed();
    return p.exitCode();
}

} // namespace

void tst_Updater::realProgram_data()
{
    QTest::addColumn<bool>("mainProgram");
    QTest::newRow("no service: main program starts at once") << true;
    QTest::newRow("no service, no main program") << false;
}

void tst_Updater::realProgram()
{
    QFETCH(bool, mainProgram);
    if (!mainProgram)
        QVERIFY(QFile::remove(m_dir->filePath(vbUpdaterApp::mainProgramName())));
    writeIni(closedPort(), closedPort(), "1.0");
    const QByteArray before = iniBytes();
    qint64 elapsed = 0;
    QCOMPARE(runUpdaterProgram(m_dir->path(), &elapsed), 0);
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    if (mainProgram)
        QCOMPARE(mainProgramRuns(), 1);
    else
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"system.ini"});
    QCOMPARE(iniBytes(), before);
}

QTEST_MAIN(tst_Updater)
#include "tst_updater.moc"
