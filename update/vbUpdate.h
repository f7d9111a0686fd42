#pragma once

#include "vbKitDialog.h"
#include "vbUpdateDownloader.h"

class QLabel;
class QProgressBar;
class vbPushButton;
class vbTitleBar;

// The update downloader's dialog: status text, progress bar and Cancel.
// exec() gives 1 when everything was swapped in, with nothing to download, or
// once the user acknowledged a failure; 0 when the user cancelled a running
// download.
class vbUpdate : public vbKitDialog
{
    Q_OBJECT
public:
    // remoteFolder: "program" or "element"; targetFolder: empty for the current
    // folder. The download starts at once.
    vbUpdate(const QString& remoteFolder, const QString& targetFolder, const vbEndpoints& endpoints,
             QWidget* parent = nullptr);

    // See vbUpdateDownloader::completed().
    bool completed() const { return m_downloader->completed(); }
    vbUpdateDownloader* downloader() const { return m_downloader; }

    // Form children
    vbTitleBar* title;
    QLabel* lblStatus;
    QProgressBar* progressBar;
    vbPushButton* btnCancel;

public slots:
    // Escape and the title bar's close button act like Cancel.
    void reject() override;

protected slots:
    void on_btnCancel_clicked();

private:
    void setupUi();
    void showState(vbUpdateDownloader::State state);
    void showProgress(qint64 done, qint64 total);

    vbUpdateDownloader* m_downloader;
};
