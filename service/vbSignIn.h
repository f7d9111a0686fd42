#pragma once

#include "vbAlbumRecord.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class vbSession;

// Signs in against both mirrors at once and then fetches the album list.
//
// Whichever mirror accepts first signs the user in; when the second accepts
// too it wins: its host becomes the session's and the album list is asked for
// again (the older album request is dropped, so only the answer to the latest
// one is ever used). A refusal counts only once both mirrors have refused; a
// mirror that cannot be reached or answers without a value is ignored, so
// nothing is reported until a real answer comes.
//
// With a session attached (the automatic sign-in at start) the session is
// signed in and receives the albums; without one (the sign-in dialog) the
// results are only kept here.
class vbSignIn : public QObject
{
    Q_OBJECT
public:
    // scheme of the base address: "http" for the automatic sign-in, "Http" for the dialog.
    explicit vbSignIn(const QString& scheme, QObject* parent = nullptr);
    ~vbSignIn() override;

    // Call before start(); requests then go through the session's network access manager.
    void setSession(vbSession* session);

    // Sends the sign-in request to the wangtong and then the dianxin mirror.
    // An empty name or password sends nothing and returns false. Starting
    // again drops every request of the previous attempt.
    bool start(const QString& name, const QString& password);
    // Drops every outstanding request; nothing more is signalled for them.
    void cancel();
    // True while a sign-in or album answer is awaited.
    bool isBusy() const;

    bool isSignedIn() const { return m_signedIn; }
    QString userName() const { return m_name; }
    QString password() const { return m_password; }
    int userId() const { return m_userId; }
    QString host() const { return m_host; }
    QString baseAddress() const;
    // The albums of the latest album answer.
    const AlbumList& albums() const { return m_albums; }

    // The status texts a window shows for these outcomes.
    static QString loginFailedText();
    static QString visitFailedText();

signals:
    // A mirror accepted; the album list is requested right after.
    void sig_signedIn(int userId, const QString& host);
    // Both mirrors refused the account (emitted once per attempt).
    void sig_loginFailed();
    void sig_albumsRequested();
    void sig_albumsReceived(const AlbumList& albums);
    // The album answer was not a list answer; the previous albums stay.
    void sig_albumsFailed();

private slots:
    void slot_wangtongLoginReply();
    void slot_dianxinLoginReply();
    void slot_getAlbumsReply();

private:
    enum Mirror
    {
        Wangtong = 0,
        Dianxin = 1
    };

    void handleLoginReply(Mirror mirror);
    void requestAlbums();
    // The session's network access manager when there is a session, else one of our own.
    QNetworkAccessManager* manager();
    QString mirrorHost(Mirror mirror) const;
    static void dropReply(QPointer<QNetworkReply>& reply, QObject* receiver);

    QString m_scheme;
    QNetworkAccessManager* m_manager = nullptr;
    QPointer<vbSession> m_session;

    QString m_name;
    QString m_password;
    bool m_signedIn = false;
    int m_userId = 0;
    QString m_host;
    bool m_refused[2] = {false, false};
    AlbumList m_albums;

    QPointer<QNetworkReply> m_loginReply[2];
    QPointer<QNetworkReply> m_albumReply;
};
