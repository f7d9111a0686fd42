#include "vbUpdateArea.h"

#include "vbTestPhotos.h"

#include <QDir>
#include <QJsonArray>
#include <QTcpServer>

bool setUpdateFiles(vbTestService& service, const QString& folder, const QMap<QString, QByteArray>& files)
{
    // The service serves its state folder as it is (documented layout), so the
    // files go straight there; its control call does not take large files.
    QDir dir(service.stateDir() + QStringLiteral("/ftp/%1/update/").arg(velbrook::kUpdateUser) + folder);
    if (!dir.removeRecursively() || !dir.mkpath(QStringLiteral(".")))
        return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!vbTestPhotos::writeFile(dir.filePath(it.key()), it.value()))
            return false;
    }
    return true;
}

QStringList updateFtpCommands(vbTestService& service)
{
    QStringList commands;
    for (const QJsonValue& v : service.state().value(QLatin1String("ftp_log")).toArray()) {
        const QJsonObject e = v.toObject();
        if (e.value(QLatin1String("user")).toString() == QLatin1String(velbrook::kUpdateUser))
            commands << e.value(QLatin1String("cmd")).toString() + QLatin1Char(' ') +
                            e.value(QLatin1String("arg")).toString();
    }
    return commands;
}

QJsonObject retrFault(const QString& file, const char* kind, int bytes)
{
    QJsonObject extra{{"count", 1}, {"params", QJsonObject{{"arg", file}}}};
    if (bytes > 0)
        extra.insert("bytes", bytes);
    return vbTestService::fault("ftp_retr", QLatin1String(kind), extra);
}

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
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
