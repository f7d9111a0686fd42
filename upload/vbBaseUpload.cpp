#include "vbBaseUpload.h"

#include <QDeadlineTimer>
#include <QFileInfo>

vbBaseUpload::vbBaseUpload(const QString& host, int port, const QString& user, const QString& password,
                           const QString& folder, const vbNetDeadlines& deadlines)
    : m_host(host), m_port(port), m_user(user), m_password(password), m_folder(folder), m_deadlines(deadlines)
{}

vbBaseUpload::~vbBaseUpload()
{
    endThread();
}

void vbBaseUpload::stopUpload()
{
    abortRun();
}

bool vbBaseUpload::startUpload(const vbUploadFiles& files, const QString& photoIdText)
{
    if (!filesPresent(files))
        return false;
    if (!abortRun()) {
        setLastError(tr("The previous transfer is still ending"));
        return false;
    }
    m_files = files;
    if (m_files.photoBase.isEmpty()) {
        const QFileInfo info(files.photoFile);
        m_files.photoBase = info.absolutePath() + QLatin1Char('/') + info.baseName();
    }
    m_photoIdText = photoIdText;
    m_stop = false;
    m_aborter.reset();
    setLastError(QString());
    aboutToStart();
    start(QThread::InheritPriority);
    return true;
}

QString vbBaseUpload::lastError() const
{
    QMutexLocker lock(&m_errorMutex);
    return m_lastError;
}

void vbBaseUpload::setLastError(const QString& text)
{
    QMutexLocker lock(&m_errorMutex);
    m_lastError = text;
}

bool vbBaseUpload::removeRemote(const QString&)
{
    return false;
}

void vbBaseUpload::removeRemoteLater(const QString&) {}

bool vbBaseUpload::abortRun(int waitMs)
{
    m_stop = true;
    m_aborter.abort();
    return wait(QDeadlineTimer(waitMs));
}

void vbBaseUpload::endThread()
{
    if (!abortRun())
        wait();
}

bool vbBaseUpload::connectSocket(Poco::Net::StreamSocket& socket, const QString& host, int port)
{
    return connectAbortable(socket, host, port, m_deadlines.stepMs, &m_aborter);
}
