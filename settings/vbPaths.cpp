#include "vbPaths.h"

#include <QDir>

QString tempImagesPath()
{
    return QDir::currentPath() + QStringLiteral("/TempImages");
}

QString dataPath()
{
    return QDir::currentPath() + QStringLiteral("/data");
}
