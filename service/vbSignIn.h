#pragma once

#include "vbAlbumRecord.h"
#include "vbEndpoints.h"
#include "vbServiceCall.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QNetworkAccessManager;
class vbSession;

// Signs in against both mirrors at once and then fetches the album list.
//
// Whichever mirror accepts first signs the user in; when the second accepts
// too it wins: its host becomes the session's and the album list is asked for
// again (the older album request is dropped, so only the answer to the latest
// one is ever used). Nothing is reported while a mirror may still accept: once
// neither did, a refusal by either means a wrong account; otherwise the
// service could not be reached or read. Every request ends by its deadline.
//
// With a session attached (the automatic sign-in at start) the session is
// signed in and receives the albums; without one (the sign-in dialog) the
// results are only kept here.
class vbSignIn : public QObject
{
    Q_OBJECT
public:
    // scheme of the base address: "http" for the automatic sign-in, "Http" for the dialog.
    vbSignIn(const vbEndpoints& endpoints, const QString& scheme, QObject* parent = nullptr);
    ~vbSignIn() override;

    // Call before start(); requests then go through the session's network access manager.
    void setSession(vbSession* session);
    // How long each request may take; call before start().
    void setDeadlineMs(int ms) { m_deadlineMs = ms; }

    // Sends the sign-in request to the wangtong and then the dianxin mirror.
    // An empty name or password sends nothing and returns false. Starting
    // again drops every request of the previous attempt.
    bool start(const QString& name, const QString& password);
    // Asks for the album list again after it failed; false when not signed in.
    bool retryAlbums();
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

    // The status text a window shows when the account was refused.
    static QString loginFailedText();

signals:
    // A mirror accepted; the album list is requested right after.
    void sig_signedIn(int userId, const QString& host);
    // No mirror accepted and one refused the account (emitted once per attempt).
    void sig_loginFailed();
    // Neither mirror answered usably: Unreachable, or Unreadable when either sent
    // something that could not be read (emitted once per attempt).
    void sig_serviceFailed(vbServiceCall::Outcome outcome);
    void sig_albumsRequested();
    void sig_albumsReceived(const AlbumList& albums);
    // The album list could not be had; the previous albums stay.
    void sig_albumsFailed(vbServiceCall::Outcome outcome);

private slots:
    void slot_wangtongLoginReply();
    void slot_dianxinLoginReply();
    void slot_getAlbumsReply(vbServiceCall* call);

private:
    enum Mirror
    {
        Wangtong = 0,
        Dianxin = 1
    };
    enum MirrorState
    {
        Waiting,
        Accepted,
        Refused,
        Failed
    };

    void handleLoginReply(Mirror mirror);
    void requestAlbums();
    // The session's network access manager when there is a session, else one of our own.
    QNetworkAccessManager* manager();
    QString mirrorHost(Mirror mirror) const;
    static void drop(QPointer<vbServiceCall>& call);

    QString m_scheme;
    QNetworkAccessManager* m_manager = nullptr;
    vbEndpoints m_endpoints;
    QPointer<vbSession> m_session;

    QString m_name;
    QString m_password;
    bool m_signedIn = false;
    int m_userId = 0;
    QString m_host;
    MirrorState m_state[2] = {Waiting, Waiting};
    vbServiceCall::Outcome m_failure[2] = {vbServiceCall::Unreachable, vbServiceCall::Unreachable};
    AlbumList m_albums;
    // An album failure held back while the other mirror may still accept and ask again.
    std::optional<vbServiceCall::Outcome> m_heldAlbumFailure;
    int m_deadlineMs = vbServiceCall::kDefaultDeadlineMs;

    QPointer<vbServiceCall> m_loginCall[2];
    QPointer<vbServiceCall> m_albumCall;
};
