#include "vbEndpoints.h"

#include "vbIniParser.h"

namespace {
int readPort(const vbIniParser& ini, const QString& key, int fallback)
{
    bool ok = false;
    const int port = ini.getString(QStringLiteral("service"), key, QString()).trimmed().toInt(&ok);
    return ok && port > 0 && port < 65536 ? port : fallback;
}
} // namespace

vbEndpoints::vbEndpoints()
    : m_web(QStringLiteral("127.0.0.1")), m_wangtong(QStringLiteral("127.0.0.2")),
      m_dianxin(QStringLiteral("127.0.0.3")), m_updateFtp(QStringLiteral("127.0.0.1")), m_httpPort(80),
      m_ftpPort(21)
{}

vbEndpoints vbEndpoints::load(const QString& iniPath)
{
    vbEndpoints e;
    const vbIniParser ini(iniPath);
    const QString section = QStringLiteral("service");
    auto host = [&](const char* key, const QString& fallback) {
        const QString value = ini.getString(section, QLatin1String(key), QString()).trimmed();
        return value.isEmpty() ? fallback : value;
    };
    e.m_web = host("web", e.m_web);
    e.m_wangtong = host("wangtong", e.m_wangtong);
    e.m_dianxin = host("dianxin", e.m_dianxin);
    e.m_updateFtp = host("updateftp", e.m_updateFtp);
    e.m_httpPort = readPort(ini, QStringLiteral("httpport"), e.m_httpPort);
    e.m_ftpPort = readPort(ini, QStringLiteral("ftpport"), e.m_ftpPort);
    return e;
}

QString vbEndpoints::hostWithPort(const QString& host) const
{
    if (m_httpPort == 80)
        return host;
    return host + QLatin1Char(':') + QString::number(m_httpPort);
}

QString vbEndpoints::webPage(const QString& path) const
{
    return QStringLiteral("http://") + hostWithPort(m_web) + path;
}
