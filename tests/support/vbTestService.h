#pragma once

#include "vbEndpoints.h"

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// What the default seed of the stand-in service holds, for tests that sign in and upload.
namespace velbrook {
inline constexpr char kDemoEmail[] = "demo@velbrook.test";
inline constexpr char kDemoPassword[] = "demo";
inline constexpr int kDemoUserId = 1001;
inline constexpr int kFamilyAlbumId = 12; // "Family", 35 photos
inline constexpr int kFamilyPhotoCount = 35;
inline constexpr int kTripAlbumId = 13;    // "Trip", empty
inline constexpr int kArchiveAlbumId = 14; // "Archive", 498 photos: two short of the album limit
inline constexpr int kArchivePhotoCount = 498;
inline constexpr char kProbeEmail[] = "probe@velbrook.test";
inline constexpr char kUpdateUser[] = "updateclient";
inline constexpr char kUpdatePassword[] = "tbnQrpowzxlmvkea";
} // namespace velbrook

// Runs the stand-in velbrook service (devservice/velbrookd.py) on free loopback ports for the length of a
// test. Faults, state and the client's settings file are reached through the small helpers below.
class vbTestService
{
public:
    // Starts the service with the given seed (empty: the default seed); isRunning() tells whether it came up.
    explicit vbTestService(const QString& seedFile = QString());
    ~vbTestService();

    vbTestService(const vbTestService&) = delete;
    vbTestService& operator=(const vbTestService&) = delete;

    bool isRunning() const;
    QString errorString() const { return m_error; }

    int httpPort() const { return m_httpPort; }
    int ftpPort() const { return m_ftpPort; }
    QString web() const { return m_web; }
    QString wangtong() const { return m_wangtong; }
    QString dianxin() const { return m_dianxin; }
    QString stateDir() const;

    // POST /__control/fault with the given fault object; true when the service took it.
    bool injectFault(const QJsonObject& fault);
    bool clearFaults(bool alsoRequests = false);
    // A fault object, e.g. fault("signin", "refuse", {{"mirror", "wangtong"}, {"count", 1}}).
    static QJsonObject fault(const QString& endpoint, const QString& kind, const QJsonObject& extra = {});
    // Any other control call (e.g. "version", "account", "album", "update_file").
    bool control(const QString& name, const QJsonObject& body);
    // The whole state view; an empty object when the service does not answer.
    QJsonObject state();
    // The requests logged for one endpoint ("signin", "albumlist", ...), in arrival order.
    QList<QJsonObject> requests(const QString& endpoint);
    // Endpoints that point a client at this instance.
    vbEndpoints endpoints() const;

    // Writes programDir/system.ini with only a "service" section, so a client started there talks to
    // this instance.
    bool writeSystemIni(const QString& programDir) const;

private:
    QByteArray request(const QByteArray& method, const QString& path, const QByteArray& body, int* status);

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_error;
    int m_httpPort = 0;
    int m_ftpPort = 0;
    QString m_web;
    QString m_wangtong;
    QString m_dianxin;
};
