#include "vbFtp.h"

#include "vbFtpWorker.h"

#include <QIODevice>

vbFtp::vbFtp(QObject* parent) : QObject(parent), m_worker(new vbFtpWorker(this))
{
    qRegisterMetaType<vbFtpEntry>();
    connect(m_worker, &vbFtpWorker::commandStarted, this, &vbFtp::commandStarted);
    connect(m_worker, &vbFtpWorker::commandFinished, this, &vbFtp::onFinished);
    connect(m_worker, &vbFtpWorker::dataReceived, this, &vbFtp::onData);
    connect(m_worker, &vbFtpWorker::listInfo, this, &vbFtp::listInfo);
    m_worker->start();
}

vbFtp::~vbFtp()
{
    m_worker->disconnect(this);
    m_worker->stop();
    if (!m_worker->wait(1500)) {
        // A call that even a closed socket does not end (a host name still
        // resolving): let the thread finish on its own and clean up after itself.
        m_worker->setParent(nullptr);
        connect(m_worker, &QThread::finished, m_worker, &QObject::deleteLater);
        if (m_worker->isFinished())
            m_worker->deleteLater();
    }
}

int vbFtp::connectToHost(const QString& host, quint16 port)
{
    return enqueue(vbFtpWorker::Command::Connect, QByteArray(), host, port);
}

int vbFtp::login(const QString& user, const QString& password)
{
    return enqueue(vbFtpWorker::Command::Login, user.toLocal8Bit(), QString(), 0, password.toLocal8Bit());
}

int vbFtp::cd(const QByteArray& dir)
{
    return enqueue(vbFtpWorker::Command::Cd, dir);
}

int vbFtp::list(const QByteArray& dir)
{
    return enqueue(vbFtpWorker::Command::List, dir);
}

int vbFtp::get(const QByteArray& file, QIODevice* device)
{
    const int id = enqueue(vbFtpWorker::Command::Get, file);
    m_devices.insert(id, device);
    return id;
}

void vbFtp::abort()
{
    m_worker->abortAll();
    // Data of the stopped transfer still on its way is not written.
    m_devices.clear();
}

bool vbFtp::hasPendingCommands() const
{
    return m_worker->hasPending();
}

void vbFtp::setTimeout(int ms)
{
    m_worker->setTimeout(ms);
}

int vbFtp::enqueue(int type, const QByteArray& arg, const QString& host, quint16 port,
                   const QByteArray& password)
{
    vbFtpWorker::Command c;
    c.type = vbFtpWorker::Command::Type(type);
    c.id = m_nextId++;
    c.arg = arg;
    c.host = host;
    c.port = port;
    c.password = password;
    m_worker->enqueue(c);
    return c.id;
}

void vbFtp::onFinished(int id, bool error, const QString& errorText)
{
    m_devices.remove(id);
    if (m_writeFailed.remove(id)) {
        error = true;
        m_errorString = QStringLiteral("Writing the local file failed");
    } else if (error) {
        m_errorString = errorText;
    }
    if (error)
        m_worker->resumeAfterError();
    emit commandFinished(id, error);
}

void vbFtp::onData(int id, const QByteArray& data, qint64 done, qint64 total)
{
    m_worker->chunkConsumed();
    const QPointer<QIODevice> device = m_devices.value(id);
    if (!device)
        return;
    if (device->write(data) != data.size()) {
        // A full disk or a closed file: the transfer cannot succeed any more.
        m_writeFailed.insert(id);
        m_devices.remove(id);
        m_worker->abortAll();
        return;
    }
    emit dataTransferProgress(done, total);
}
