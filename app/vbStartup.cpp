#include "vbStartup.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

const QStringList& jpegFilters()
{
    static const QStringList filters{QStringLiteral("*.JPG"), QStringLiteral("*.JPEG")};
    return filters;
}

void deleteJpegs(const QDir& dir)
{
    // Name filters ignore case unless QDir::CaseSensitive is asked for.
    const QStringList files = dir.entryList(jpegFilters(), QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& name : files)
        QFile::remove(dir.filePath(name));
}

} // namespace

namespace vbStartup {

bool clearTempImages(const QString& base)
{
    QDir dir(base);
    if (!dir.mkpath(QStringLiteral("TempImages")) || !dir.cd(QStringLiteral("TempImages")))
        return false;
    deleteJpegs(dir);
    const QStringList subFolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    static const QRegularExpression photoFolder(QStringLiteral("^[0-9]+$"));
    for (const QString& name : subFolders) {
        // A photo's own folder holds only what the program made for it
        // (re-compressed copies keep their PNG or other file names).
        if (photoFolder.match(name).hasMatch()) {
            QDir(dir.filePath(name)).removeRecursively();
            continue;
        }
        deleteJpegs(QDir(dir.filePath(name)));
        // rmdir only removes a folder that is now empty: anything else in it stays.
        dir.rmdir(name);
    }
    return true;
}

bool prepareDataFolder(const QString& base)
{
    return QDir(base).mkpath(QStringLiteral("data"));
}

} // namespace vbStartup
