#include "vbSingleInstance.h"
#include "vbStartup.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
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

    void tempImagesCleared()
    {
        QTemporaryDir base;
        QDir dir(base.path());
        QVERIFY(dir.mkpath(QStringLiteral("TempImages/3")));
        QVERIFY(dir.mkpath(QStringLiteral("TempImages/4")));
        QVERIFY(dir.mkpath(QStringLiteral("TempImages/mine")));
        QVERIFY(dir.mkpath(QStringLiteral("data")));
        touch(base.filePath(QStringLiteral("TempImages/a.jpg")));
        touch(base.filePath(QStringLiteral("TempImages/b.JPEG")));
        touch(base.filePath(QStringLiteral("TempImages/c.png")));
        touch(base.filePath(QStringLiteral("TempImages/3/IMG_0001.jpg")));
        touch(base.filePath(QStringLiteral("TempImages/3/IMG_0001_1.jpg")));
        touch(base.filePath(QStringLiteral("TempImages/4/scan.png")));
        touch(base.filePath(QStringLiteral("TempImages/mine/notes.txt")));
        touch(base.filePath(QStringLiteral("TempImages/mine/x.jpg")));
        touch(base.filePath(QStringLiteral("data/log.dat")), "1||a||b||c||d\r\n");
        touch(base.filePath(QStringLiteral("data/old.jpg")));

        QVERIFY(vbStartup::clearTempImages(base.path()));
        QVERIFY(vbStartup::prepareDataFolder(base.path()));

        QVERIFY(!QFile::exists(base.filePath(QStringLiteral("TempImages/a.jpg"))));
        QVERIFY(!QFile::exists(base.filePath(QStringLiteral("TempImages/b.JPEG"))));
        QVERIFY(QFile::exists(base.filePath(QStringLiteral("TempImages/c.png"))));
        // A photo's own sub-folder goes with all the program made in it (a
        // PNG's re-compressed copy keeps its name); other folders keep what is not JPEG.
        QVERIFY(!QFile::exists(base.filePath(QStringLiteral("TempImages/3"))));
        QVERIFY(!QFile::exists(base.filePath(QStringLiteral("TempImages/4"))));
        QVERIFY(QFile::exists(base.filePath(QStringLiteral("TempImages/mine/notes.txt"))));
        QVERIFY(!QFile::exists(base.filePath(QStringLiteral("TempImages/mine/x.jpg"))));
        QVERIFY(QFile::exists(base.filePath(QStringLiteral("data/log.dat"))));
        QVERIFY(QFile::exists(base.filePath(QStringLiteral("data/old.jpg"))));
    }

    void missingFoldersCreated()
    {
        QTemporaryDir base;
        QVERIFY(vbStartup::clearTempImages(base.path()));
        QVERIFY(vbStartup::prepareDataFolder(base.path()));
        QVERIFY(QFileInfo(base.filePath(QStringLiteral("TempImages"))).isDir());
        QVERIFY(QFileInfo(base.filePath(QStringLiteral("data"))).isDir());
    }

    void tempImagesBlockedByFile()
    {
        // "TempImages" is a file: nothing can be deleted, and nothing is.
        QTemporaryDir base;
        touch(base.filePath(QStringLiteral("TempImages")));
        QVERIFY(!vbStartup::clearTempImages(base.path()));
        QVERIFY(QFileInfo(base.filePath(QStringLiteral("TempImages"))).isFile());
    }

    void lockInProcess()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        vbSingleInstance first(QStringLiteral("KorvelTest"));
        QVERIFY(first.tryLock());
        QCOMPARE(first.lockFilePath(), runtime.path() + QStringLiteral("/KorvelTest.lock"));
        // A second lock in the same process is refused too: the lock file is held.
        vbSingleInstance second(QStringLiteral("KorvelTest"));
        QVERIFY(!second.tryLock());
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void secondCopyLeavesSilently()
    {
        Sandbox box;
        QDir(box.program.path()).mkpath(QStringLiteral("TempImages"));
        touch(box.program.filePath(QStringLiteral("TempImages/a.jpg")));
        touch(box.program.filePath(QStringLiteral("TempImages/b.JPEG")));
        touch(box.program.filePath(QStringLiteral("TempImages/c.png")));

        QProcess first;
        start(first, box);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.lockPath()), 10000);
        // The first copy has prepared its folders.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(box.program.filePath(QStringLiteral("data"))).isDir(), 10000);
        QVERIFY(!QFile::exists(box.program.filePath(QStringLiteral("TempImages/a.jpg"))));
        QVERIFY(!QFile::exists(box.program.filePath(QStringLiteral("TempImages/b.JPEG"))));
        QVERIFY(QFile::exists(box.program.filePath(QStringLiteral("TempImages/c.png"))));

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
