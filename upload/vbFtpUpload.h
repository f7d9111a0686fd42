#pragma once

#include "vbBaseUpload.h"

#include <atomic>

class QFile;
class vbFtpSession;

// Stores one photo on the account's FTP server as three files named after the
// photo id, in the album's folder: the small picture (id + "_2.jpg"), the
// medium one (id + "_1.jpg") and the photo (id + ".jpg"), in that order.
class vbFtpUpload : public vbBaseUpload
{
    Q_OBJECT
public:
    vbFtpUpload(const QString& host, int port, const QString& user, const QString& password,
                const QString& folder, const vbNetDeadlines& deadlines = vbNetDeadlines());
    ~vbFtpUpload() override;

    // Unless the last run has reported: stops it, then removes what it stored
    // (in the background).
    void stopUpload() override;
    // Deletes id + "_1.jpg", id + "_2.jpg" and id + ".jpg" in the folder,
    // trying each; true when all three went. Blocks for an FTP session.
    bool removeRemote(const QString& photoIdText) override;
    void removeRemoteLater(const QString& photoIdText) override;

    // Set just before a run reports its result.
    bool isFinished() const { return m_finished; }

    // Size of the pieces read from disk.
    static constexpr int kPieceSize = 512;
    // Size of the writes to the data connection; progress follows each.
    static constexpr int kSendBlock = 64 * 1024;

    // The removal itself, from plain values (used from any thread).
    static bool removeRemoteFiles(const QString& host, int port, const QString& user, const QString& password,
                                  const QString& folder, const QString& photoIdText,
                                  const vbNetDeadlines& deadlines);

protected:
    void run() override;
    bool filesPresent(const vbUploadFiles& files) const override;
    void aboutToStart() override { m_finished = false; }

private:
    bool sendFile(vbFtpSession& session, QFile& file, const QString& remoteName, qint64& runningTotal,
                  QString& error);

    std::atomic_bool m_finished{false};
};
