#pragma once

#include "vbAlbumRecord.h"
#include "vbEndpoints.h"
#include "vbKitDialog.h"
#include "vbServiceCall.h"

#include <QPointer>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class vbAccountStore;
class vbClickLabel;
class vbPushButton;
class vbSignIn;
class vbTitleBar;

// The sign-in dialog: asks both mirrors with the typed account, then fetches
// the album list and closes. The opener reads the account, the host that
// accepted, the user id and the albums once exec() returned Accepted.
class vbLogin : public vbKitDialog
{
    Q_OBJECT
public:
    // deadlineMs: how long each request to the service may take.
    explicit vbLogin(const vbEndpoints& endpoints, QWidget* parent = nullptr,
                     int deadlineMs = vbServiceCall::kDefaultDeadlineMs);
    ~vbLogin() override;

    // The account as sent.
    QString name() const { return m_name; }
    QString password() const { return m_password; }
    QString host() const { return m_host; }
    int userId() const { return m_userId; }
    const AlbumList& albums() const { return m_albums; }
    // True while "autoLogin" is ticked: the account is stored on success;
    // unticked, a success switches the automatic sign-in off.
    bool autoLogin() const { return m_autoLogin; }
    // Where the account is kept; without one the settings file of the current folder.
    void setAccountStore(vbAccountStore* accounts);

public slots:
    // Cancel, the title bar's close and Escape all end here.
    void reject() override;

private slots:
    void on_cbx_autoLogin_stateChanged(int state);
    void on_btnCancel_clicked();
    void on_btnLogin_clicked();
    void on_btnRegister_clicked();
    void on_btnGetPassword_clicked();
    void slot_signedIn(int userId, const QString& host);
    void slot_loginFailed();
    void slot_albumsReceived(const AlbumList& albums);
    // The service could not be reached or read, at sign-in or for the albums.
    void slot_serviceFailed(vbServiceCall::Outcome outcome);

private:
    void setupUi();
    void retranslateUi();
    void saveAccount();
    void showTip(const QString& text);

    vbTitleBar* title;
    QLabel* label;
    QLineEdit* edit_name;
    vbClickLabel* lblRegister;
    QLabel* label_2;
    QLineEdit* edit_password;
    vbClickLabel* lbl_getPassword;
    QCheckBox* cbx_autoLogin;
    vbPushButton* btnLogin;
    vbPushButton* btnCancel;
    QFrame* line;
    QLabel* label_5;
    QLabel* lbl_status;

    vbEndpoints m_endpoints;
    vbSignIn* m_signIn;
    QString m_name;
    QString m_password;
    QString m_host;
    int m_userId = 0;
    bool m_autoLogin = true;
    AlbumList m_albums;
    QPointer<vbAccountStore> m_accounts;
};
