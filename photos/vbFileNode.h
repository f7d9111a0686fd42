#pragma once

#include "vbExifReader.h"
#include "vbImageLoader.h"
#include "vbSession.h"
#include "vbUploadHandles.h"
#include "vbUploadItem.h"
#include "vbViewMode.h"

#include <QFileInfo>
#include <QImage>
#include <QListWidgetItem>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class vbFileNodeUI;
class _loadThread;
class _saveImageThread;
class vbBaseUpload;

// One photo of a photo list: the row item of the list widget and the record
// the upload works on (file, thumbnail, EXIF values, key or photo id, upload
// state and failure counters).
//
// Everything here is read and written on the GUI thread only. The loader
// threads work on copies of what they need and hand their results back through
// queued calls, so no loader ever touches a node.
class vbFileNode : public vbUploadItem, public QListWidgetItem
{
    Q_OBJECT
public:
    vbFileNode();
    ~vbFileNode() override;

    // The session the photo uploads in (the list's); key, transfer and commit need one.
    void setSession(vbSession* session);
    vbSession* session() const { return m_session; }

    // The file that stands for the photo now (the user's file, its re-compressed
    // copy or the editor's result).
    QFileInfo fileInfo() const { return m_fileInfo; }
    // Also remembers the first path ever given as sourcePath().
    void setFileInfo(const QFileInfo& info);
    QString baseName() const { return m_fileInfo.baseName(); }
    QString fileName() const { return m_fileInfo.fileName(); }
    QString absoluteFilePath() const override { return m_fileInfo.absoluteFilePath(); }
    QString absolutePath() const { return m_fileInfo.absolutePath(); }
    qint64 fileSize() const { return m_fileInfo.size(); }
    QString sourcePath() const override { return m_sourcePath; }
    // Prepared "_2.jpg" (122 box) and "_1.jpg" (500 box), set by preparation.
    QFileInfo smallFile() const { return m_smallFile; }
    QFileInfo mediumFile() const { return m_mediumFile; }
    // This photo's own folder for prepared and edited files:
    // tempImagesPath() + "/<n>", n unique per node in this run. Not created here.
    QString tempFolder() const;

    // Renames the file on disk within its folder to newBaseName + "." + its
    // complete suffix. False, and nothing changed, when the rename fails.
    bool renameFile(const QString& newBaseName);

    // The photo fitted into 244 x 244; null while it is (re)loading.
    QImage thumbnail() const;
    bool isLoading() const { return m_loading; }
    // The full-size image after requestBigImage(); null otherwise.
    QImage bigImage() const { return m_bigImage; }
    void clearBigImage();
    // Why the photo's file cannot be sent (missing, empty, not a picture, too
    // large, cut off or undecodable), as last found by a loader; such a photo
    // is Failed with this as its failure reason.
    vbImageLoader::Problem readProblem() const { return m_readProblem; }
    bool isUnreadable() const override { return m_readProblem != vbImageLoader::Problem::None; }
    // Pixel size of the file as last loaded for the thumbnail (-1 before, 0 when unreadable).
    int sourceWidth() const { return m_sourceWidth; }
    int sourceHeight() const { return m_sourceHeight; }

    // The loader that makes this node's images; set by the list.
    void setLoader(_loadThread* loader);
    _loadThread* loader() const;
    // Queues a new thumbnail of the current file (after an edit). False without a loader.
    bool requestThumbnail();
    // Queues the full-size load; sig_loadBigImageComplete follows. False without a loader.
    bool requestBigImage();

    QString make() const { return m_make; }
    QString model() const { return m_model; }
    QString time1() const { return m_time1; }
    QString time2() const { return m_time2; }
    QString aperture() const { return m_aperture; }
    QString focal() const { return m_focal; }

    vbFileNodeUI* tile() const;
    void setTile(vbFileNodeUI* tile);
    // Row in its list widget, 0 when in none.
    int row() const;
    vbViewMode viewMode() const { return m_viewMode; }
    // Stores the mode and lays the tile out for it.
    void setViewMode(vbViewMode mode);

    qint64 photoId() const { return m_photoId; }
    void setPhotoId(qint64 id) { m_photoId = id; }
    QString photoIdString() const { return QString::number(m_photoId); }
    QString keyHead() const { return m_keyHead; }
    QString keyTail() const { return m_keyTail; }
    void setKey(const QString& head, const QString& tail);

    vbUploadState uploadState() const override { return m_uploadState; }
    // Waiting and Prepared reset the key and commit failure counters first.
    // The tile is repainted.
    void setUploadState(vbUploadState state) override;
    int keyFailures() const override { return m_keyFailures; }
    int addKeyFailure() { return ++m_keyFailures; }
    int commitFailures() const override { return m_commitFailures; }
    int addCommitFailure() { return ++m_commitFailures; }
    // Counts for the node's whole life; nothing resets it.
    int transferFailures() const { return m_transferFailures; }
    int addTransferFailure() { return ++m_transferFailures; }
    // The photo belongs to the running upload; outside one, Waiting means nothing.
    bool inUploadRun() const { return m_inUploadRun; }
    void setInUploadRun(bool inRun) override;
    bool resultLogged() const override { return m_resultLogged; }
    void setResultLogged(bool logged) override { m_resultLogged = logged; }

    // Repaints the tile, if any.
    void updateTile();

    // ---- Upload protocol (implemented in vbFileNodeUpload.cpp) ----
    // The three steps the upload controller calls as the state allows; each
    // only starts the work, the slots below move the state on.
    // Prepared / KeyFailed: FTP mode fetches a photo id, HTTP mode an upload
    // key; KeyReady at once when one is already held.
    void requestKey() override;
    // KeyReady / Failed: starts (or restarts) the worker. FTP: user and
    // password of the account, folder = album id; HTTP: user = user id, the
    // key goes in the password's place. Failed (file missing) when the worker cannot start.
    void startTransfer(bool ftp, const QString& host, const QString& user, const QString& password,
                       const QString& folder) override;
    // Transferred / CommitFailed: FTP mode sends the photo's details; HTTP
    // mode is Uploaded at once.
    void commit() override;
    // Tells the worker, if any, to end without waiting for it.
    void abortTransfer() override;
    // Stops and deletes the worker (an FTP worker removes what it stored),
    // drops pending requests; Stopped, progress hidden.
    void cancelUpload() override;
    // The worker while one exists (owned).
    vbBaseUpload* worker() const { return m_worker.get(); }
    // Why the photo last failed (unreadable file, key, transfer or commit,
    // with the error text); the tile shows it as its tool tip while Failed.
    QString failureReason() const override { return m_failureReason; }
    void setFailureReason(const QString& reason) override { m_failureReason = reason; }

public slots:
    void slot_getIDcomplete();
    void slot_getIDError(QNetworkReply::NetworkError code);
    void slot_commitComplete();
    void slot_commitError(QNetworkReply::NetworkError code);
    void slot_dataTransfer(qint64 done, qint64 total);
    void slot_done(bool ok);
    // ---- end of upload protocol ----

signals:
    // setFileInfo gave the photo another file (rename, edit, preparation).
    void sig_fileChanged();
    // End of a full-size load, also when it failed.
    void sig_loadBigImageComplete(vbFileNode* node);

private:
    friend class _loadThread;
    friend class _saveImageThread;

    // Results of the loader threads, applied on the GUI thread.
    void applyThumbnail(const QImage& image, const QSize& sourceSize, const vbExifValues& exif,
                        vbImageLoader::Problem problem = vbImageLoader::Problem::None);
    // Preparation found the file unusable: Failed with the reason, and the
    // preparation ends (sig_preUploadComplete).
    void applyUnreadable(vbImageLoader::Problem problem);
    void setReadProblem(vbImageLoader::Problem problem);
    void applyBigImage(const QImage& image);
    void applyPrepared(const QString& recompressed, const QString& medium, const QString& small);

    QImage m_thumbnail;
    QImage m_bigImage;
    QFileInfo m_fileInfo;
    QFileInfo m_smallFile;
    QFileInfo m_mediumFile;
    QString m_sourcePath;
    QPointer<vbFileNodeUI> m_tile;
    bool m_loading = false;
    vbImageLoader::Problem m_readProblem = vbImageLoader::Problem::None;
    qint64 m_photoId = 0;
    int m_sourceWidth = -1;
    int m_sourceHeight = -1;
    QString m_make;
    QString m_model;
    QString m_time1;
    QString m_time2;
    QString m_aperture;
    QString m_focal;
    QString m_keyTail;
    QString m_keyHead;
    vbViewMode m_viewMode = vbViewMode::SmallIcons;
    vbUploadState m_uploadState = vbUploadState::Waiting;
    QPointer<vbSession> m_session;
    bool m_inUploadRun = false;
    int m_keyFailures = 0;
    int m_commitFailures = 0;
    bool m_resultLogged = false;
    int m_transferFailures = 0;
    int m_tempIndex;
    QPointer<_loadThread> m_loader;

    // ---- Upload protocol state ----
    // Gives up the worker when the photo fails: what it stored goes, then it.
    void releaseWorkerOnFailure();
    void keyFailed(const QString& detail);
    void commitFailed(const QString& detail);
    std::unique_ptr<vbBaseUpload, vbUploadWorkerDeleter> m_worker;
    vbPendingReply m_keyReply;
    vbPendingReply m_commitReply;
    QString m_failureReason;
    // ---- end of upload protocol state ----
};
