#include "vbUpdateArea.h"

#include <QDir>
#include <QFile>

bool setUpdateFiles(vbTestService& service, const QString& folder, const QMap<QString, QByteArray>& files)
{
    // The service serves its state folder as it is (documented layout), so the
    // files go straight there; its control call does not take large files.
    QDir dir(service.stateDir() + QStringLiteral("/ftp/updateclient/update/") + folder);
    if (!dir.removeRecursively() || !dir.mkpath(QStringLiteral(".")))
        return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile f(dir.filePath(it.key()));
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

QByteArray patternBytes(int size, int seed)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = 2463534242u + quint32(seed);
    for (int i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = char(x & 0xff);
    }
    return data;
}
