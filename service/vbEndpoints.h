#pragma once

#include <QString>

// Where the velbrook service lives: the "service" section of system.ini.
// With the default port 80 every address is the classic one; with another
// port ":" + port follows the host wherever an address or Host header names it.
class vbEndpoints
{
public:
    vbEndpoints();

    // Reads the "service" section of the given settings file; absent keys keep the defaults.
    static vbEndpoints load(const QString& iniPath);

    QString web() const { return m_web; }
    QString wangtong() const { return m_wangtong; }
    QString dianxin() const { return m_dianxin; }
    QString updateFtp() const { return m_updateFtp; }
    int httpPort() const { return m_httpPort; }
    int ftpPort() const { return m_ftpPort; }

    void setWeb(const QString& host) { m_web = host; }
    void setWangtong(const QString& host) { m_wangtong = host; }
    void setDianxin(const QString& host) { m_dianxin = host; }
    void setUpdateFtp(const QString& host) { m_updateFtp = host; }
    void setHttpPort(int port) { m_httpPort = port; }
    void setFtpPort(int port) { m_ftpPort = port; }

    // host, or host + ":" + port when the HTTP port is not 80.
    QString hostWithPort(const QString& host) const;
    // "http://" + web host (with port) + path; path starts with "/" or is empty.
    QString webPage(const QString& path) const;

private:
    QString m_web;
    QString m_wangtong;
    QString m_dianxin;
    QString m_updateFtp;
    int m_httpPort;
    int m_ftpPort;
};
