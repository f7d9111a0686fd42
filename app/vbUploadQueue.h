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

    // Start-up: the pending list of the last run (read and deleted) and the upload log.
    void restorePending();
    void loadLog();

    const UploadLogRecords& logRecords() const { return m_logRecords; }
    const QSet<QString>& uploadedFiles() const { return m_uploadedFiles; }
    bool isUploading() const;
    QTimer* uploadTimer() const { return m_uploadTimer; }

    static QString logPath();
    static QString pendingPath();

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
    QSet<QString> m_uploadedFiles;
    UploadLogRecords m_logRecords;
};
