#pragma once

#include "vbEndpoints.h"
#include "vbFtpEntry.h"

#include <QDir>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QStringList>

class QFile;
class vbFtp;

// Downloads every plain file of one folder of the update FTP area into a
// local folder, then swaps the new files in place of the old ones.
//
// Each file N is written as "N.newVersion"; when all have arrived, in name
// order, an existing N moves aside to "N.tmp", "N.newVersion" becomes N
// (keeping the old file's permissions) and "N.tmp" is removed. A failed or
// cancelled run leaves no ".newVersion" file behind. Shows nothing itself:
// the update dialog and the element library present it.
class vbUpdateDownloader : public QObject
{
    Q_OBJECT
public:
    enum State
    {
        Checking,          // connecting, logging in, listing
        Downloading,       // the listed files are on their way
        NothingToDownload, // the folder held no plain file
        Complete,          // everything arrived and was swapped in (or tried to be)
        Failed,
        Cancelled
    };
    Q_ENUM(State)

    // remoteFolder: "program" or "element" under "update"; targetFolder: empty
    // for the current folder. The update host and FTP port come from endpoints.
    vbUpdateDownloader(const QString& remoteFolder, const QString& targetFolder, const vbEndpoints& endpoints,
                       QObject* parent = nullptr);

    // Queues the connection, login, folder changes and the listing.
    void start();
    // Stops a running download at once; its partial files are removed.
    void cancel();
    // How long a silent server is waited for, per step (default 60 s).
    void setTimeout(int ms);

    State state() const { return m_state; }
    // Ended: nothing more will be reported.
    bool isFinished() const { return m_state != Checking && m_state != Downloading; }
    // Every listed file arrived and took its place (true as well when the
    // folder held no file); false after a failure, a cancel, a file that
    // could not be written or one that could not be swapped in.
    bool completed() const { return m_completed; }

    // A listed name that may be written: no folder parts, nothing that climbs
    // out of the target folder, no control characters.
    static bool isPlainFileName(const QString& name);

signals:
    void sig_stateChanged(vbUpdateDownloader::State state);
    // Bytes of all files so far, of the listed total.
    void sig_progress(qint64 done, qint64 total);

private:
    void onCommandStarted(int id);
    void onCommandFinished(int id, bool error);
    void onListInfo(const vbFtpEntry& entry);
    void startDownloads();
    void finishDownloads();
    void end(State state);
    void removeDownloads();
    bool swapIn(const QString& name, QFile* file);
    QString localPath(const QString& name) const;

    QString m_remoteFolder;
    QString m_targetPath;
    QDir m_targetDir;
    vbEndpoints m_endpoints;
    vbFtp* m_ftp;
    State m_state = Checking;
    bool m_completed = false;
    int m_listId = -1;
    int m_lastGetId = -1;
    qint64 m_totalSize = 0;
    qint64 m_finishedBytes = 0;
    qint64 m_currentBytes = 0;
    QStringList m_fileNames;
    QMap<QString, QFile*> m_openFiles;
    QSet<int> m_getIds;
};
