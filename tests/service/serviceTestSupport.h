#pragma once

#include "vbEndpoints.h"
#include "vbTestService.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

// Points the client's endpoints at a running stand-in service.
inline void useService(const vbTestService& service)
{
    vbEndpoints e;
    e.setWeb(service.web());
    e.setWangtong(service.wangtong());
    e.setDianxin(service.dianxin());
    e.setUpdateFtp(service.web());
    e.setHttpPort(service.httpPort());
    e.setFtpPort(service.ftpPort());
    vbEndpoints::setCurrent(e);
}

// The requests the service logged for one endpoint ("signin", "albumlist", "newalbum", ...), in arrival
// order.
inline QList<QJsonObject> requestsTo(vbTestService& service, const QString& endpoint)
{
    QList<QJsonObject> found;
    const QJsonArray requests = service.state().value(QStringLiteral("requests")).toArray();
    for (const auto& r : requests) {
        if (r.toObject().value(QStringLiteral("endpoint")).toString() == endpoint)
            found.append(r.toObject());
    }
    return found;
}

// A fault object for the stand-in service, e.g. fault("signin", "wangtong", "refuse").
inline QJsonObject fault(const char* endpoint, const char* mirror, const char* kind,
                         const QJsonObject& extra = QJsonObject())
{
    QJsonObject f = extra;
    f.insert(QStringLiteral("endpoint"), QLatin1String(endpoint));
    f.insert(QStringLiteral("mirror"), QLatin1String(mirror));
    f.insert(QStringLiteral("kind"), QLatin1String(kind));
    return f;
}
