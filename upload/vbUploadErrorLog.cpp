#include "vbUploadErrorLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace vbUploadErrorLog {

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
    // Unbuffered, the entry goes out in one append: entries of workers writing
    // at the same time never interleave.
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return; // the entry is dropped; the upload's outcome does not depend on it
    file.write(entry);
}

void append(const QString& message)
{
    append(message.toLocal8Bit());
}

} // namespace vbUploadErrorLog
