#include "vbUploadErrorLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>

namespace vbUploadErrorLog {

namespace {
QMutex g_mutex;
}

QString path()
{
    return QDir::current().filePath(QStringLiteral("error.txt"));
}

void append(const QByteArray& message)
{
    const QByteArray time =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toLocal8Bit();
    const QByteArray entry =
        "\r\n *********** BEGIN *********" + time + message + "\r\n *********** END   *********" + time;
    QMutexLocker lock(&g_mutex);
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return; // the entry is dropped; the upload's outcome does not depend on it
    file.write(entry);
}

void append(const QString& message)
{
    append(message.toLocal8Bit());
}

} // namespace vbUploadErrorLog
