#pragma once

#include <Poco/Net/StreamSocket.h>

#include <QString>

#include <mutex>
#include <vector>

// The sockets a worker thread is blocked on, so another thread can make the
// blocked call return by shutting them down. A socket must be removed before
// the worker closes or releases it: the registry keeps it alive while listed.
class vbSocketAborter
{
public:
    // Lists the socket; shuts it down at once when abort() came first.
    void add(const Poco::Net::StreamSocket& socket);
    void remove(const Poco::Net::StreamSocket& socket);

    // Shuts down every listed socket and every one added later, until reset().
    void abort();
    void reset();
    bool isAborted() const;

private:
    static void shutdown(Poco::Net::StreamSocket& socket);

    mutable std::mutex m_mutex;
    std::vector<Poco::Net::StreamSocket> m_sockets;
    bool m_aborted = false;
};

// Connects socket to host:port within timeoutMs, giving up early once aborter
// (may be null) is aborted. On success the socket is blocking, has send and
// receive time-outs of timeoutMs and is listed in aborter. Throws nothing.
bool connectAbortable(Poco::Net::StreamSocket& socket, const QString& host, int port, int timeoutMs,
                      vbSocketAborter* aborter);
