#include "vbEndpoints.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTestService.h"
#include "vbUpdate.h"
#include "vbUpdateArea.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

// The update download dialog against the stand-in service's update area.
class tst_Update : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void downloadsWithProgressAndSwapsIn_data();
    void downloadsWithProgressAndSwapsIn();
    void emptyFolderClosesAtOnce();
    void failureIsAcknowledgedAndLeavesNothing_data();
    void failureIsAcknowledgedAndLeavesNothing();
    void cancelDuringDownloadLeavesNothing_data();
    void cancelDuringDownloadLeavesNothing();
    void renameThatCannotHappenKeepsOldFile();
    void refusesNamesOutsideTarget();

private:
    QString target(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<QTemporaryDir> m_dir;
    vbEndpoints m_endpoints;
};

namespace {

// Runs the dialog without a nested event loop; the test goes on while it is open.
struct OpenDialog
{
    explicit OpenDialog(vbUpdate* d) : dialog(d), finished(d, &QDialog::finished) { dialog->open(); }
    bool waitFinished(int ms = 10000) { return !finished.isEmpty() || finished.wait(ms); }
    int result() const { return finished.isEmpty() ? -1 : finished.first().at(0).toInt(); }
    vbUpdate* dialog;
    QSignalSpy finished;
};

QString status(const vbUpdate& d)
{
    return d.lblStatus->text();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The failure message the dialog shows, once it is up.
vbMessageBox* failureBox(const vbUpdate& d)
{
    for (auto* box : d.findChildren<vbMessageBox*>()) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

void tst_Update::initTestCase()
{
    m_service = std::make_unique<vbTestService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
}

void tst_Update::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(m_service->clearFaults(true));
    m_endpoints.setUpdateFtp(m_service->web());
    m_endpoints.setFtpPort(m_service->ftpPort());
}

void tst_Update::cleanup()
{
    QDir::setCurrent(QDir::tempPath());
}

void tst_Update::downloadsWithProgressAndSwapsIn_data()
{
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QString>("targetFolder"); // relative to the temporary folder; empty: current folder
    QTest::newRow("program into the current folder") << "program"
                                                     << "";
    QTest::newRow("elements into a new dated folder") << "element"
                                                      << "Elements/2026-12-06";
}

void tst_Update::downloadsWithProgressAndSwapsIn()
{
    QFETCH(QString, remote);
    QFETCH(QString, targetFolder);
    const QByteArray a = patternBytes(1000, 11);
    const QByteArray b = patternBytes(3000, 12);
    QVERIFY(setUpdateFiles(*m_service, remote, {{"a.bin", a}, {"b.bin", b}}));
    QVERIFY(QDir().mkpath(m_service->stateDir() + "/ftp/updateclient/update/" + remote + "/folder"));
    QDir::setCurrent(m_dir->path());
    const QString oldA = targetFolder.isEmpty() ? target("a.bin") : QString();
    const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    if (!oldA.isEmpty()) {
        // A program file replaced stays executable; a ".tmp" left by an interrupted run is no obstacle.
        QVERIFY(writeFile(oldA, "old program") && QFile::setPermissions(oldA, executable));
        QVERIFY(writeFile(oldA + ".tmp", "stale"));
    }

    vbUpdate dialog(remote, targetFolder.isEmpty() ? QString() : target(targetFolder), m_endpoints);
    QList<int> values;
    connect(dialog.progressBar, &QProgressBar::valueChanged, this, [&](int v) { values.append(v); });
    OpenDialog run(&dialog);
    QVERIFY(run.waitFinished());

    QCOMPARE(run.result(), 1);
    QVERIFY(dialog.completed());
    QCOMPARE(status(dialog), QStringLiteral("Download Complete"));
    QCOMPARE(dialog.progressBar->maximum(), 4000);
    // One value per file: the second continues from the first.
    QVERIFY2(values == QList<int>({1000, 4000}) || values == QList<int>({3000, 4000}),
             QTest::toString(values));
    const QDir out(targetFolder.isEmpty() ? m_dir->path() : target(targetFolder));
    QCOMPARE(readFile(out.filePath("a.bin")), a);
    QCOMPARE(readFile(out.filePath("b.bin")), b);
    QCOMPARE(out.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"a.bin", "b.bin"}));
    if (!oldA.isEmpty())
        QCOMPARE(QFile::permissions(oldA) & executable, executable);
}

void tst_Update::emptyFolderClosesAtOnce()
{
    QVERIFY(setUpdateFiles(*m_service, "element", {}));
    QVERIFY(QDir().mkpath(m_service->stateDir() + "/ftp/updateclient/update/element/only-a-folder"));
    vbUpdate dialog("element", target("Elements/today"), m_endpoints);
    OpenDialog run(&dialog);
    QVERIFY(run.waitFinished());
    QCOMPARE(run.result(), 1);
    QCOMPARE(status(dialog), QStringLiteral("No files to download.Click cancel to continue!"));
    QVERIFY(dialog.completed());
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void tst_Update::failureIsAcknowledgedAndLeavesNothing_data()
{
    QTest::addColumn<bool>("secondFileMissing"); // else the login is refused
    QTest::newRow("login refused") << false;
    // The first file arrives whole, the second cannot be had: neither may stay.
    QTest::newRow("second file refused") << true;
}

void tst_Update::failureIsAcknowledgedAndLeavesNothing()
{
    QFETCH(bool, secondFileMissing);
    QVERIFY(setUpdateFiles(*m_service, "program", {{"a.bin", patternBytes(3000, 17)}, {"b.bin", "new b"}}));
    if (secondFileMissing)
        QVERIFY(m_service->injectFault(retrFault("b.bin", "refuse")));
    else
        QVERIFY(m_service->injectFault({{"endpoint", "ftp_login"}, {"kind", "refuse"}}));
    QVERIFY(writeFile(target("a.bin"), "old a"));

    vbUpdate dialog("program", m_dir->path(), m_endpoints);
    OpenDialog run(&dialog);
    QTRY_VERIFY_WITH_TIMEOUT(failureBox(dialog), 10000);
    QCOMPARE(status(dialog), QStringLiteral("Download failed!"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"a.bin"});
    QCOMPARE(readFile(target("a.bin")), QByteArray("old a"));
    QTest::mouseClick(failureBox(dialog)->btnOK, Qt::LeftButton);
    QVERIFY(run.waitFinished(1000));
    QCOMPARE(run.result(), 1);
    QVERIFY(!dialog.completed());
}

void tst_Update::cancelDuringDownloadLeavesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Escape key") << "escape";
}

void tst_Update::cancelDuringDownloadLeavesNothing()
{
    QFETCH(QString, how);
    QVERIFY(setUpdateFiles(*m_service, "program",
                           {{"big.bin", patternBytes(100000, 13)}, {"small.bin", "tiny"}}));
    QVERIFY(m_service->injectFault(retrFault("big.bin", "stall", 5000)));

    vbUpdate dialog("program", m_dir->path(), m_endpoints);
    OpenDialog run(&dialog);
    // "small.bin" may come first; "big.bin" stalls after 5000 bytes.
    QTRY_VERIFY_WITH_TIMEOUT(dialog.progressBar->value() == 5000 || dialog.progressBar->value() == 5004,
                             10000);
    QCOMPARE(dialog.progressBar->maximum(), 100004);

    if (how == QLatin1String("button"))
        QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    else
        QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(run.waitFinished(0));
    QCOMPARE(run.result(), 0);
    QVERIFY(!dialog.completed());
    // The transfer really stops: the server sees the client hang up.
    QTRY_VERIFY_WITH_TIMEOUT(updateFtpCommands(*m_service).contains("HANGUP RETR"), 2000);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void tst_Update::renameThatCannotHappenKeepsOldFile()
{
    const QByteArray newA = patternBytes(1500, 15);
    const QByteArray newB = patternBytes(500, 16);
    QVERIFY(setUpdateFiles(*m_service, "program", {{"a.bin", newA}, {"b.bin", newB}}));
    QVERIFY(writeFile(target("a.bin"), "old a"));
    // "a.bin" cannot be moved aside: a folder holds the name it would take.
    QVERIFY(QDir().mkpath(target("a.bin.tmp")));
    QVERIFY(writeFile(target("a.bin.tmp/keep"), "x"));
    QVERIFY(writeFile(target("b.bin"), "old b"));

    vbUpdate dialog("program", m_dir->path(), m_endpoints);
    OpenDialog run(&dialog);
    QVERIFY(run.waitFinished());
    QCOMPARE(run.result(), 1);
    QCOMPARE(status(dialog), QStringLiteral("Download Complete"));
    // Not swapped in, so the update is not done.
    QVERIFY(!dialog.completed());
    QCOMPARE(readFile(target("a.bin")), QByteArray("old a"));
    QCOMPARE(readFile(target("a.bin.newVersion")), newA);
    QCOMPARE(readFile(target("a.bin.tmp/keep")), QByteArray("x"));
    QCOMPARE(readFile(target("b.bin")), newB);
    QVERIFY(!QFile::exists(target("b.bin.tmp")));
    QVERIFY(!QFile::exists(target("b.bin.newVersion")));
}

void tst_Update::refusesNamesOutsideTarget()
{
    // Names with a slash are no listing lines at all (see tst_ftplistparser); a backslash and a
    // folder reach the downloader's own check.
    QVERIFY(setUpdateFiles(*m_service, "program", {{"..\\evil2", "EVIL"}, {"good.txt", "good"}}));
    QVERIFY(QDir().mkpath(m_service->stateDir() + "/ftp/updateclient/update/program/folder"));
    const QString inside = target("inside");
    QVERIFY(QDir().mkpath(inside));
    QTest::ignoreMessage(QtWarningMsg, "vbUpdate: refusing listed name \"..\\\\evil2\"");

    vbUpdate dialog("program", inside, m_endpoints);
    OpenDialog run(&dialog);
    QVERIFY(run.waitFinished());
    QCOMPARE(run.result(), 1);
    QCOMPARE(dialog.progressBar->maximum(), 4);
    QCOMPARE(QDir(inside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"good.txt"});
    QCOMPARE(readFile(inside + "/good.txt"), QByteArray("good"));
    // Nothing beside the target folder either, and only the good file was asked for.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"inside"});
    QCOMPARE(updateFtpCommands(*m_service).filter(QStringLiteral("RETR")), QStringList{"RETR good.txt"});
}

QTEST_MAIN(tst_Update)
#include "tst_update.moc"
