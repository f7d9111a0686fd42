#pragma once

#include "vbFtpEntry.h"
#include "vbKitDialog.h"

#include <QDir>
#include <QMap>
#include <QSet>
#include <QStringList>

class QFile;
class QLabel;
class QProgressBar;
class vbFtp;
class vbPushButton;
class vbTitleBar;

// Downloads every plain file of one folder of the update FTP area into a
// local folder, then swaps the new files in place of the old ones.
//
// Each file N is written as "N.newVersion"; when all have arrived, in name
// order, an existing N moves aside to "N.tmp", "N.newVersion" becomes N
// (keeping the old file's permissions) and "N.tmp" is removed. exec() gives
// 1 when everything was swapped in, with nothing to download, or once the
// user acknowledged a failure; 0 when the user cancelled a running download.
// A failed or cancelled run leaves no ".newVersion" file behind.
class vbUpdate : public vbKitDialog
{
    Q_OBJECT
public:
    // remoteFolder: "program" or "element"; targetFolder: empty for the current folder.
    vbUpdate(const QString& remoteFolder, const QString& targetFolder, QWidget* parent = nullptr);

    // A listed name the dialog will write: no folder parts, nothing that
    // climbs out of the target folder, no control characters.
    static bool isPlainFileName(const QString& name);

    // Every listed file arrived and took its place (true as well when the
    // folder held no file); false after a failure, a cancel, a file that
    // could not be written or one that could not be swapped in.
    bool completed() const { return m_completed; }

    // Form children
    vbTitleBar* title;
    QLabel* lblStatus;
    QProgressBar* progressBar;
    vbPushButton* btnCancel;

public slots:
    // Escape and the title bar's close button act like Cancel.
    void reject() override;

protected slots:
    void slot_commandStarted(int id);
    void slot_commandFinished(int id, bool error);
    void slot_dataTransferProgress(qint64 done, qint64 total);
    void slot_listInfo(const vbFtpEntry& i);
    void on_btnCancel_clicked();

private:
    void setupUi();
    void startDownloads();
    void fail();
    void removeDownloads();
    void finishDownloads();
    bool swapIn(const QString& name, QFile* file);
    QString localPath(const QString& name) const;
    void showProgress(qint64 value);

    bool m_finished = false;
    bool m_completed = false;
    QDir m_targetDir;
    QString m_targetPath;
    vbFtp* m_ftp;
    int m_listId = -1;
    int m_lastGetId = -1;
    qint64 m_totalSize = 0;
    qint64 m_finishedBytes = 0;
    qint64 m_currentBytes = 0;
    int m_progressShift = 0; // keeps totals above 2 GiB inside the bar's int range
    QStringList m_fileNames;
    QMap<QString, QFile*> m_openFiles;
    QSet<int> m_getIds;
};
