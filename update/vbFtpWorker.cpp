#include "vbFtpWorker.h"

#include "vbFtpListParser.h"
#include "vbFtpSession.h"

#include <Poco/Exception.h>
#include <Poco/Net/NetException.h>

#include <QDate>
#include <QMutexLocker>

#include <istream>

namespace {

// Chunks of received data waiting for the owner: 32 x 64 KiB.
constexpr int chunkSize = 64 * 1024;
constexpr int maxChunksInFlight = 32;

class AbortedException : public Poco::Exception
{
public:
    AbortedException() : Poco::Exception("Aborted") {}
};

} // namespace

vbFtpWorker::vbFtpWorker(QObject* parent) : QThread(parent), m_credits(maxChunksInFlight) {}

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
    // Shutting a socket down wakes a thread blocked on it; the worker, which
    // owns the session, closes it.
    m_aborter.abort();
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
    m_deadlines.stepMs = ms;
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
            m_aborter.reset();
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
    vbNetDeadlines deadlines;
    {
        QMutexLocker lock(&m_mutex);
        deadlines = m_deadlines;
    }
    try {
        m_session = vbFtpSession::connect(command.host, command.port, deadlines, &m_aborter);
    } catch (const Poco::Exception&) {
        if (abortRequested())
            throw AbortedException();
        throw;
    }
}

void vbFtpWorker::list(const Command& command)
{
    requireSession();
    std::istream& in = m_session->beginList(command.arg.toStdString(), true);
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
    m_session->finishTransfer();
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

    // Read straight from the data connection: the stream would wait for a
    // full buffer, and progress must show whatever has arrived.
    m_session->beginDownload(name);
    qint64 done = 0;
    QByteArray buffer(chunkSize, Qt::Uninitialized);
    for (;;) {
        const int n = m_session->receiveData(buffer.data(), int(buffer.size()));
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
    m_session->finishTransfer();
    if (total > 0 && done != total)
        throw Poco::IOException("Transfer incomplete");
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
    if (!m_session)
        return;
    // No goodbye: after an error or an abort the server's word is not waited for.
    m_session->abandon();
    m_session.reset();
}
