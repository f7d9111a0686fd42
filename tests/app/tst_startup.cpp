#include "vbStartup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Start-up folder rules, and the single-instance rule with real processes.
class tst_Startup : public QObject
{
    Q_OBJECT

private:
    static void touch(const QString& path, const QByteArray& content = "x")
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    // A program folder and a private runtime folder, so the lock of this test
    // never meets that of another test or of a real run.
    struct Sandbox
    {
        QTemporaryDir program;
        QTemporaryDir runtime;
        QProcessEnvironment env() const
        {
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
            e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            return e;
        }
        QString lockPath() const { return runtime.path() + QStringLiteral("/Korvel.lock"); }
    };

    static QString programPath()
    {
        return qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/app/pixelvane");
    }

    static void start(QProcess& process, const Sandbox& box)
    {
        process.setProgram(programPath());
        process.setWorkingDirectory(box.program.path());
        process.setProcessEnvironment(box.env());
        process.start();
        QVERIFY(process.waitForStarted(5000));
    }

    static void stop(QProcess& process)
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(programPath()))
            QSKIP("pixelvane not built");
    }

    // Loose JPEGs and every photo's numbered sub-folder go; other things stay.
    void tempImagesCleared()
    {
        QTemporaryDir base;
        const QStringList gone{"TempImages/a.jpg", "TempImages/b.JPEG", "TempImages/mine/x.jpg",
                               "TempImages/3", "TempImages/4"};
        const QStringList kept{"TempImages/c.png", "TempImages/mine/notes.txt", "data/log.dat",
                               "data/old.jpg"};
        for (const QString& file :
             gone.mid(0, 3) + kept + QStringList{"TempImages/3/a.jpg", "TempImages/4/b.png"})
            touch(base.filePath(file));
        QVERIFY(vbStartup::clearTempImages(base.path()));
        QVERIFY(vbStartup::prepareDataFolder(base.path()));
        for (const QString& file : gone)
            QVERIFY2(!QFile::exists(base.filePath(file)), qPrintable(file));
        for (const QString& file : kept)
            QVERIFY2(QFile::exists(base.filePath(file)), qPrintable(file));
    }

    void secondCopyLeavesSilently()
    {
        Sandbox box;
        QDir(box.program.path()).mkpath(QStringLiteral("TempImages"));
        touch(box.program.filePath(QStringLiteral("TempImages/a.jpg")));

        QProcess first;
        start(first, box);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.lockPath()), 10000);
        // The first copy has prepared its folders.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(box.program.filePath(QStringLiteral("data"))).isDir(), 10000);
        QVERIFY(!QFile::exists(box.program.filePath(QStringLiteral("TempImages/a.jpg"))));

        QProcess second;
        start(second, box);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        stop(first);
    }

    void staleLockDoesNotBlock()
    {
        Sandbox box;
        QProcess crashed;
        start(crashed, box);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.lockPath()), 10000);
        stop(crashed); // killed: its lock file stays behind
        QVERIFY(QFile::exists(box.lockPath()));

        QProcess next;
        start(next, box);
        // The new copy takes the lock over instead of leaving.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QFile f(box.lockPath());
                return f.open(QIODevice::ReadOnly) && f.readLine().trimmed().toLongLong() == next.processId();
            }(),
            10000);
        QCOMPARE(next.state(), QProcess::Running);
        stop(next);
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
