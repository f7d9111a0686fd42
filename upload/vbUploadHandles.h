#pragma once

#include <QPointer>

class QNetworkReply;
class vbBaseUpload;

// Deletes an upload worker without blocking for long: its connections are
// shut and its thread given a short wait; a thread still busy then (a host
// name resolving) deletes the worker itself when it ends. Nothing is removed
// from the server.
struct vbUploadWorkerDeleter
{
    void operator()(vbBaseUpload* worker) const;
};

// A service reply the owner is waiting for. Dropping it (or destroying the
// holder) disconnects it from everything, aborts it if still running and
// deletes it later, so a late answer can no longer reach the owner.
class vbPendingReply
{
public:
    vbPendingReply() = default;
    ~vbPendingReply();
    vbPendingReply(const vbPendingReply&) = delete;
    vbPendingReply& operator=(const vbPendingReply&) = delete;

    // Drops the reply held before.
    void reset(QNetworkReply* reply);
    void drop();
    // Hands the reply over (to be read and then deleted later by the caller).
    QNetworkReply* take();
    QNetworkReply* get() const { return m_reply.data(); }
    bool isPending() const { return !m_reply.isNull(); }

private:
    QPointer<QNetworkReply> m_reply;
};
