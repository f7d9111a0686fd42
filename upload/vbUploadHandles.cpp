#include "vbUploadHandles.h"

#include "vbBaseUpload.h"

#include <QNetworkReply>

void vbUploadWorkerDeleter::operator()(vbBaseUpload* worker) const
{
    if (!worker)
        return;
    worker->disconnect();
    if (worker->abortRun()) {
        delete worker;
        return;
    }
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    if (worker->isFinished())
        worker->deleteLater();
}

vbPendingReply::~vbPendingReply()
{
    drop();
}

void vbPendingReply::reset(QNetworkReply* reply)
{
    drop();
    m_reply = reply;
}

void vbPendingReply::drop()
{
    QNetworkReply* reply = take();
    if (!reply)
        return;
    reply->disconnect();
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}

QNetworkReply* vbPendingReply::take()
{
    QNetworkReply* reply = m_reply.data();
    m_reply = nullptr;
    return reply;
}
