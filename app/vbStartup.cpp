#include "vbStartup.h"

#include <QDir>
#include <QFile>

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
    for (const QString& name : subFolders) {
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
