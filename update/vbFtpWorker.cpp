#include "vbFtpWorker.h"

#include "vbFtpListParser.h"

#include <Poco/Exception.h>
#include <Poco/Net/FTPClientSession.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/SocketAddress.h>
#include <Poco/Net/SocketStream.h>
#include <Poco/Net/StreamSocketImpl.h>
#include <Poco/Timespan.h>

#include <QDate>
#include <QElapsedTimer>
#include <QMutexLocker>

#include <csignal>
#include <functional>
#include <mutex>

namespace {

// Chunks of received data waiting for the owner: 32 x 64 KiB.
constexpr int chunkSize = 64 * 1024;
constexpr int maxChunksInFlight = 32;

// A write to a connection the server has closed must fail, not end the process.
void ignoreSigPipe()
{
#ifdef SIGPIPE
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
#endif
}

class AbortedException : public Poco::Exception
{
public:
    AbortedException() : Poco::Exception("Aborted") {}
};

Poco::Timespan millis(int ms)
{
    return Poco::Timespan(Poco::Timespan::TimeDiff(ms) * 1000);
}

// Connects within timeoutMs, polling in short steps so that an abort is
// noticed; the socket is blocking afterwards, with the time-out on both ways.
void connectWithin(Poco::Net::StreamSocket& socket, const Poco::Net::SocketAddress& address, int timeoutMs,
                   const std::function<bool()>& aborted)
{
    socket.connectNB(address);
    QElapsedTimer timer;
    timer.start();
    while (!socket.poll(millis(100), Poco::Net::Socket::SELECT_WRITE | Poco::Net::Socket::SELECT_ERROR)) {
        if (aborted())
            throw AbortedException();
        if (timer.elapsed() > timeoutMs)
            throw Poco::TimeoutException("Connecting timed out");
    }
    const int socketError = socket.impl()->socketError();
    if (socketError != 0)
        throw Poco::Net::ConnectionRefusedException(address.toString(), socketError);
    socket.setBlocking(true);
    socket.setReceiveTimeout(millis(timeoutMs));
    socket.setSendTimeout(millis(timeoutMs));
}

// A session whose passive data connection has a deadline and gives up on an
// abort (the library's own connect has neither).
class Session : public Poco::Net::FTPClientSession
{
public:
    Session(const Poco::Net::StreamSocket& control, int timeoutMs, std::function<bool()> aborted)
        : Poco::Net::FTPClientSession(control, true), m_timeoutMs(timeoutMs), m_aborted(std::move(aborted))
    {
        setTimeout(millis(timeoutMs));
    }

protected:
    Poco::Net::StreamSocket establishDataConnection(const std::string& command,
                                                    const std::string& arg) override
    {
        const Poco::Net::SocketAddress address = sendPassiveCommand();
        Poco::Net::StreamSocket data;
        connectWithin(data, address, m_timeoutMs, m_aborted);
        std::string response;
        const int status = sendCommand(command, arg, response);
        if (!isPositivePreliminary(status))
            throw Poco::Net::FTPException(command + " command failed", response, status);
        return data;
    }

private:
    int m_timeoutMs;
    std::function<bool()> m_aborted;
};

} // namespace

vbFtpWorker::vbFtpWorker(QObject* parent) : QThread(parent), m_credits(maxChunksInFlight)
{
    ignoreSigPipe();
}

vbFtpWorker::~vbFtpWorker()
{
    stop();
    wait();
}

void vbFtpWorker::enqueue(const Command& command)
{
    QMutexLocker lock(&m_mutex);
    if (m_discarding)
        return;
    m_queue.enqueue(command);
    m_wake.wakeAll();
}

bool vbFtpWorker::hasPending() const
{
    QMutexLocker lock(&m_mutex);
    return !m_queue.isEmpty();
}

void vbFtpWorker::abortAll()
{
    QMutexLocker lock(&m_mutex);
    m_queue.clear();
    m_discarding = false;
    if (m_currentId < 0)
        return;
    m_abortRequested = true;
    // Shutting a socket down wakes a thread blocked reading it; the socket
    // itself is closed by the worker, which owns the session.
    auto shut = [](Poco::Net::StreamSocket& socket) {
        try {
            socket.shutdown();
        } catch (const Poco::Exception&) {
        }
    };
    if (m_dataSocket) {
        try {
            m_dataSocket->shutdown();
        } catch (const Poco::Exception&) {
        }
    }
    if (m_hasControlSocket)
        shut(m_controlSocket);
}

void vbFtpWorker::stop()
{
    abortAll();
    QMutexLocker lock(&m_mutex);
    m_stop = true;
    m_wake.wakeAll();
}

void vbFtpWorker::resumeAfterError()
{
    QMutexLocker lock(&m_mutex);
    m_discarding = false;
}

void vbFtpWorker::chunkConsumed()
{
    m_credits.release();
}

void vbFtpWorker::setTimeout(int ms)
{
    QMutexLocker lock(&m_mutex);
    m_timeoutMs = ms;
}

void vbFtpWorker::run()
{
    for (;;) {
        Command command;
        {
            QMutexLocker lock(&m_mutex);
            while (m_queue.isEmpty() && !m_stop)
                m_wake.wait(&m_mutex);
            if (m_stop)
                break;
            command = m_queue.dequeue();
            m_currentId = command.id;
            m_abortRequested = false;
        }
        emit commandStarted(command.id);

        QString error;
        bool connectionBroken = false;
        try {
            execute(command);
        } catch (const Poco::Net::FTPException& e) {
            // The server said no; the connection itself is still fine.
            error = QString::fromStdString(e.displayText());
        } catch (const Poco::Exception& e) {
            error = QString::fromStdString(e.displayText());
            connectionBroken = true;
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
            connectionBroken = true;
        }

        bool aborted = false;
        {
            QMutexLocker lock(&m_mutex);
            aborted = m_abortRequested;
            m_abortRequested = false;
            m_currentId = -1;
            m_dataSocket = nullptr;
            // After an abort the queue holds only what was queued since.
            if (!aborted && !error.isEmpty()) {
                m_queue.clear();
                m_discarding = true;
            }
        }
        if (aborted) {
            error = QStringLiteral("Aborted");
            connectionBroken = true;
        }
        if (connectionBroken)
            dropSession();
        emit commandFinished(command.id, !error.isEmpty(), error);
    }
    dropSession();
}

void vbFtpWorker::execute(const Command& command)
{
    switch (command.type) {
    case Command::Connect:
        connectToHost(command);
        break;
    case Command::Login:
        requireSession();
        m_session->login(command.arg.toStdString(), command.password.toStdString());
        break;
    case Command::Cd:
        requireSession();
        m_session->setWorkingDirectory(command.arg.toStdString());
        break;
    case Command::List:
        list(command);
        break;
    case Command::Get:
        get(command);
        break;
    }
    if (abortRequested())
        throw AbortedException();
}

void vbFtpWorker::connectToHost(const Command& command)
{
    dropSession();
    const Poco::Net::SocketAddress address(command.host.toStdString(), command.port);
    Poco::Net::StreamSocket socket;
    int timeout = 0;
    {
        QMutexLocker lock(&m_mutex);
        m_controlSocket = socket;
        m_hasControlSocket = true;
        timeout = m_timeoutMs;
    }
    const auto aborted = [this] { return abortRequested(); };
    connectWithin(socket, address, timeout, aborted);
    // The greeting is read under the same deadline; an abort shuts the socket.
    m_session = std::make_unique<Session>(socket, timeout, aborted);
}

void vbFtpWorker::list(const Command& command)
{
    requireSession();
    std::istream& in = m_session->beginList(command.arg.toStdString(), true);
    watchDataStream(in);
    const QDate today = QDate::currentDate();
    std::string line;
    while (std::getline(in, line)) {
        if (abortRequested())
            throw AbortedException();
        vbFtpEntry entry;
        if (vbFtpListParser::parseLine(QByteArray::fromStdString(line), today, &entry))
            emit listInfo(entry);
    }
    if (abortRequested())
        throw AbortedException();
    if (in.bad())
        throw Poco::IOException("Listing interrupted");
    forgetDataSocket();
    m_session->endList();
}

void vbFtpWorker::get(const Command& command)
{
    requireSession();
    const std::string name = command.arg.toStdString();
    // The size, when the server tells it, gives the progress its total and
    // shows a transfer that ended early.
    qint64 total = 0;
    std::string response;
    if (m_session->sendCommand("SIZE", name, response) == 213) {
        const QByteArray text = QByteArray::fromStdString(response).trimmed();
        bool ok = false;
        const qint64 size = text.mid(text.lastIndexOf(' ') + 1).toLongLong(&ok);
        if (ok && size >= 0)
            total = size;
    }

    // Read straight from the data socket: the stream would wait for a full
    // buffer, and progress must show whatever has arrived.
    Poco::Net::StreamSocketImpl* data = watchDataStream(m_session->beginDownload(name));
    qint64 done = 0;
    QByteArray buffer(chunkSize, Qt::Uninitialized);
    for (;;) {
        const int n = data->receiveBytes(buffer.data(), int(buffer.size()));
        if (abortRequested())
            throw AbortedException();
        if (n <= 0)
            break;
        done += n;
        while (!m_credits.tryAcquire(1, 100)) {
            if (abortRequested())
                throw AbortedException();
        }
        emit dataReceived(command.id, buffer.left(n), done, total);
    }
    forgetDataSocket();
    m_session->endDownload();
    if (total > 0 && done != total)
        throw Poco::IOException("Transfer incomplete");
}

Poco::Net::StreamSocketImpl* vbFtpWorker::watchDataStream(std::istream& stream)
{
    auto* ios = dynamic_cast<Poco::Net::SocketIOS*>(&stream);
    if (!ios || !ios->rdbuf()->socketImpl())
        throw Poco::IllegalStateException("The data connection is not a socket stream");
    // The stream keeps the socket alive until the transfer ends; no handle is
    // taken here because SocketIOS::socket() does not count its reference.
    Poco::Net::StreamSocketImpl* socket = ios->rdbuf()->socketImpl();
    QMutexLocker lock(&m_mutex);
    socket->setReceiveTimeout(millis(m_timeoutMs));
    m_dataSocket = socket;
    if (m_abortRequested)
        socket->shutdown();
    return socket;
}

void vbFtpWorker::forgetDataSocket()
{
    QMutexLocker lock(&m_mutex);
    m_dataSocket = nullptr;
}

bool vbFtpWorker::abortRequested() const
{
    QMutexLocker lock(&m_mutex);
    return m_abortRequested || m_stop;
}

void vbFtpWorker::requireSession() const
{
    if (!m_session)
        throw Poco::Net::NetException("Not connected");
}

void vbFtpWorker::dropSession()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_hasControlSocket) {
            try {
                m_controlSocket.shutdown();
            } catch (const Poco::Exception&) {
            }
        }
        m_hasControlSocket = false;
        m_controlSocket = Poco::Net::StreamSocket();
    }
    try {
        m_session.reset();
    } catch (...) {
        // The goodbye cannot reach a connection that is already shut down.
    }
}
