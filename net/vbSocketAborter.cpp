#include "vbSocketAborter.h"

#include "vbNetDeadlines.h"

#include <Poco/Exception.h>
#include <Poco/Net/SocketAddress.h>

#include <QElapsedTimer>

#include <algorithm>
#include <csignal>

namespace {
constexpr int kConnectPollMs = 100;

// A write to a connection that the server reset, or that a stop shut, must
// fail with an error, not end the process.
void ignoreSigPipe()
{
#ifdef SIGPIPE
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
#endif
}
} // namespace

void vbSocketAborter::add(const Poco::Net::StreamSocket& socket)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sockets.push_back(socket);
    if (m_aborted)
        shutdown(m_sockets.back());
}

void vbSocketAborter::remove(const Poco::Net::StreamSocket& socket)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), socket), m_sockets.end());
}

void vbSocketAborter::abort()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aborted = true;
    for (Poco::Net::StreamSocket& socket : m_sockets)
        shutdown(socket);
}

void vbSocketAborter::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aborted = false;
}

bool vbSocketAborter::isAborted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aborted;
}

void vbSocketAborter::shutdown(Poco::Net::StreamSocket& socket)
{
    // Both directions: a blocked send fails and a blocked receive sees the end.
    try {
        socket.shutdown();
    } catch (...) {
        // Not connected, or already closed: nothing is blocked on it then.
    }
}

bool connectAbortable(Poco::Net::StreamSocket& socket, const QString& host, int port, int timeoutMs,
                      vbSocketAborter* aborter)
{
    ignoreSigPipe();
    const Poco::Timespan timeout = vbTimespan(timeoutMs);
    try {
        const Poco::Net::SocketAddress address(host.toStdString(), static_cast<Poco::UInt16>(port));
        socket.connectNB(address);
        // Poll in short slices so an abort is seen while connecting.
        QElapsedTimer elapsed;
        elapsed.start();
        const Poco::Timespan slice = vbTimespan(kConnectPollMs);
        while (!socket.poll(slice, Poco::Net::Socket::SELECT_WRITE | Poco::Net::Socket::SELECT_ERROR)) {
            if ((aborter && aborter->isAborted()) || elapsed.elapsed() >= timeoutMs)
                return false;
        }
        if (socket.impl()->socketError() != 0)
            return false;
        socket.setBlocking(true);
        socket.setNoDelay(true);
        socket.setSendTimeout(timeout);
        socket.setReceiveTimeout(timeout);
        if (aborter) {
            aborter->add(socket);
            return !aborter->isAborted();
        }
        return true;
    } catch (...) {
        return false;
    }
}
