#include "vbEndpoints.h"
#include "vbFakeFtpServer.h"
#include "vbFakeVersionServer.h"
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
#include <QTranslator>
#include <QtTest>

// The updater's steps in-process (the question answered from a timer), and
// the real program for the cases without a question.
class tst_Updater : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void versionRequestIsByteExact_data();
    void versionRequestIsByteExact();
    void versionAnswer_data();
    void versionAnswer();
    void comparesStoredAndLatest_data();
    void comparesStoredAndLatest();
    void slowAnswerWithinTimeoutIsRead();
    void headerAndBodyInTwoPacketsReadAsZero();
    void stalledServiceGivesUpAfterTimeout();
    void failedDownloadIsOfferedAgain();
    void realProgramWithoutService();
    void realProgramWithoutMainProgram_data();
    void realProgramWithoutMainProgram();
    void questionAndDownloadScreens_data();
    void questionAndDownloadScreens();

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
    void writeStub() const;
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
    writeStub();
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

void tst_Updater::writeStub() const
{
    // Records that it ran and in which folder.
    const QString path = m_dir->filePath(vbUpdaterApp::mainProgramName());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"ran in $(pwd -P)\" >> ran.txt\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser));
}

quint16 tst_Updater::closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

void tst_Updater::versionRequestIsByteExact_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("port 80")
        << 80 << QByteArray("GET /client2/getlatestversion_1.jsp HTTP/1.1\r\nHost:www.velbrook.cn\r\n\r\n");
    QTest::newRow("other port")
        << 8080
        << QByteArray("GET /client2/getlatestversion_1.jsp HTTP/1.1\r\nHost:www.velbrook.cn:8080\r\n\r\n");
}

void tst_Updater::versionRequestIsByteExact()
{
    QFETCH(int, port);
    vbEndpoints e;
    e.setWeb("www.velbrook.cn");
    e.setHttpPort(port);
    QTEST(vbUpdaterApp::versionRequest(e.hostWithPort(e.web())), "request");
}

void tst_Updater::versionAnswer_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("latest"); // empty: no answer
    // 1.5, 1.25, 2.0 and 123 are read end to end in comparesStoredAndLatest.
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

    QTest::newRow("1.0 vs 1.5, OK") << "1.0"
                                    << "1.5" << int(AnswerOk) << true << "1.5";
    QTest::newRow("1.0 vs 1.5, Cancel") << "1.0"
                                        << "1.5" << int(AnswerCancel) << true << "1.5";
    QTest::newRow("no setting means 1.0") << ""
                                          << "1.5" << int(AnswerCancel) << true << "1.5";
    QTest::newRow("1.5 vs 1.4") << "1.5"
                                << "1.4" << int(NoAnswer) << false << "";
    QTest::newRow("1.5 vs 1.5") << "1.5"
                                << "1.5" << int(NoAnswer) << false << "";
    QTest::newRow("1.2 vs 1.25 read as 1.2") << "1.2"
                                             << "1.25" << int(NoAnswer) << false << "";
    QTest::newRow("1.0 vs 1.25 stores 1.2") << "1.0"
                                            << "1.25" << int(AnswerCancel) << true << "1.2";
    QTest::newRow("2.0 is stored as received") << "1.0"
                                               << "2.0" << int(AnswerCancel) << true << "2.0";
    QTest::newRow("123 is stored as received") << "1.0"
                                               << "123" << int(AnswerCancel) << true << "123";
    QTest::newRow("123 stored is 123") << "123"
                                       << "123" << int(NoAnswer) << false << "";
    QTest::newRow("no number is no answer") << "1.0"
                                            << "abc" << int(NoAnswer) << false << "";
    QTest::newRow("inf is no answer") << "1.0"
                                      << "inf" << int(NoAnswer) << false << "";
    QTest::newRow("1e9 is no answer") << "1.0"
                                      << "1e9" << int(NoAnswer) << false << "";
    // Left by older updaters: they must not silence every later offer.
    QTest::newRow("stored inf counts as 1.0") << "inf"
                                              << "1.5" << int(AnswerCancel) << true << "1.5";
    QTest::newRow("stored 1.2e+02 counts as 1.0") << "1.2e+02"
                                                  << "1.5" << int(AnswerCancel) << true << "1.5";
}

void tst_Updater::comparesStoredAndLatest()
{
    QFETCH(QString, stored);
    QFETCH(QString, served);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(QString, storedAfter);
    const QByteArray program = patternBytes(700, 21);
    QVERIFY(
        setUpdateFiles(*m_service, "program", {{"readme.txt", "new readme"}, {"pixelvane.dat", program}}));
    QVERIFY(m_service->control("version", {{"version", served}}));
    writeIni(m_service->httpPort(), m_service->ftpPort(), stored);
    const QByteArray before = iniBytes();

    answerQuestions(Answer(answer));
    QCOMPARE(vbUpdaterApp().run(), 0);

    QCOMPARE(m_questions,
             asked ? QStringList{"Detected latest version.Do you want update now?"} : QStringList());
    if (storedAfter.isEmpty())
        QCOMPARE(iniBytes(), before);
    else
        QCOMPARE(storedVersion(), storedAfter);
    // Only OK downloads, into the current folder.
    const bool downloaded = answer == AnswerOk;
    QCOMPARE(QFile::exists(m_dir->filePath("readme.txt")), downloaded);
    if (downloaded) {
        QFile f(m_dir->filePath("pixelvane.dat"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), program);
    }
    QCOMPARE(mainProgramRuns(), 1);
}

void tst_Updater::slowAnswerWithinTimeoutIsRead()
{
    // 5 ms would give up on this; the 5 s time-out does not.
    QVERIFY(m_service->injectFault({{"endpoint", "version"}, {"kind", "delay"}, {"ms", 300}}));
    writeIni(m_service->httpPort(), m_service->ftpPort(), "1.0");
    answerQuestions(AnswerCancel);
    QCOMPARE(vbUpdaterApp().run(), 0);
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(storedVersion(), QStringLiteral("1.5"));
    QCOMPARE(mainProgramRuns(), 1);
}

void tst_Updater::headerAndBodyInTwoPacketsReadAsZero()
{
    vbFakeVersionServer server("1.5");
    writeIni(server.port(), m_service->ftpPort(), "1.0");
    const QByteArray before = iniBytes();
    answerQuestions(AnswerOk);
    QCOMPARE(vbUpdaterApp().run(), 0);
    QCOMPARE(m_questions, QStringList());
    QCOMPARE(iniBytes(), before);
    QCOMPARE(mainProgramRuns(), 1);
    QCOMPARE(server.requests(),
             QList<QByteArray>{"GET /client2/getlatestversion_1.jsp HTTP/1.1\r\nHost:127.0.0.1:" +
                               QByteArray::number(server.port()) + "\r\n\r\n"});
}

void tst_Updater::failedDownloadIsOfferedAgain()
{
    // The second listed file is not there: the download fails after the first arrived.
    vbFakeFtpServer ftp;
    ftp.setListing("-rw-r--r--   1 ftp ftp 700 Jan 05 12:34 pixelvane.dat\r\n"
                   "-rw-r--r--   1 ftp ftp 9 Jan 05 12:34 readme.txt\r\n");
    ftp.addFile("pixelvane.dat", patternBytes(700, 24));
    writeIni(m_service->httpPort(), ftp.port(), "1.0");
    const QByteArray before = iniBytes();

    answerQuestions(AnswerOk);
    QCOMPARE(vbUpdaterApp().run(), 0);
    // The failure is told, and acknowledging it starts the main program.
    QCOMPARE(m_questions,
             QStringList({"Detected latest version.Do you want update now?", "Download failed!"}));
    QCOMPARE(iniBytes(), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList({vbUpdaterApp::mainProgramName(), "ran.txt", "system.ini"}));
    QCOMPARE(mainProgramRuns(), 1);
}

void tst_Updater::stalledServiceGivesUpAfterTimeout()
{
    QVERIFY(m_service->injectFault({{"endpoint", "version"}, {"kind", "stall"}}));
    writeIni(m_service->httpPort(), m_service->ftpPort(), "1.0");
    const QByteArray before = iniBytes();
    answerQuestions(AnswerOk);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(vbUpdaterApp().run(), 0);
    QVERIFY2(timer.elapsed() >= 4500 && timer.elapsed() < 9000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(m_questions, QStringList());
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

void tst_Updater::realProgramWithoutService()
{
    writeIni(closedPort(), closedPort(), "1.0");
    const QByteArray before = iniBytes();
    qint64 elapsed = 0;
    QCOMPARE(runUpdaterProgram(m_dir->path(), &elapsed), 0);
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(mainProgramRuns(), 1);
    QCOMPARE(iniBytes(), before);
}

void tst_Updater::realProgramWithoutMainProgram_data()
{
    QTest::addColumn<bool>("service");
    QTest::newRow("service up, nothing new") << true;
    QTest::newRow("no service") << false;
}

void tst_Updater::realProgramWithoutMainProgram()
{
    QFETCH(bool, service);
    QVERIFY(QFile::remove(m_dir->filePath(vbUpdaterApp::mainProgramName())));
    if (service)
        writeIni(m_service->httpPort(), m_service->ftpPort(), "1.5");
    else
        writeIni(closedPort(), closedPort(), "1.0");
    qint64 elapsed = 0;
    QCOMPARE(runUpdaterProgram(m_dir->path(), &elapsed), 0);
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"system.ini"});
}

void tst_Updater::questionAndDownloadScreens_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("downloading");
    QTest::newRow("en") << "en"
                        << "Detected latest version.Do you want update now?"
                        << "Download files";
    QTest::newRow("zh") << "zh" << QString::fromUtf8("检测到最新版本。您要现在更新吗？")
                        << QString::fromUtf8("正在下载文件");
}

void tst_Updater::questionAndDownloadScreens()
{
    QFETCH(QString, language);
    QFETCH(QString, question);
    QFETCH(QString, downloading);
    QTranslator translator;
    if (language == QLatin1String("zh")) {
        QVERIFY(translator.load(qEnvironmentVariable("PV_BUILD_DIR") + "/tr/quillmere_zh.qm"));
        QCoreApplication::installTranslator(&translator);
    }
    const QString shots = qEnvironmentVariable("PV_BUILD_DIR") + "/screenshots/update";
    QVERIFY(QDir().mkpath(shots));

    // The download stalls half-way, so the bar stands in the middle.
    vbFakeFtpServer ftp;
    ftp.setListing("-rw-r--r--   1 ftp ftp 60000 Jan 05 12:34 pixelvane.dat\r\n"
                   "-rw-r--r--   1 ftp ftp 40000 Jan 05 12:34 readme.txt\r\n");
    ftp.addFile("pixelvane.dat", patternBytes(60000, 22));
    ftp.addFile("readme.txt", patternBytes(40000, 23));
    ftp.setStallAfter(50000);
    writeIni(m_service->httpPort(), ftp.port(), "1.0");

    QString seenQuestion;
    QString seenStatus;
    QList<int> seenValues;
    QTimer driver;
    driver.setInterval(20);
    connect(&driver, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<vbMessageBox*>(modal); box && box->isVisible()) {
            seenQuestion = box->label->text();
            box->grab().save(shots + "/question_" + language + ".png");
            QTest::mouseClick(box->btnOK, Qt::LeftButton);
        } else if (auto* update = qobject_cast<vbUpdate*>(modal); update && update->isVisible()) {
            const int value = update->progressBar->value();
            if (!seenValues.contains(value))
                seenValues << value;
            if (ftp.stalled() && value == 50000) {
                seenStatus = update->lblStatus->text();
                update->grab().save(shots + "/download_" + language + ".png");
                QTest::mouseClick(update->btnCancel, Qt::LeftButton);
            }
        }
    });
    driver.start();
    QCOMPARE(vbUpdaterApp().run(), 0);
    driver.stop();
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(seenQuestion, question);
    QCOMPARE(seenStatus, downloading);
    QCOMPARE(seenValues.last(), 50000);
    // A cancelled download is offered again at the next start.
    QCOMPARE(storedVersion(), QStringLiteral("1.0"));
    QCOMPARE(mainProgramRuns(), 1);
    QVERIFY(QFile::exists(shots + "/question_" + language + ".png"));
    QVERIFY(QFile::exists(shots + "/download_" + language + ".png"));
}

QTEST_MAIN(tst_Updater)
#include "tst_updater.moc"
