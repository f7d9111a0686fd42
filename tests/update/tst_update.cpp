#include "vbFtp.h"
#include "vbModalAnswer.h"
#include "vbPushButton.h"
#include "vbTestPhotos.h"
#include "vbTestService.h"
#include "vbUpdate.h"
#include "vbUpdateArea.h"

#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QtTest>

using Files = QMap<QString, QByteArray>; // relative path -> content; a folder ends in '/'

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

const QFile::Permissions kExecutable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                       QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
} // namespace

// The update download dialog and its FTP runner against the stand-in service's update area.
class tst_Update : public QObject
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
        QVERIFY(m_service->clearFaults(true));
        // What the failure, cancel and runner cases fetch; a download case sets its own.
        QVERIFY(
            setUpdateFiles(*m_service, "program", {{"a.bin", patternBytes(100000, 17)}, {"b.bin", "new b"}}));
    }

    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void downloadsAndSwapsIn_data()
    {
        QTest::addColumn<Files>("remote");         // besides a folder, which is skipped
        QTest::addColumn<QString>("targetFolder"); // empty: the current folder
        QTest::addColumn<Files>("before");         // local files; they are executable
        QTest::addColumn<Files>("after");
        QTest::addColumn<int>("total"); // bytes to download: the progress bar's end
        QTest::addColumn<bool>("completed");

        const QByteArray a = patternBytes(1000, 11);
        const QByteArray b = patternBytes(300000, 12); // several chunks
        const Files ab{{"a.bin", a}, {"b.bin", b}};
        // A ".tmp" left by an interrupted run is no obstacle.
        QTest::newRow("program into the current folder")
            << ab << "" << Files{{"a.bin", "old program"}, {"a.bin.tmp", "stale"}} << ab << 301000 << true;
        QTest::newRow("elements into a new dated folder") << ab << "Elements/2026-12-06" << Files()
                                                          << Files{{"Elements/", ""},
                                                                   {"Elements/2026-12-06/", ""},
                                                                   {"Elements/2026-12-06/a.bin", a},
                                                                   {"Elements/2026-12-06/b.bin", b}}
                                                          << 301000 << true;
        QTest::newRow("nothing to download")
            << Files() << "Elements/today" << Files() << Files() << 0 << true;
        // "a.bin" cannot be moved aside: a folder holds the name it would take. Not swapped in, not done.
        const Files blocked{
            {"a.bin", "old a"}, {"a.bin.tmp/", ""}, {"a.bin.tmp/keep", "x"}, {"b.bin", "old b"}};
        Files kept = blocked;
        kept.insert("a.bin.newVersion", a);
        kept.insert("b.bin", b);
        QTest::newRow("old file that cannot be moved aside is kept")
            << ab << "" << blocked << kept << 301000 << false;
        // Names with a slash are no listing lines at all (see tst_ftplistparser); a backslash reaches the
        // downloader's own check. Nothing lands beside the target folder either.
        QTest::newRow("name outside the target refused")
            << Files{{"..\\evil2", "EVIL"}, {"good.txt", "good"}} << "inside" << Files()
            << Files{{"inside/", ""}, {"inside/good.txt", "good"}} << 4 << true;
    }

    void downloadsAndSwapsIn()
    {
        QFETCH(Files, remote);
        QFETCH(QString, targetFolder);
        QFETCH(Files, before);
        QFETCH(int, total);
        const QString folder = targetFolder.startsWith("Elements") ? "element" : "program"; // remote folder
        QVERIFY(setUpdateFiles(*m_service, folder, remote));
        QVERIFY(QDir().mkpath(m_service->stateDir() + "/ftp/updateclient/update/" + folder + "/folder"));
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.key().endsWith('/'))
                QVERIFY(QDir().mkpath(target(it.key())));
            else
                QVERIFY(vbTestPhotos::writeFile(target(it.key()), it.value()) &&
                        QFile::setPermissions(target(it.key()), kExecutable));
        }
        if (remote.contains("..\\evil2"))
            QTest::ignoreMessage(QtWarningMsg, "vbUpdate: refusing listed name \"..\\\\evil2\"");
        QDir::setCurrent(m_dir->path());

        vbUpdate dialog(folder, targetFolder.isEmpty() ? QString() : target(targetFolder),
                        m_service->endpoints());
        QList<int> values;
        connect(dialog.progressBar, &QProgressBar::valueChanged, this, [&](int v) { values.append(v); });
        OpenDialog run(&dialog);
        QVERIFY(run.waitFinished());

        QCOMPARE(run.result(), 1);
        QTEST(dialog.completed(), "completed");
        QTEST(localFiles(), "after");
        if (total > 0) {
            QCOMPARE(dialog.progressBar->maximum(), total);
            QCOMPARE(values.last(), total);
        }
        // A program file replaced stays executable.
        for (const QString& name : before.keys()) {
            if (!name.endsWith('/') && QFile::exists(target(name)))
                QCOMPARE(QFile::permissions(target(name)) & kExecutable, kExecutable);
        }
    }

    void failureOrCancelLeavesNothing_data()
    {
        QTest::addColumn<QJsonObject>("injected");
        QTest::addColumn<QString>("how"); // the failure is acknowledged, or the stalled download cancelled
        // The first file arrives whole, the second cannot be had: neither may stay.
        QTest::newRow("second file refused") << retrFault("b.bin", "refuse") << "acknowledge";
        QTest::newRow("Cancel button") << retrFault("a.bin", "stall", 5000) << "button";
        QTest::newRow("Escape key") << retrFault("a.bin", "stall", 5000) << "escape";
    }

    void failureOrCancelLeavesNothing()
    {
        QFETCH(QJsonObject, injected);
        QFETCH(QString, how);
        QVERIFY(m_service->injectFault(injected));
        QVERIFY(vbTestPhotos::writeFile(target("a.bin"), "old a"));

        Files whileTold;
        // The failure message is acknowledged; the download dialog itself is left to the test.
        vbModalAnswer answers([](QWidget* d) {
            if (!qobject_cast<vbUpdate*>(d))
                vbModalAnswer::reject(d);
        });
        answers.expect("vbMessageBox", [&](QWidget* box) {
            whileTold = localFiles();
            vbModalAnswer::press("btnOK")(box);
        });
        vbUpdate dialog("program", m_dir->path(), m_service->endpoints());
        OpenDialog run(&dialog);
        if (how == QLatin1String("acknowledge")) {
            QVERIFY(run.waitFinished());
            QCOMPARE(run.result(), 1);
            QCOMPARE(whileTold, Files({{"a.bin", "old a"}}));
        } else {
            // "a.bin" stalls after 5000 bytes; "b.bin" may come first.
            QTRY_VERIFY_WITH_TIMEOUT(dialog.progressBar->value() >= 5000, 10000);
            if (how == QLatin1String("button"))
                QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(run.waitFinished(0));
            QCOMPARE(run.result(), 0);
            // The transfer really stops: the server sees the client hang up.
            QTRY_VERIFY_WITH_TIMEOUT(updateFtpCommands(*m_service).contains("HANGUP RETR"), 2000);
        }
        QVERIFY(!dialog.completed());
        QCOMPARE(localFiles(), Files({{"a.bin", "old a"}}));
    }

    // The FTP command runner under the dialog: QFtp's error semantics and a stalled download's end.
    // Order, listing, data and progress show in the downloads above, an abort in Cancel.
    void runnerFailureDropsTheRest_data()
    {
        QTest::addColumn<QJsonObject>("injected");
        QTest::addColumn<bool>("closedPort");
        QTest::addColumn<int>("failing");     // index of the command that fails: connect, login, cd, cd, get
        QTest::addColumn<qint64>("received"); // bytes of the failed download written before the end

        QTest::newRow("nobody listening") << QJsonObject() << true << 0 << qint64(0);
        QTest::newRow("login refused")
            << vbTestService::fault("ftp_login", "refuse") << false << 1 << qint64(0);
        QTest::newRow("download refused") << retrFault("a.bin", "refuse") << false << 4 << qint64(0);
        // Only the runner's time-out ends this one: the service keeps the data connection open.
        QTest::newRow("download stalls") << retrFault("a.bin", "stall", 5000) << false << 4 << qint64(5000);
    }

    void runnerFailureDropsTheRest()
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
                               << ftp.get("a.bin", &buffer) << ftp.get("b.bin", &second);
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
        const QList<int> again = enter(ftp) << ftp.get("b.bin", &second);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), failing + 1 + again.size(), 10000);
        QVERIFY2(!finished.last().at(1).toBool(), qPrintable(ftp.errorString()));
        QList<int> startedIds;
        for (const QList<QVariant>& args : started)
            startedIds.append(args.at(0).toInt());
        QCOMPARE(startedIds, ids.mid(0, failing + 1) + again);
        QCOMPARE(second.data(), QByteArray("new b"));
    }

    void runnerDestroyedDuringStalledDownload()
    {
        QVERIFY(m_service->injectFault(retrFault("a.bin", "stall", 5000)));
        auto ftp = std::make_unique<vbFtp>();
        QSignalSpy progress(ftp.get(), &vbFtp::dataTransferProgress);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        enter(*ftp);
        ftp->get("a.bin", &buffer);
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toLongLong() == 5000, 10000);

        QElapsedTimer timer;
        timer.start();
        ftp.reset();
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        QTRY_VERIFY(updateFtpCommands(*m_service).contains(QStringLiteral("HANGUP RETR")));
    }

private:
    QString target(const QString& name) const { return m_dir->filePath(name); }
    Files localFiles() const
    {
        Files files;
        const QDir root(m_dir->path());
        QDirIterator it(root.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            const QString name = root.relativeFilePath(info.filePath());
            if (info.isDir())
                files.insert(name + '/', QByteArray());
            else
                files.insert(name, vbTestPhotos::readFile(info.filePath()));
        }
        return files;
    }

    // Connects, logs in as the update account and enters update/program; the commands' ids.
    QList<int> enter(vbFtp& ftp, quint16 port = 0)
    {
        return {ftp.connectToHost(m_service->web(), port ? port : quint16(m_service->ftpPort())),
                ftp.login(velbrook::kUpdateUser, velbrook::kUpdatePassword), ftp.cd("update"),
                ftp.cd("program")};
    }

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(tst_Update)
#include "tst_update.moc"
