// pixelvane-launcher: what the desktop menu starts. It keeps the user's own
// program folder in step with the installed one (see vbProgramFolder) and
// starts the updater there, which then starts pixelvane.

#include "vbProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QProcess>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "pixelvane-launcher: %s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString installed = QCoreApplication::applicationDirPath();
    const QString user = vbProgramFolder::userFolder();
    if (!QDir().mkpath(user))
        return fail(QStringLiteral("cannot create %1").arg(user));

    // Two starts at once must not copy over each other.
    QLockFile lock(QDir(user).filePath(QStringLiteral(".launcher.lock")));
    if (!lock.tryLock(30000))
        return fail(QStringLiteral("%1 is being prepared by another start").arg(user));
    QString error;
    if (vbProgramFolder::prepare(installed, user, &error) == vbProgramFolder::Failed)
        return fail(error);
    lock.unlock();

#ifdef Q_OS_WIN
    const QString updater = QDir(user).filePath(QStringLiteral("updater.exe"));
#else
    const QString updater = QDir(user).filePath(QStringLiteral("updater"));
#endif
    // Both programs take the current folder as their program folder.
    if (!QProcess::startDetached(updater, {}, user))
        return fail(QStringLiteral("cannot start %1").arg(updater));
    return 0;
}
