#include "vbFakeVersionServer.h"

#include <Poco/Exception.h>
#include <Poco/Net/SocketAddress.h>
#include <Poco/Net/StreamSocket.h>
#include <Poco/Timespan.h>

#include <csignal>

namespace {

const Poco::Timespan pollStep(0, 50 * 1000);

} // namespace

vbFakeVersionServer::vbFakeVersionServer(const QByteArray& body)
    : m_listener(Poco::Net::SocketAddress("127.0.0.1", 0)), m_body(body)
{
    std::signal(SIGPIPE, SIG_IGN); // writes to a client that hung up must not end the test
    m_port = m_listener.address().port();
    m_thread = std::thread([this] { serve(); });
}

vbFakeVersionServer::~vbFakeVersionServer()
{
    m_stop = true;
    m_thread.join();
}

QList<QByteArray> vbFakeVersionServer::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void vbFakeVersionServer::serve()
{
    while (!m_stop) {
        try {
            if (!m_listener.poll(pollStep, Poco::Net::Socket::SELECT_READ))
                continue;
            Poco::Net::StreamSocket socket = m_listener.acceptConnection();
            QByteArray request;
            char buffer[1024];
            while (!request.contains("\r\n\r\n") && !m_stop) {
                if (!socket.poll(pollStep, Poco::Net::Socket::SELECT_READ))
                    continue;
                const int n = socket.receiveBytes(buffer, sizeof buffer);
                if (n <= 0)
                    break;
                request.append(buffer, n);
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.append(request);
            }
            const QByteArray header = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                      QByteArray::number(m_body.size()) + "\r\n\r\n";
            socket.sendBytes(header.constData(), int(header.size()));
            // Wait (at most ten seconds) for the client to hang up, then send the rest.
            for (int i = 0; i < 200 && !m_stop; ++i) {
                if (!socket.poll(pollStep, Poco::Net::Socket::SELECT_READ))
                    continue;
                if (socket.receiveBytes(buffer, sizeof buffer) <= 0)
                    break;
            }
            try {
                socket.sendBytes(m_body.constData(), int(m_body.size()));
            } catch (const Poco::Exception&) {
            }
            socket.close();
        } catch (const Poco::Exception&) {
        }
    }
}
