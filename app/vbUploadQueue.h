#pragma once

#include "vbUploadItem.h"
#include "vbUploadLogRecord.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>

class QTimer;
class vbSession;
class vbUploadList;
class vbUploadPrompts;

// The upload queue: the checks before an upload, the preparation hand-off, the
// 3000 ms tick that moves every photo one step with at most three in flight,
// the results, the upload log and the pending list. It works on the photo list
// through vbUploadList, asks its questions through vbUploadPrompts and tells
// what it does through signals; it knows no window.
class vbUploadQueue : public QObject
{
    Q_OBJECT
public:
    // The two blocking FTP calls of an upload's start (tests hand in their own).
    struct FtpCalls
    {
        std::function<bool(const QString& host, int port, const QString& user, const QString& password)>
            testLogin;
        std::function<bool(const QString& host, int port, const QString& user, const QString& password,
                           const QString& folder)>
            createFolder;
    };
    static FtpCalls realFtpCalls();

    vbUploadQueue(vbSession* session, vbUploadList* list, vbUploadPrompts* prompts, FtpCalls ftp,
                  QObject* parent = nullptr);
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
    void nodePreUploadComplete(vbUploadItem* item);
    // The list changed: its recovery copy is rewritten soon.
    void listChanged();
    // The closing sequence's part of the queue: a running upload is cancelled
    // if the user agrees, the photos are kept for the next start if asked,
    // the log is written and the recovery copy goes. False: the user keeps
    // the upload running and the program goes on.
    bool closeDown();

signals:
    // The status line.
    void sig_statusText(const QString& text);
    // A note kept after the status line (photos brought back at start).
    void sig_statusNotice(const QString& notice);
    // A run was cancelled or has finished (before its result is told):
    // photosLeft are still listed.
    void sig_runEnded(int photosLeft, bool finished);
    // An upload run ended (after its result was told and answered).
    void sig_uploadFinished(int uploaded, int failed);

private:
    QList<vbUploadItem*> listItems() const;
    // The photos of the running upload that are still listed, in list order.
    QList<vbUploadItem*> runItems() const;
    // A photo enters the running upload: the status line follows it.
    void joinRun(vbUploadItem* item);
    // Every photo leaves the run (it ended or was cancelled).
    void leaveRun();
    // "Uploading...": the uploaded and the remaining photos of the run.
    void showRunProgress();
    // The paths that stand for the listed photos in the pending list and the recovery copy.
    QStringList keptPaths() const;
    bool saveRecovery();
    bool saveLog(bool wait);
    // Tells the user once what could not be saved, until a save works again.
    void reportSaveFailure(const QString& path, const QString& error, bool wait);
    void askAboutUploadedBefore();
    void cancelUpload();
    void finishUpload(int uploaded, int failed);
    void appendLog(vbUploadItem* item, bool succeeded);

    vbSession* m_session;
    vbUploadList* m_list;
    vbUploadPrompts* m_prompts;
    FtpCalls m_ftp;
    QTimer* m_uploadTimer;
    bool m_ftpChecked = false;
    QList<QPointer<vbUploadItem>> m_activeUploads;
    QList<QPointer<vbUploadItem>> m_runItems;
    QTimer* m_recoveryTimer;
    bool m_keepingRecovery = false;
    QSet<QString> m_failedSaves;
    int m_recoveredCount = 0;
    QSet<QString> m_uploadedFiles;
    UploadLogRecords m_logRecords;
};
