#pragma once

#include "vbNetDeadlines.h"
#include "vbSocketAborter.h"

#include <QMutex>
#include <QString>
#include <QThread>

#include <atomic>

// The files one photo upload sends. The photo file is sent as it is; the
// prepared pictures only go by FTP.
struct vbUploadFiles
{
    QString photoFile;  // the photo's current file
    QString mediumFile; // prepared "_1" picture (500 box)
    QString smallFile;  // prepared "_2" picture (122 box)
    // Folder + "/" + base name of the photo: the file name the HTTP upload
    // gives. Empty: made from photoFile.
    QString photoBase;
};

// A thread that sends one photo's data and reports progress and the outcome.
// The caller keeps it and may start it again after a failed run. Stopping
// shuts down the worker's connections so a blocked call returns at once; the
// thread is never terminated (that would abort the process inside a catch).
class vbBaseUpload : public QThread
{
    Q_OBJECT
public:
    // HTTP: user = user id, password = the upload key, folder = album id.
    // FTP: user and password of the account, folder = the album's folder.
    // port: the service's HTTP or FTP port; deadlines bound every network step.
    vbBaseUpload(const QString& host, int port, const QString& user, const QString& password,
                 const QString& folder, const vbNetDeadlines& deadlines);
    ~vbBaseUpload() override;

    // Asks a running transfer to end; returns once it has, or after kStopWaitMs.
    virtual void stopUpload();
    // Ends a running thread without a report: stop set, connections shut,
    // then waits up to waitMs. True once the thread has ended.
    bool abortRun(int waitMs = kStopWaitMs);
    // Checks that the needed files exist, ends a previous run, starts the
    // thread. False, and nothing started, when a file is missing.
    virtual bool startUpload(const vbUploadFiles& files, const QString& photoIdText);
    // Removes what was stored on the server under photoIdText. Nothing by default.
    virtual bool removeRemote(const QString& photoIdText);
    // Same, without blocking the caller: the removal runs in the background.
    virtual void removeRemoteLater(const QString& photoIdText);

    QString host() const { return m_host; }
    int port() const { return m_port; }
    const vbNetDeadlines& deadlines() const { return m_deadlines; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    QString folder() const { return m_folder; }
    vbUploadFiles files() const { return m_files; }
    QString photoIdText() const { return m_photoIdText; }
    qint64 totalBytes() const { return m_totalBytes; }
    qint64 sentBytes() const { return m_sentBytes; }
    // Why the last run failed, for people; empty after a success.
    QString lastError() const;

    // How long stopping waits for the thread. Every blocking call returns at
    // once when its socket is shut, so only a host name still resolving lasts longer.
    static constexpr int kStopWaitMs = 1500;

signals:
    void sig_dataTransfer(qint64 done, qint64 total);
    void sig_done(bool ok);

protected:
    // Whether every file this worker sends exists.
    virtual bool filesPresent(const vbUploadFiles& files) const = 0;
    // Called on the caller's thread just before the thread starts.
    virtual void aboutToStart() {}
    // Like abortRun(), then waits for the thread however long its deadline
    // allows. Derived destructors call it while their members still exist.
    void endThread();
    bool stopRequested() const { return m_stop.load(); }
    void setLastError(const QString& text);

    // Connects to host:port, giving up on a stop or after the step deadline.
    // The connected socket is blocking, has the time-outs set and is listed in
    // aborter(). False when it could not connect.
    bool connectSocket(Poco::Net::StreamSocket& socket, const QString& host, int port);
    vbSocketAborter& aborter() { return m_aborter; }

    QString m_host;
    int m_port;
    QString m_user;
    QString m_password;
    QString m_folder;
    std::atomic<qint64> m_totalBytes{0};
    std::atomic<qint64> m_sentBytes{0};
    QString m_photoIdText;
    vbUploadFiles m_files;
    std::atomic_bool m_stop{false};
    const vbNetDeadlines m_deadlines;

private:
    vbSocketAborter m_aborter;
    mutable QMutex m_errorMutex;
    QString m_lastError;
};
