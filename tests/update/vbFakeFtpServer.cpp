#include "vbFakeFtpServer.h"

#include <Poco/Exception.h>
#include <Poco/Net/DialogSocket.h>
#include <Poco/Net/SocketAddress.h>
#include <Poco/Net/StreamSocket.h>
#include <Poco/Timespan.h>

#include <csignal>
#include <map>

namespace {

const Poco::Timespan pollStep(0, 50 * 1000);

} // namespace

vbFakeFtpServer::vbFakeFtpServer(QMap<QByteArray, QByteArray> files, QByteArray listing, qint64 stallAfter)
    : m_listener(Poco::Net::SocketAddress("127.0.0.1", 0)), m_files(std::move(files)),
      m_listing(std::move(listing)), m_stallAfter(stallAfter)
{
    std::signal(SIGPIPE, SIG_IGN); // writes to a client that hung up must not end the test
    m_port = m_listener.address().port();
    m_thread = std::thread([this] { serve(); });
}

vbFakeFtpServer::~vbFakeFtpServer()
{
    m_stop = true;
    m_thread.join();
}

void vbFakeFtpServer::serve()
{
    while (!m_stop) {
        try {
            if (!m_listener.poll(pollStep, Poco::Net::Socket::SELECT_READ))
                continue;
            Poco::Net::StreamSocket socket = m_listener.acceptConnection();
            session(socket);
        } catch (const Poco::Exception&) {
            // The client went away; wait for the next one.
        }
    }
}

void vbFakeFtpServer::session(Poco::Net::StreamSocket& socket)
{
    Poco::Net::DialogSocket control(socket);
    control.sendMessage("220 fake ftp ready");
    Poco::Net::ServerSocket passive;
    bool passiveOpen = false;
    while (!m_stop) {
        if (!control.poll(pollStep, Poco::Net::Socket::SELECT_READ))
            continue;
        std::string line;
        if (!control.receiveMessage(line))
            return;
        const QByteArray text = QByteArray::fromStdString(line);
        const int space = int(text.indexOf(' '));
        const QByteArray verb = (space < 0 ? text : text.left(space)).toUpper();
        const QByteArray arg = space < 0 ? QByteArray() : text.mid(space + 1);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.append(verb == "PASS" ? verb : text);
        }
        static const std::map<QByteArray, std::string> simple{{"USER", "331 password please"},
                                                              {"PASS", "230 logged in"},
                                                              {"TYPE", "200 ok"},
                                                              {"CWD", "250 ok"},
                                                              {"PWD", "257 \"/\""},
                                                              {"QUIT", "221 bye"}};
        if (simple.count(verb)) {
            control.sendMessage(simple.at(verb));
            if (verb == "QUIT")
                return;
        } else if (verb == "EPSV") {
            passive = Poco::Net::ServerSocket(Poco::Net::SocketAddress("127.0.0.1", 0));
            passiveOpen = true;
            control.sendMessage("229 Entering Extended Passive Mode (|||" +
                                std::to_string(passive.address().port()) + "|)");
        } else if (verb == "SIZE") {
            if (m_files.contains(arg))
                control.sendMessage("213 " + std::to_string(m_files.value(arg).size()));
            else
                control.sendMessage("550 no such file");
        } else if (verb == "LIST" || verb == "RETR") {
            const bool found = verb == "LIST" || m_files.contains(arg);
            const QByteArray content = verb == "LIST" ? m_listing : m_files.value(arg);
            if (!found || !passiveOpen) {
                control.sendMessage("550 not here");
                continue;
            }
            control.sendMessage("150 here it comes");
            Poco::Net::StreamSocket data;
            if (!acceptData(passive, &data))
                return;
            passiveOpen = false;
            if (verb == "LIST") {
                data.sendBytes(content.constData(), int(content.size()));
                data.close();
            } else {
                sendFile(data, content);
            }
            control.sendMessage("226 done");
        } else {
            control.sendMessage("502 not implemented");
        }
    }
}

bool vbFakeFtpServer::acceptData(Poco::Net::ServerSocket& passive, Poco::Net::StreamSocket* data)
{
    for (int i = 0; i < 100 && !m_stop; ++i) {
        if (passive.poll(pollStep, Poco::Net::Socket::SELECT_READ)) {
            *data = passive.acceptConnection();
            return true;
        }
    }
    return false;
}

void vbFakeFtpServer::sendFile(Poco::Net::StreamSocket& data, const QByteArray& content)
{
    const qint64 first = m_stallAfter >= 0 ? qMin(m_stallAfter, qint64(content.size())) : content.size();
    data.sendBytes(content.constData(), int(first));
    if (first < content.size()) {
        // Hold the transfer open until the client hangs up on it.
        m_stalledNow = true;
        char byte = 0;
        while (!m_stop) {
            if (!data.poll(pollStep, Poco::Net::Socket::SELECT_READ | Poco::Net::Socket::SELECT_ERROR))
                continue;
            int n = 0;
            try {
                n = data.receiveBytes(&byte, 1);
            } catch (const Poco::Exception&) {
                n = -1;
            }
            if (n <= 0) {
                m_stalledTransferCut = true;
                break;
            }
        }
        m_stalledNow = false;
    }
    data.close();
}
