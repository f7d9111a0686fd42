#pragma once

#include "vbNetDeadlines.h"

#include <Poco/Net/FTPClientSession.h>

#include <QString>

#include <memory>

class vbSocketAborter;

// An FTP session with a deadline on every step: connecting, the greeting,
// each reply, the passive data connection, each send and read, and QUIT.
// With an aborter, another thread ends any blocked step by shutting the
// control and data connections down (the aborter keeps them listed).
class vbFtpSession : public Poco::Net::FTPClientSession
{
public:
    // Connects to host:port and reads the greeting. Throws a Poco exception
    // when that fails or the aborter was aborted meanwhile.
    static std::unique_ptr<vbFtpSession> connect(const QString& host, int port,
                                                 const vbNetDeadlines& deadlines,
                                                 vbSocketAborter* aborter = nullptr);
    ~vbFtpSession() override;

    // Ends an upload, download or listing begun last: the data connection
    // leaves the aborter first so it really closes and the server answers.
    // Throws when the server did not complete the transfer.
    void finishTransfer();
    // QUIT, answered within the goodbye's deadline, then closes. Throws nothing.
    void closeSession();
    // Drops the session without a goodbye (after a broken step): both
    // connections are shut, so closing afterwards does not wait.
    void abandon();
    // Sends bytes straight on the data connection of the transfer begun
    // last, bypassing the stream's small buffer. Throws what the socket throws.
    void sendData(const char* data, int size);
    // Reads what has arrived on that data connection (at most size bytes);
    // 0 at its end. Throws on a time-out or a broken connection.
    int receiveData(char* data, int size);

protected:
    Poco::Net::StreamSocket establishDataConnection(const std::string& command,
                                                    const std::string& arg) override;

private:
    vbFtpSession(const Poco::Net::StreamSocket& control, const vbNetDeadlines& deadlines,
                 vbSocketAborter* aborter);
    void unlistData();
    void unlistControl();

    Poco::Net::StreamSocket m_control;
    Poco::Net::StreamSocket m_data;
    bool m_hasData = false;
    bool m_controlListed = true;
    vbNetDeadlines m_deadlines;
    vbSocketAborter* m_aborter;
};

// The FTP operations of an account area. Each opens its own session; every
// failure makes the result false (or null). They block for an FTP login at most
// a few deadlines long.
bool testFtpLogin(const QString& host, int port, const QString& user, const QString& password,
                  const vbNetDeadlines& deadlines = vbNetDeadlines());
bool createFtpFolder(const QString& host, int port, const QString& user, const QString& password,
                     const QString& folderName, const vbNetDeadlines& deadlines = vbNetDeadlines());
// Connects, logs in and enters folder; the open session, or null on failure.
std::unique_ptr<vbFtpSession> openFtpSession(const QString& host, int port, const QString& user,
                                             const QString& password, const QString& folder,
                                             const vbNetDeadlines& deadlines = vbNetDeadlines(),
                                             vbSocketAborter* aborter = nullptr);
