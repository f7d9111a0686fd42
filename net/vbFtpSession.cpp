#include "vbFtpSession.h"

#include "vbSocketAborter.h"

#include <Poco/Exception.h>
#include <Poco/Net/DialogSocket.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/SocketAddress.h>

std::unique_ptr<vbFtpSession> vbFtpSession::connect(const QString& host, int port,
                                                    const vbNetDeadlines& deadlines, vbSocketAborter* aborter)
{
    Poco::Net::StreamSocket control;
    if (!connectAbortable(control, host, port, deadlines.stepMs, aborter)) {
        if (aborter)
            aborter->remove(control);
        throw Poco::Net::NetException("cannot connect to the FTP server " + host.toStdString());
    }
    try {
        // The greeting is read here, under the receive deadline; the control
        // connection is listed already, so an abort ends the wait.
        return std::unique_ptr<vbFtpSession>(new vbFtpSession(control, deadlines, aborter));
    } catch (...) {
        if (aborter)
            aborter->remove(control);
        throw;
    }
}

vbFtpSession::vbFtpSession(const Poco::Net::StreamSocket& control, const vbNetDeadlines& deadlines,
                           vbSocketAborter* aborter)
    : Poco::Net::FTPClientSession(control, false), m_control(control), m_deadlines(deadlines),
      m_aborter(aborter)
{
    // The library would read the greeting with its own 30-second time-out:
    // it is read here, under the step deadline.
    setTimeout(vbTimespan(deadlines.stepMs));
    std::string greeting;
    const int status = _pControlSocket->receiveStatusMessage(greeting);
    if (!isPositiveCompletion(status))
        throw Poco::Net::FTPException("the server is not ready", greeting, status);
}

vbFtpSession::~vbFtpSession()
{
    closeSession();
}

void vbFtpSession::finishTransfer()
{
    unlistData();
    endTransfer();
}

void vbFtpSession::closeSession()
{
    unlistData();
    try {
        m_control.setReceiveTimeout(vbTimespan(m_deadlines.quitWaitMs()));
        logout();
    } catch (...) {
        // No goodbye in time, or the connection is gone: closed all the same.
    }
    // Unlisted before the socket is closed, so a late abort cannot shut a
    // reused descriptor.
    unlistControl();
    try {
        close();
    } catch (...) {
    }
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

int vbFtpSession::receiveData(char* data, int size)
{
    if (!m_hasData)
        throw Poco::Net::NetException("no data connection");
    return m_data.receiveBytes(data, size);
}

Poco::Net::StreamSocket vbFtpSession::establishDataConnection(const std::string& command,
                                                              const std::string& arg)
{
    // Passive mode, with a connect that has a deadline and can be aborted.
    unlistData();
    const Poco::Net::SocketAddress address = sendPassiveCommand();
    Poco::Net::StreamSocket data;
    const bool connected = connectAbortable(data, QString::fromStdString(address.host().toString()),
                                            address.port(), m_deadlines.stepMs, m_aborter);
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

bool testFtpLogin(const QString& host, int port, const QString& user, const QString& password,
                  const vbNetDeadlines& deadlines)
{
    try {
        const std::unique_ptr<vbFtpSession> session = vbFtpSession::connect(host, port, deadlines);
        session->login(user.toStdString(), password.toStdString());
        return true;
    } catch (...) {
        return false;
    }
}

bool createFtpFolder(const QString& host, int port, const QString& user, const QString& password,
                     const QString& folderName, const vbNetDeadlines& deadlines)
{
    try {
        const std::unique_ptr<vbFtpSession> session = vbFtpSession::connect(host, port, deadlines);
        session->login(user.toStdString(), password.toStdString());
        session->createDirectory(folderName.toStdString());
        return true;
    } catch (...) {
        return false;
    }
}

std::unique_ptr<vbFtpSession> openFtpSession(const QString& host, int port, const QString& user,
                                             const QString& password, const QString& folder,
                                             const vbNetDeadlines& deadlines, vbSocketAborter* aborter)
{
    try {
        std::unique_ptr<vbFtpSession> session = vbFtpSession::connect(host, port, deadlines, aborter);
        session->login(user.toStdString(), password.toStdString());
        session->setWorkingDirectory(folder.toStdString());
        return session;
    } catch (...) {
        return nullptr;
    }
}
