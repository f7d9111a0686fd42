#pragma once

#include <Poco/Net/ServerSocket.h>

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>
#include <thread>

// Answers the version query with the header and the body in two separate
// sends: the body goes out only after the client has hung up, so a client
// that reads once sees the header alone. Records each request byte for byte.
class vbFakeVersionServer
{
public:
    explicit vbFakeVersionServer(const QByteArray& body);
    ~vbFakeVersionServer();

    quint16 port() const { return m_port; }
    QList<QByteArray> requests() const;

private:
    void serve();

    Poco::Net::ServerSocket m_listener;
    quint16 m_port = 0;
    QByteArray m_body;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<QByteArray> m_requests;
};
