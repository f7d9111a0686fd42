#include "vbFtpSession.h"

#include "vbBaseUpload.h"
#include "vbEndpoints.h"
#include "vbSocketAborter.h"

#include <Poco/Exception.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/SocketAddress.h>
#include <Poco/Timespan.h>

#include <algorithm>

namespace {
constexpr int kQuitWaitMs = 5000;

Poco::Timespan socketTimeout()
{
    return Poco::Timespan(Poco::Timespan::TimeDiff(vbBaseUpload::socketTimeoutMs()) * 1000);
}

int portOrDefault(int port)
{
    return port < 0 ? vbEndpoints::current().ftpPort() : port;
}

// The connected control socket; throws when it cannot connect.
Poco::Net::StreamSocket connectControl(const QString& host, int port)
{
    Poco::Net::StreamSocket socket;
    if (!connectAbortable(socket, host, port, vbBaseUpload::socketTimeoutMs(), nullptr))
        throw Poco::Net::NetException("cannot connect to the FTP server");
    return socket;
}
} // namespace

vbFtpSession::vbFtpSession(const Poco::Net::StreamSocket& control, vbSocketAborter* aborter)
    : Poco::Net::FTPClientSession(control, true), m_control(control), m_aborter(aborter)
{
    setTimeout(socketTimeout());
}

vbFtpSession::~vbFtpSession()
{
    try {
        closeSession();
    } catch (...) {
    }
}

void vbFtpSession::finishUpload()
{
    unlistData();
    endUpload();
}

void vbFtpSession::closeSession()
{
    unlistData();
    try {
        // The goodbye is a courtesy: it gets a short wait, not a transfer's
        // deadline (the connection test waits for it with input blocked).
        const int quitMs = std::min(vbBaseUpload::socketTimeoutMs(), kQuitWaitMs);
        m_control.setReceiveTimeout(Poco::Timespan(Poco::Timespan::TimeDiff(quitMs) * 1000));
        logout();
    } catch (...) {
        // No goodbye in time, or the connection is gone: closed all the same.
    }
    // Unlisted before the socket is closed, so a late stop cannot shut a
    // reused descriptor.
    unlistControl();
    close();
}

void vbFtpSession::abandon()
{
    unlistData();
    unlistControl();
    try {
        m_control.shutdown();
    } catch (...) {
    }
}

void vbFtpSession::sendData(const char* data, int size)
{
    if (!m_hasData)
        throw Poco::Net::NetException("no data connection");
    while (size > 0) {
        const int sent = m_data.sendBytes(data, size);
        if (sent <= 0)
            throw Poco::Net::NetException("data connection closed");
        data += sent;
        size -= sent;
    }
}

Poco::Net::StreamSocket vbFtpSession::establishDataConnection(const std::string& command,
                                                              const std::string& arg)
{
    // Passive mode, with a connect that has a deadline and can be aborted.
    unlistData();
    const Poco::Net::SocketAddress address = sendPassiveCommand();
    Poco::Net::StreamSocket data;
    const bool connected = connectAbortable(data, QString::fromStdString(address.host().toString()),
                                            address.port(), vbBaseUpload::socketTimeoutMs(), m_aborter);
    if (m_aborter)
        m_aborter->remove(data);
    if (!connected)
        throw Poco::Net::NetException("cannot open the data connection");
    m_data = data;
    m_hasData = true;
    if (m_aborter)
        m_aborter->add(m_data);
    std::string response;
    const int status = sendCommand(command, arg, response);
    if (!isPositivePreliminary(status))
        throw Poco::Net::FTPException(command + " command failed", response, status);
    return data;
}

void vbFtpSession::unlistControl()
{
    if (m_aborter && m_controlListed)
        m_aborter->remove(m_control);
    m_controlListed = false;
}

void vbFtpSession::unlistData()
{
    if (!m_hasData)
        return;
    if (m_aborter)
        m_aborter->remove(m_data);
    m_data = Poco::Net::StreamSocket();
    m_hasData = false;
}

bool testFtpLogin(const QString& host, const QString& user, const QString& password, int port)
{
    try {
        vbFtpSession session(connectControl(host, portOrDefault(port)), nullptr);
        session.login(user.toStdString(), password.toStdString());
        session.closeSession();
        return true;
    } catch (...) {
        return false;
    }
}

bool createFtpFolder(const QString& host, const QString& user, const QString& password,
                     const QString& folderName, int port)
{
    try {
        vbFtpSession session(connectControl(host, portOrDefault(port)), nullptr);
        session.login(user.toStdString(), password.toStdString());
        session.createDirectory(folderName.toStdString());
        session.closeSession();
        return true;
    } catch (...) {
        return false;
    }
}

std::unique_ptr<vbFtpSession> openFtpSession(const QString& host, const QString& user,
                                             const QString& password, const QString& folder, int port,
                                             vbSocketAborter* aborter)
{
    Poco::Net::StreamSocket control;
    if (!connectAbortable(control, host, portOrDefault(port), vbBaseUpload::socketTimeoutMs(), aborter)) {
        if (aborter)
            aborter->remove(control);
        return nullptr;
    }
    std::unique_ptr<vbFtpSession> session;
    try {
        session = std::make_unique<vbFtpSession>(control, aborter);
    } catch (...) {
        if (aborter)
            aborter->remove(control);
        return nullptr;
    }
    try {
        session->login(user.toStdString(), password.toStdString());
        session->setWorkingDirectory(folder.toStdString());
        return session;
    } catch (...) {
        return nullptr;
    }
}
