#pragma once

#include <Poco/Net/ServerSocket.h>

#include <QByteArray>
#include <QList>
#include <QMap>

#include <atomic>
#include <mutex>
#include <thread>

namespace Poco::Net {
class DialogSocket;
class StreamSocket;
} // namespace Poco::Net

// A one-connection-at-a-time FTP server on loopback for what the stand-in
// service cannot do: a listing of any text (hostile names, DOS lines) and a
// download that stalls after a given number of bytes until the client hangs up.
class vbFakeFtpServer
{
public:
    // Serves these files; LIST answers the raw listing (lines ending in CR LF); RETR sends
    // stallAfter bytes (if >= 0), then neither sends nor closes until the client does.
    explicit vbFakeFtpServer(QMap<QByteArray, QByteArray> files, QByteArray listing = {},
                             qint64 stallAfter = -1);
    ~vbFakeFtpServer();

    quint16 port() const { return m_port; }
    // Every command received, e.g. "RETR good.txt" (PASS arguments left out).
    QList<QByteArray> commands() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_commands;
    }
    // Whether the client hung up on a stalled transfer / a transfer is stalled now.
    bool stalledTransferCut() const { return m_stalledTransferCut; }
    bool stalled() const { return m_stalledNow; }

private:
    void serve();
    void session(Poco::Net::StreamSocket& socket);
    bool acceptData(Poco::Net::ServerSocket& passive, Poco::Net::StreamSocket* data);
    void sendFile(Poco::Net::StreamSocket& data, const QByteArray& content);

    Poco::Net::ServerSocket m_listener;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_stalledTransferCut{false};
    std::atomic<bool> m_stalledNow{false};
    mutable std::mutex m_mutex;
    const QMap<QByteArray, QByteArray> m_files;
    const QByteArray m_listing;
    const qint64 m_stallAfter;
    QList<QByteArray> m_commands;
};
