#pragma once

#include "vbAlbumRecord.h"
#include "vbEndpoints.h"

#include <QObject>
#include <QPointer>
#include <QString>

// The signed-in session, the service's endpoints and the few upload flags of a
// run. The main window owns it and hands it to what needs it (sign-in, the
// photo list and its nodes, the upload queue); tests make their own.
class QNetworkAccessManager;

class vbSession : public QObject
{
    Q_OBJECT
public:
    explicit vbSession(const vbEndpoints& endpoints, QObject* parent = nullptr);
    ~vbSession() override;

    // Where the service lives for this run.
    const vbEndpoints& endpoints() const { return m_endpoints; }
    // How long each blocking step of a photo's upload requests and transfer may take.
    int transferDeadlineMs() const { return m_transferDeadlineMs; }
    void setTransferDeadlineMs(int ms) { m_transferDeadlineMs = ms; }
    // The network access manager that every service request of the run goes through.
    QNetworkAccessManager* network();

    // Sign-in
    bool isLoggedIn() const { return m_loggedIn; }
    int userId() const { return m_userId; }
    QString userName() const { return m_userName; }
    QString password() const { return m_password; }
    QString host() const { return m_host; }
    QString baseAddress() const { return m_baseAddress; }
    bool uploadAllowed() const { return m_uploadAllowed; }

    // Makes the session signed in at host; the base address starts with
    // scheme ("http" after the automatic sign-in, "Http" after the dialog).
    void signIn(int userId, const QString& userName, const QString& password, const QString& host,
                const QString& scheme);
    void setAccount(const QString& userName, const QString& password);
    // Back to the state of a fresh start: signed out, no account, no albums.
    void signOut();
    void setUploadAllowed(bool allowed) { m_uploadAllowed = allowed; }

    // Albums
    const AlbumList& albums() const { return m_albums; }
    // Replaces the albums; the current album stays when the new list has it, else the
    // preferred album when the list has that, else the first.
    void setAlbums(const AlbumList& albums);
    // The album a fresh album list starts on (the one the account chose last time); 0 = none.
    void setPreferredAlbum(int albumId) { m_preferredAlbum = albumId; }
    void appendAlbum(const AlbumRecord& album);
    int currentAlbum() const { return m_currentAlbum; }
    void setCurrentAlbum(int index);
    // The current album's id in decimal, or "/" when there is none.
    QString currentAlbumIdText() const { return m_currentAlbumIdText; }
    // The current album's id in decimal, or empty when there is none.
    QString currentAlbumId() const;
    QString currentAlbumName() const;
    int currentAlbumPhotoCount() const;
    void setCurrentAlbumPhotoCount(int count);

    // Upload flags
    bool ftpMode() const { return m_ftpMode; }
    void setFtpMode(bool ftp) { m_ftpMode = ftp; }
    bool isUploading() const { return m_uploading; }
    void setUploading(bool uploading);

signals:
    void uploadingChanged(bool uploading);

private:
    bool m_loggedIn = false;
    int m_userId = 0;
    QString m_userName;
    QString m_password;
    QString m_host;
    QString m_baseAddress;
    bool m_uploadAllowed = true;

    AlbumList m_albums;
    int m_currentAlbum = -1;
    QString m_currentAlbumIdText = QStringLiteral("/");
    int m_preferredAlbum = 0;

    bool m_ftpMode = true;
    bool m_uploading = false;

    vbEndpoints m_endpoints;
    int m_transferDeadlineMs = 60000;
    QPointer<QNetworkAccessManager> m_network;
};
