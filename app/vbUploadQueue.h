#pragma once

#include "vbUploadLogRecord.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QTimer;
class vbFileNode;
class vbMainWnd;

// The upload queue of the main window: the checks before an upload, the
// preparation hand-off, the 3000 ms tick that moves every photo one step with
// at most three in flight, the results, the upload log and the pending list,
// and the closing sequence of the program.
class vbUploadQueue : public QObject
{
    Q_OBJECT
public:
    explicit vbUploadQueue(vbMainWnd* window);
    ~vbUploadQueue() override;

    // Start-up: the photos of the last run (the pending list the user kept,
    // and the recovery copy a run that did not quit normally left behind),
    // then the upload log. The running list's recovery copy is kept from here on.
    void restorePending();
    void loadLog();
    // Photos the recovery copy brought back at start (0 after a normal quit).
    int recoveredCount() const { return m_recoveredCount; }

    const UploadLogRecords& logRecords() const { return m_logRecords; }
    const QSet<QString>& uploadedFiles() const { return m_uploadedFiles; }
    bool isUploading() const;
    QTimer* uploadTimer() const { return m_uploadTimer; }

    static QString logPath();
    static QString pendingPath();
    // The running program's copy of its photo list.
    static QString recoveryPath();

    // The texts of the album limit and of the progress line.
    static QString albumFullText();
    static QString albumRoomQuestion(int room);
    static QString progressText(const QString& lead, int uploaded, int waiting);

public slots:
    // The status bar's Upload button (it asks to cancel while an upload runs).
    void startUpload();
    // The upload tick.
    void checkToUpload();
    void nodePreUploadComplete(vbFileNode* node);
    // The tray's Quit: log written, pending list offered, event loop ended.
    void closeProgram();

signals:
    // An upload run ended (after its result dialog was answered).
    void sig_uploadFinished(int uploaded, int failed);

private:
    QList<vbFileNode*> listNodes() const;
    // The photos of the running upload that are still listed, in list order.
    QList<vbFileNode*> runNodes() const;
    // A photo enters the running upload: its tile and the status line follow it.
    void joinRun(vbFileNode* node);
    // Every photo leaves the run (it ended or was cancelled).
    void leaveRun();
    // "Uploading...": the uploaded and the remaining photos of the run, as the tiles show them.
    void showRunProgress();
    // The paths that stand for the listed photos in the pending list and the recovery copy.
    QStringList keptPaths() const;
    bool saveRecovery();
    bool saveLog();
    // Tells the user once what could not be saved, until a save works again.
    void reportSaveFailure(const QString& path, const QString& error, bool wait);
    void askAboutUploadedBefore();
    void cancelUpload();
    void finishUpload(int uploaded, int failed);
    void setUploadingLook(bool uploading);
    void appendLog(vbFileNode* node, bool succeeded);
    int message(int flags, const QString& text);

    vbMainWnd* m_window;
    QTimer* m_uploadTimer;
    bool m_ftpChecked = false;
    QList<QPointer<vbFileNode>> m_activeUploads;
    QList<QPointer<vbFileNode>> m_runNodes;
    QTimer* m_recoveryTimer;
    QSet<QString> m_failedSaves;
    int m_recoveredCount = 0;
    QSet<QString> m_uploadedFiles;
    UploadLogRecords m_logRecords;
};
