#pragma once

#include "vbFtpEntry.h"
#include "vbNetDeadlines.h"
#include "vbSocketAborter.h"

#include <QByteArray>
#include <QMutex>
#include <QQueue>
#include <QSemaphore>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <memory>

class vbFtpSession;

// The thread behind vbFtp: runs queued FTP commands one after another on a
// POCO session and reports through signals (queued to the owner's thread).
// Nothing here touches the owner's objects; received file data travels in
// dataReceived() and the owner writes it.
class vbFtpWorker : public QThread
{
    Q_OBJECT
public:
    struct Command
    {
        enum Type
        {
            Connect,
            Login,
            Cd,
            List,
            Get
        };
        Type type = Connect;
        int id = 0;
        QString host;
        quint16 port = 21;
        QByteArray arg;
        QByteArray password;
    };

    explicit vbFtpWorker(QObject* parent = nullptr);
    ~vbFtpWorker() override;

    // Dropped while a failure is not yet acknowledged (see resumeAfterError()).
    void enqueue(const Command& command);
    bool hasPending() const;
    // Drops the queued commands and interrupts the running one by shutting
    // its connections down; the running command finishes with an error.
    void abortAll();
    // The owner has seen a failed command: commands queued from now on run.
    // Until then they are dropped like the ones queued before the failure,
    // since the owner queued them not knowing of it.
    void resumeAfterError();
    // Ends the thread: like abortAll(), then run() returns.
    void stop();
    // The owner has handled one dataReceived() chunk.
    void chunkConsumed();
    // How long a silent server is waited for, in milliseconds.
    void setTimeout(int ms);

signals:
    void commandStarted(int id);
    void commandFinished(int id, bool error, const QString& errorText);
    void dataReceived(int id, const QByteArray& data, qint64 done, qint64 total);
    void listInfo(const vbFtpEntry& entry);

protected:
    void run() override;

private:
    void execute(const Command& command);
    void connectToHost(const Command& command);
    void list(const Command& command);
    void get(const Command& command);
    bool abortRequested() const;
    void requireSession() const;
    // Closes the connection without a goodbye (used after errors and aborts).
    void dropSession();

    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    QQueue<Command> m_queue;
    bool m_stop = false;
    int m_currentId = -1;
    bool m_abortRequested = false;
    bool m_discarding = false;
    // The session's connections, so another thread can shut them down.
    vbSocketAborter m_aborter;
    vbNetDeadlines m_deadlines;

    // Bounds the received data waiting in the owner's event queue.
    QSemaphore m_credits;

    // Used by the worker thread only.
    std::unique_ptr<vbFtpSession> m_session;
};
