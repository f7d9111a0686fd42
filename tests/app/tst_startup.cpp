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
    static void touch(const QString& path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    static QString programPath() { return qEnvironmentVariable("PV_BUILD_DIR") + "/app/pixelvane"; }

    // A program folder and a private runtime folder, so the lock of this test
    // never meets that of another test or of a real run.
    struct Sandbox
    {
        QTemporaryDir program;
        QTemporaryDir runtime;
        QString lockPath() const { return runtime.filePath("Korvel.lock"); }
        void start(QProcess& process) const
        {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_RUNTIME_DIR", runtime.path());
            env.insert("QT_QPA_PLATFORM", "offscreen");
            process.setProcessEnvironment(env);
            process.setWorkingDirectory(program.path());
            process.start(programPath(), {});
            QVERIFY(process.waitForStarted(5000));
        }
    };

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

    // A second copy leaves at once; the lock of a killed copy does not block the next one.
    void singleInstance()
    {
        Sandbox box;
        touch(box.program.filePath("TempImages/a.jpg"));
        QProcess first;
        box.start(first);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.lockPath()), 10000);
        // The first copy has prepared its folders.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(box.program.filePath("data")).isDir(), 10000);
        QVERIFY(!QFile::exists(box.program.filePath("TempImages/a.jpg")));

        QProcess second;
        box.start(second);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill(); // its lock file stays behind
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFile::exists(box.lockPath()));
        QProcess next;
        box.start(next);
        // The new copy takes the lock over instead of leaving.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QFile f(box.lockPath());
                return f.open(QIODevice::ReadOnly) && f.readLine().trimmed().toLongLong() == next.processId();
            }(),
            10000);
        QCOMPARE(next.state(), QProcess::Running);
        next.kill();
        next.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
