#pragma once

#include "vbServiceCall.h"
#include "vbViewMode.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>

#include <memory>

class QAction;
class QMenu;
class QNetworkReply;
class QTimer;
class vbAccountStore;
class vbCredentialStore;
class vbFileList;
class vbFileNode;
class vbSession;
class vbShowImage;
class vbSignIn;
class vbStatusBar;
class vbToolPanel;
class vbUploadDialogs;
class vbUploadQueue;

// The program's one top-level window: tool panel, photo list and status bar.
// It owns the session and the upload queue, sits in the system tray and hides
// there instead of closing; only the tray's Quit ends the program.
class vbMainWnd : public QMainWindow
{
    Q_OBJECT
public:
    // Keeps the password of the automatic sign-in in the settings file.
    // serviceDeadlineMs: how long each sign-in and album request may take.
    explicit vbMainWnd(QWidget* parent = nullptr, int serviceDeadlineMs = vbServiceCall::kDefaultDeadlineMs);
    // Keeps it in credentials while that store is available.
    explicit vbMainWnd(vbCredentialStore* credentials, QWidget* parent = nullptr,
                       int serviceDeadlineMs = vbServiceCall::kDefaultDeadlineMs);
    ~vbMainWnd() override;

    vbSession* session() const { return m_session; }
    vbToolPanel* toolPanel() const { return m_toolPanel; }
    vbStatusBar* statusBar() const { return m_statusBar; }
    vbFileList* fileList() const { return m_fileList; }
    vbUploadQueue* uploadQueue() const { return m_uploadQueue; }
    // The automatic sign-in against both mirrors (and its album requests).
    vbSignIn* signIn() const { return m_signIn; }
    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    vbAccountStore* accounts() const { return m_accounts; }
    // What the Login button offers a signed-in user: sign out, or sign in as someone else.
    QMenu* accountMenu() const { return m_accountMenu; }

    bool isMaximisedByHand() const { return m_maximised; }
    QRect normalGeometryKept() const { return m_normalGeometry; }

    // The window's own texts of the signed-in state and the status line.
    void setStatusText(const QString& text);
    QString statusText() const;
    // A note kept after whatever the status line says until it is cleared
    // (photos brought back after a run that did not end normally).
    void setStatusNotice(const QString& notice);
    // The photo count of the tool panel and the "Remove All" link.
    void showPhotoCount(int count);
    static QString photoCountText(int count);

protected slots:
    void slot_Close();
    void slot_Hide();
    void slot_selectFiles();
    void slot_editNode(vbFileNode* node, bool remove);
    void slot_DeleteAll();
    void slot_uploadFiles();
    void slot_loggedIn();
    void slot_createAlbums();
    void slot_photoListChanged(int index);
    void slot_playPhoto();
    void slot_showMax(bool maximise);
    void slot_showNormal();
    void slot_showMax();
    void slot_iconMode(bool checked);
    void slot_listMode(bool checked);
    void slot_bigIconMode(bool checked);
    void slot_playMode(bool checked);
    void slot_ClickLogo();
    void slot_Register();
    void slot_Help();
    void slot_OpenTask();
    void slot_selectPhotoChanged(int count);
    void slot_iconActivated(QSystemTrayIcon::ActivationReason reason);
    void slot_signOut();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Alt+F4 and the task bar's Close act as the close buttons; only the
    // closing sequence really closes the window.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();
    void connectUploadQueue();
    // The look of a running upload (Upload becomes Cancel, choices are locked) or of standby.
    void showUploading(bool uploading);
    void buildTray();
    void connectForm();
    void startAutomaticSignIn();
    void signInWithDialog();
    // Tells what failed and offers to repeat the step (sign-in or album list).
    void offerRetry(vbServiceCall::Outcome outcome, bool albums);
    void showSignedIn();
    void refillAlbums();
    void setViewModeChecked(vbViewMode mode);
    void showPhotoInfo(vbFileNode* node);
    void showFullScreen(vbFileNode* node);
    void showPreview(vbFileNode* node, const QRect& tileRect);
    void hidePreview();
    int messageBox(int flags, const QString& text);

    vbSession* m_session;
    vbToolPanel* m_toolPanel = nullptr;
    vbFileList* m_fileList = nullptr;
    vbStatusBar* m_statusBar = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_actMinimize = nullptr;
    QAction* m_actMaximize = nullptr;
    QAction* m_actRestore = nullptr;
    QAction* m_actQuit = nullptr;
    vbSignIn* m_signIn = nullptr;
    vbAccountStore* m_accounts = nullptr;
    QMenu* m_accountMenu = nullptr;
    // The user signed in through the dialog or signed out: a late stored account is not used.
    bool m_accountChosenByHand = false;
    int m_serviceDeadlineMs;
    std::unique_ptr<vbUploadDialogs> m_uploadDialogs;
    vbUploadQueue* m_uploadQueue = nullptr;
    QPointer<vbShowImage> m_preview;

    // Invalid until first needed; then the geometry Restore returns to.
    QRect m_normalGeometry;
    bool m_maximised = false;
    // Set while the tray's Quit runs the closing sequence.
    bool m_quitting = false;
    QString m_statusText;
    QString m_statusNotice;
};
