// The launcher: which installed files a refresh takes, the per-user copy made
// and refreshed from a read-only installed folder, the launcher program
// starting the updater in that copy, and the folder `cmake --install` lays out.
#include "vbProgramFolder.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const auto kRunnable =
    QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList tree(const QString& folder)
{
    QStringList paths{folder};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    return paths;
}

// Every file of a folder with its bytes and permissions, to see that nothing changed.
QByteArray fingerprint(const QString& folder)
{
    QByteArray all;
    for (const QString& path : tree(folder))
        all += path.toUtf8() + QByteArray::number(int(QFileInfo(path).permissions())) + read(path);
    return QCryptographicHash::hash(all, QCryptographicHash::Md5);
}

// Read-only files and folders, as a package installs them for users.
void setReadOnly(const QString& folder, bool readOnly)
{
    for (const QString& path : tree(folder)) {
        QFile file(path);
        QFileDevice::Permissions p = QFileInfo(path).isDir()
                                         ? kRunnable | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                         : file.permissions();
        p.setFlag(QFileDevice::WriteOwner, !readOnly);
        file.setPermissions(p);
    }
}

// An installed program folder of that release, with more files if asked, read-only.
void makeInstall(const QString& folder, const char* release, const QByteArray& program,
                 const QList<std::pair<const char*, QByteArray>>& more = {})
{
    setReadOnly(folder, false);
    write(folder + "/program.version", QByteArray(release) + '\n');
    write(folder + "/pixelvane", program);
    write(folder + "/tr/pixvane_zh.qm", "qm " + program);
    write(folder + "/system.ini", "[service]\r\nhttpport=18080\r\n");
    write(folder + "/Elements/Stars/star.png", "installed star");
    for (const auto& [file, bytes] : more)
        write(folder + '/' + file, bytes);
    QFile(folder + "/pixelvane").setPermissions(kRunnable);
    setReadOnly(folder, true);
}

} // namespace

class tst_Launcher : public QObject
{
    Q_OBJECT
private slots:
    void actionFor()
    {
        const std::pair<const char*, vbProgramFolder::Action> cases[] = {
            {"pixelvane", vbProgramFolder::Replace},
            {"System.INI", vbProgramFolder::AddMissing}, // any case
            {"Elements/Stars/star.png", vbProgramFolder::AddMissing},
            {"Elements.txt", vbProgramFolder::Replace},
            {"data/log.dat", vbProgramFolder::Skip},
            {"TempImages/3/a.jpg", vbProgramFolder::Skip},
            {"error.txt", vbProgramFolder::Skip}};
        for (const auto& [path, action] : cases)
            QVERIFY2(vbProgramFolder::actionFor(QLatin1String(path)) == action, path);
    }

    void copyFromReadOnlyInstall()
    {
        QTemporaryDir dir;
        const QString installed = dir.filePath("opt");
        const QString user = dir.filePath("home/pixelvane");
        const auto in = [&](const char* file) { return read(user + '/' + file); };
        QString error;
        makeInstall(installed, "1.5", "release 1.5");
        QByteArray before = fingerprint(installed);

        // First start: the copy is made, runnable and writable by the user.
        QCOMPARE(vbProgramFolder::prepare(installed, user, &error), vbProgramFolder::Made);
        QCOMPARE(in("pixelvane"), QByteArray("release 1.5"));
        const QFileDevice::Permissions perms = QFile(user + "/pixelvane").permissions();
        QVERIFY(perms.testFlag(QFileDevice::ExeOwner) && perms.testFlag(QFileDevice::WriteOwner));
        QCOMPARE(vbProgramFolder::prepare(installed, user, &error), vbProgramFolder::Current);
        QCOMPARE(fingerprint(installed), before);

        // The user works, then a newer release is installed: program files are
        // replaced, new elements added, and what belongs to the user stays.
        write(user + "/system.ini", "[user.info]\r\nusername=me\r\n");
        write(user + "/data/log.dat", "log");
        write(user + "/Elements/Stars/star.png", "my star");
        makeInstall(installed, "1.10", "release 1.10",
                    {{"Elements/Hearts/heart.png", "new heart"}, {"data/log.dat", "installed log"}});
        before = fingerprint(installed);
        QCOMPARE(vbProgramFolder::prepare(installed, user, &error), vbProgramFolder::Refreshed);
        QCOMPARE(in("pixelvane"), QByteArray("release 1.10"));
        QCOMPARE(in("tr/pixvane_zh.qm"), QByteArray("qm release 1.10"));
        QCOMPARE(in("system.ini"), QByteArray("[user.info]\r\nusername=me\r\n"));
        QCOMPARE(in("data/log.dat"), QByteArray("log"));
        QCOMPARE(in("Elements/Stars/star.png"), QByteArray("my star"));
        QCOMPARE(in("Elements/Hearts/heart.png"), QByteArray("new heart"));
        QCOMPARE(vbProgramFolder::release(user), QVersionNumber(1, 10)); // not 1.5 > 1.10 as text
        QCOMPARE(fingerprint(installed), before);

        // An older installation never replaces a copy the updater has made newer.
        makeInstall(installed, "1.9", "release 1.9");
        QCOMPARE(vbProgramFolder::prepare(installed, user, &error), vbProgramFolder::Current);
        QCOMPARE(in("pixelvane"), QByteArray("release 1.10"));
        setReadOnly(installed, false);
    }

    void refusesWhatItCannotUse()
    {
        QTemporaryDir dir;
        QString error;
        // No release file: not an installed program folder, nothing is copied.
        write(dir.filePath("empty/pixelvane"), "x");
        QCOMPARE(vbProgramFolder::prepare(dir.filePath("empty"), dir.filePath("u1"), &error),
                 vbProgramFolder::Failed);
        QVERIFY(error.contains("program.version"));
        QVERIFY(!QFileInfo::exists(dir.filePath("u1/pixelvane")));

        // A copy that cannot be written fails with the reason and no release, so
        // the next start tries again.
        const QString installed = dir.filePath("opt");
        makeInstall(installed, "1.5", "release 1.5");
        const QString user = dir.filePath("u2");
        write(user + "/tr", "a file where a folder belongs");
        QCOMPARE(vbProgramFolder::prepare(installed, user, &error), vbProgramFolder::Failed);
        QVERIFY2(error.contains(user + "/tr"), qPrintable(error));
        QVERIFY(vbProgramFolder::release(user).isNull());
        setReadOnly(installed, false);
    }

    void launcherStartsTheUpdaterInTheCopy()
    {
        QTemporaryDir dir;
        const QString installed = dir.filePath("opt");
        makeInstall(installed, "1.5", "release 1.5",
                    {{"pixelvane-launcher", read(PV_LAUNCHER_PATH)},
                     {"updater", "#!/bin/sh\npwd > started-in.txt\n"}});
        for (const char* program : {"/pixelvane-launcher", "/updater"})
            QFile(installed + program).setPermissions(kRunnable);
        const QByteArray before = fingerprint(installed);

        QProcess launcher;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dir.filePath("data-home"));
        launcher.setProcessEnvironment(env);
        launcher.setWorkingDirectory(dir.path());
        launcher.start(installed + "/pixelvane-launcher", {});
        QVERIFY(launcher.waitForFinished(30000));
        QCOMPARE(launcher.exitCode(), 0);
        const QString user = dir.filePath("data-home/pixelvane");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(user + "/started-in.txt").size() > 0, 10000);
        QCOMPARE(QFileInfo(QString::fromLocal8Bit(read(user + "/started-in.txt").trimmed())),
                 QFileInfo(user));
        QCOMPARE(fingerprint(installed), before);
        setReadOnly(installed, false);
    }

    void installLaysOutTheProgramFolder()
    {
        // `cmake --install` of this build tree, into a folder whose name needs quoting.
        QTemporaryDir dir;
        const QString prefix = dir.filePath("my programs");
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(PV_CMAKE_COMMAND),
                      {"--install", qEnvironmentVariable("PV_BUILD_DIR"), "--prefix", prefix});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());

        const QDir folder(prefix);
        for (const char* file :
             {"pixelvane", "updater", "pixelvane-launcher", "system.ini", "tr/pixvane_zh.qm",
              "tr/quillmere_zh.qm", "share/icons/hicolor/256x256/apps/pixelvane.png"})
            QVERIFY2(folder.exists(QLatin1String(file)), file);
        QVERIFY(!QDir(folder.filePath("Elements")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
        QVERIFY(!vbProgramFolder::release(prefix).isNull());
        const QString entry =
            QString::fromUtf8(read(folder.filePath("share/applications/pixelvane.desktop")));
        QVERIFY2(entry.contains("\nExec=\"" + prefix + "/pixelvane-launcher\"\n"), qPrintable(entry));
    }
};

QTEST_GUILESS_MAIN(tst_Launcher)
#include "tst_launcher.moc"
