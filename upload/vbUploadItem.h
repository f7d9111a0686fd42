#pragma once

#include <QObject>
#include <QString>

// One photo as the upload controller sees it: its state and counters, its
// files and the three protocol steps. The photo list's node implements it;
// the controller needs nothing else of a photo.
class vbUploadItem : public QObject
{
    Q_OBJECT
public:
    // The numbers are those the tile and the tick have always tested.
    enum class State
    {
        Waiting = 0,
        Stopped = 1,
        Prepared = 2,
        RequestingKey = 3,
        KeyFailed = 4,
        KeyReady = 5,
        Transferring = 6,
        Failed = 7,
        Transferred = 8,
        Committing = 9,
        CommitFailed = 10,
        Uploaded = 11
    };
    Q_ENUM(State)

    using QObject::QObject;

    virtual State uploadState() const = 0;
    // Waiting and Prepared reset the key and commit failure counters first.
    virtual void setUploadState(State state) = 0;
    virtual int keyFailures() const = 0;
    virtual int commitFailures() const = 0;
    virtual bool resultLogged() const = 0;
    virtual void setResultLogged(bool logged) = 0;
    // The photo belongs to the running upload; outside one, Waiting means nothing.
    virtual void setInUploadRun(bool inRun) = 0;
    // The file first given (logged) and the file that stands for the photo now.
    virtual QString sourcePath() const = 0;
    virtual QString absoluteFilePath() const = 0;
    // The loaders found the file unusable: it fails at once instead of being sent.
    virtual bool isUnreadable() const = 0;
    virtual QString failureReason() const = 0;
    virtual void setFailureReason(const QString& reason) = 0;

    // The protocol steps; each only starts the work, the state moves on later.
    virtual void requestKey() = 0;
    virtual void startTransfer(bool ftp, const QString& host, const QString& user, const QString& password,
                               const QString& folder) = 0;
    virtual void commit() = 0;
    // Tells a running transfer to end without waiting for it, so that several
    // photos cancelled together wait only once.
    virtual void abortTransfer() = 0;
    // Ends every step of the photo: Stopped.
    virtual void cancelUpload() = 0;

signals:
    // End of preparation, whether or not anything was written.
    void sig_preUploadComplete(vbUploadItem* item);
    // setUploadState changed the state.
    void sig_uploadStateChanged(vbUploadItem* item);
};

using vbUploadState = vbUploadItem::State;
