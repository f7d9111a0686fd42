#include "vbSaveFile.h"

#include <QSaveFile>

namespace vbSaveFile {

bool write(const QString& path, const QByteArray& bytes, QString* error)
{
    // Unbuffered, so a short write (a full disk) is seen here: a buffered
    // flush at commit() can drop the rest and still replace the old file.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size();
    if (ok)
        ok = file.commit();
    else
        file.cancelWriting();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace vbSaveFile
