#pragma once

#include "vbFtpEntry.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QIODevice;
class vbFtpWorker;

// Asynchronous FTP client with a command queue. Each call queues one command
// and returns its id; the commands run one after another on a worker thread
// and report through signals delivered in this object's thread:
// commandStarted(id), then commandFinished(id, error). A command that fails
// finishes with error = true and every command queued before that signal
// arrives is dropped without signals. Transfers are binary.
class vbFtp : public QObject
{
    Q_OBJECT
public:
    explicit vbFtp(QObject* parent = nullptr);
    ~vbFtp() override;

    int connectToHost(const QString& host, quint16 port = 21);
    int login(const QString& user, const QString& password);
    int cd(const QByteArray& dir);
    // Lists dir (empty: the current folder); each readable line arrives as listInfo().
    int list(const QByteArray& dir = QByteArray());
    // Downloads file into device, which must be open for writing and stay
    // alive until the command has finished (or is aborted).
    int get(const QByteArray& file, QIODevice* device);

    // Drops the queued commands and stops the running one at once by closing
    // the connection; it finishes with error = true. Connect again to go on.
    void abort();

    bool hasPendingCommands() const;
    // Why the last failed command failed.
    QString errorString() const { return m_errorString; }
    // How long a silent server is waited for before the command fails (default 60 s).
    void setTimeout(int ms);

signals:
    void commandStarted(int id);
    void commandFinished(int id, bool error);
    void dataTransferProgress(qint64 done, qint64 total);
    void listInfo(const vbFtpEntry& entry);

private:
    int enqueue(int type, const QByteArray& arg, const QString& host = QString(), quint16 port = 0,
                const QByteArray& password = QByteArray());
    void onFinished(int id, bool error, const QString& errorText);
    void onData(int id, const QByteArray& data, qint64 done, qint64 total);

    vbFtpWorker* m_worker;
    int m_nextId = 1;
    QString m_errorString;
    QHash<int, QPointer<QIODevice>> m_devices;
    QSet<int> m_writeFailed;
};
