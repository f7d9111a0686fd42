#include "vbProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

bool under(const QString& path, const char* folder)
{
    return path.startsWith(QLatin1String(folder) + QLatin1Char('/'), Qt::CaseInsensitive);
}

// Copies one file so that a crash leaves either the old or the new one; the
// copy stays writable for the user, so a later refresh or update can replace it.
bool copyFile(const QString& from, const QString& to, QString* error)
{
    QFile source(from);
    QSaveFile target(to);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(from, source.errorString());
        return false;
    }
    if (!target.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(to, target.errorString());
        return false;
    }
    char buffer[64 * 1024];
    for (qint64 n; (n = source.read(buffer, sizeof buffer)) > 0;) {
        if (target.write(buffer, n) != n)
            break;
    }
    if (source.error() != QFileDevice::NoError || !target.commit()) {
        *error =
            QStringLiteral("cannot copy %1 to %2: %3")
                .arg(from, to,
                     source.error() != QFileDevice::NoError ? source.errorString() : target.errorString());
        return false;
    }
    QFile::setPermissions(to, source.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    return true;
}

} // namespace

vbProgramFolder::Action vbProgramFolder::actionFor(const QString& relativePath)
{
    // Names as the programs use them; matched without regard to case because
    // the settings file's own name is written that way on Windows too.
    if (relativePath.compare(QLatin1String("system.ini"), Qt::CaseInsensitive) == 0 ||
        under(relativePath, "Elements"))
        return AddMissing;
    if (under(relativePath, "data") || under(relativePath, "TempImages") ||
        relativePath.compare(QLatin1String("error.txt"), Qt::CaseInsensitive) == 0)
        return Skip;
    return Replace;
}

QVersionNumber vbProgramFolder::release(const QString& folder)
{
    QFile file(QDir(folder).filePath(releaseFileName()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QVersionNumber::fromString(QString::fromLatin1(file.read(64)).trimmed());
}

QString vbProgramFolder::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/pixelvane");
}

vbProgramFolder::Outcome vbProgramFolder::prepare(const QString& installed, const QString& user,
                                                  QString* error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QVersionNumber have = release(user);
    const QVersionNumber offered = release(installed);
    if (offered.isNull()) {
        *error = QStringLiteral("%1 is no installed program folder (no readable %2)")
                     .arg(installed, releaseFileName());
        return Failed;
    }
    if (!have.isNull() && have >= offered)
        return Current;

    const QDir from(installed);
    const QDir to(user);
    if (!to.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("cannot create %1").arg(user);
        return Failed;
    }
    QDirIterator it(installed, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = from.relativeFilePath(source);
        // The release is written last: a copy cut short is redone next time.
        if (relative == releaseFileName())
            continue;
        const Action action = actionFor(relative);
        const QString target = to.filePath(relative);
        if (action == Skip || (action == AddMissing && QFileInfo::exists(target)))
            continue;
        if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
            *error = QStringLiteral("cannot create %1").arg(QFileInfo(target).absolutePath());
            return Failed;
        }
        if (!copyFile(source, target, error))
            return Failed;
    }
    if (!copyFile(from.filePath(releaseFileName()), to.filePath(releaseFileName()), error))
        return Failed;
    return have.isNull() ? Made : Refreshed;
}
