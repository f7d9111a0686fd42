#pragma once

#include <Poco/Net/FTPClientSession.h>

#include <QString>

#include <memory>

class vbSocketAborter;

// An FTP session whose control and data connections can be shut down from
// another thread (through the aborter it was opened with), with send and
// receive time-outs on both.
class vbFtpSession : public Poco::Net::FTPClientSession
{
public:
    vbFtpSession(const Poco::Net::StreamSocket& control, vbSocketAborter* aborter);
    ~vbFtpSession() override;

    // Ends a file upload; the data connection leaves the aborter first so it
    // really closes and the server can answer.
    void finishUpload();
    // Closes the session: QUIT, answered within the time-out, while the
    // control connection stays listed so a stop cuts the wait short.
    void closeSession();
    // Drops the session without a goodbye (after a broken transfer): both
    // connections are shut, so closing afterwards does not wait.
    void abandon();
    // Sends bytes straight on the data connection of the upload begun last,
    // bypassing the stream's small buffer. Throws what the socket throws.
    void sendData(const char* data, int size);

protected:
    Poco::Net::StreamSocket establishDataConnection(const std::string& command,
                                                    const std::string& arg) override;

private:
    void unlistData();
    void unlistControl();

    Poco::Net::StreamSocket m_control;
    Poco::Net::StreamSocket m_data;
    bool m_hasData = false;
    bool m_controlListed = true;
    vbSocketAborter* m_aborter;
};

// The FTP operations of the photo upload. Each opens its own session on the
// service's FTP port (port < 0) or the given one; every exception makes the
// result false. They block for the length of an FTP login.
bool testFtpLogin(const QString& host, const QString& user, const QString& password, int port = -1);
bool createFtpFolder(const QString& host, const QString& user, const QString& password,
                     const QString& folderName, int port = -1);
// Connects, logs in and enters folder; the open session, or null on failure.
// With an aborter the connections can be shut down from another thread.
std::unique_ptr<vbFtpSession> openFtpSession(const QString& host, const QString& user,
                                             const QString& password, const QString& folder, int port = -1,
                                             vbSocketAborter* aborter = nullptr);
