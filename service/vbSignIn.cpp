#include "vbSignIn.h"

#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbSession.h"

#include <QNetworkAccessManager>

vbSignIn::vbSignIn(const vbEndpoints& endpoints, const QString& scheme, QObject* parent)
    : QObject(parent), m_scheme(scheme), m_endpoints(endpoints)
{}

vbSignIn::~vbSignIn()
{
    cancel();
}

void vbSignIn::setSession(vbSession* session)
{
    m_session = session;
}

bool vbSignIn::start(const QString& name, const QString& password)
{
    if (name.isEmpty() || password.isEmpty())
        return false;
    cancel();
    m_name = name;
    m_password = password;
    m_state[Wangtong] = m_state[Dianxin] = Waiting;
    m_signedIn = false;
    m_userId = 0;
    m_host.clear();
    m_albums.clear();
    m_heldAlbumFailure.reset();

    for (const Mirror mirror : {Wangtong, Dianxin}) {
        m_loginCall[mirror] = new vbServiceCall(
            manager(), vbRequests::signInUrl(m_endpoints, m_scheme, mirrorHost(mirror), name, password),
            m_deadlineMs, this);
        connect(m_loginCall[mirror], &vbServiceCall::sig_finished, this,
                mirror == Wangtong ? &vbSignIn::slot_wangtongLoginReply : &vbSignIn::slot_dianxinLoginReply);
    }
    return true;
}

bool vbSignIn::retryAlbums()
{
    if (!m_signedIn)
        return false;
    requestAlbums();
    return true;
}

void vbSignIn::cancel()
{
    drop(m_loginCall[Wangtong]);
    drop(m_loginCall[Dianxin]);
    drop(m_albumCall);
}

bool vbSignIn::isBusy() const
{
    return !m_loginCall[Wangtong].isNull() || !m_loginCall[Dianxin].isNull() || !m_albumCall.isNull();
}

QString vbSignIn::baseAddress() const
{
    return m_signedIn ? vbRequests::baseAddress(m_endpoints, m_scheme, m_host) : QString();
}

QString vbSignIn::loginFailedText()
{
    return tr("Login failed.Please check your E-mail and password!");
}

void vbSignIn::slot_wangtongLoginReply()
{
    handleLoginReply(Wangtong);
}

void vbSignIn::slot_dianxinLoginReply()
{
    handleLoginReply(Dianxin);
}

void vbSignIn::handleLoginReply(Mirror mirror)
{
    vbServiceCall* call = m_loginCall[mirror];
    if (!call)
        return;
    m_loginCall[mirror] = nullptr;
    call->deleteLater();

    vbServiceCall::Outcome outcome = call->outcome();
    if (outcome == vbServiceCall::Answered) {
        const vbReply::SignInAnswer answer = vbReply::signInAnswer(vbReply::decodeBody(call->body()));
        if (answer.outcome == vbReply::SignInAnswer::Accepted) {
            m_state[mirror] = Accepted;
            m_signedIn = true;
            m_userId = answer.userId;
            m_host = mirrorHost(mirror);
            if (m_session)
                m_session->signIn(m_userId, m_name, m_password, m_host, m_scheme);
            emit sig_signedIn(m_userId, m_host);
            requestAlbums();
            return;
        }
        if (answer.outcome == vbReply::SignInAnswer::Refused)
            m_state[mirror] = Refused;
        else
            outcome = vbServiceCall::Unreadable;
    }
    if (outcome != vbServiceCall::Answered) {
        m_state[mirror] = Failed;
        m_failure[mirror] = outcome;
    }

    // Report only once neither mirror can still accept, and never after one did.
    const Mirror other = mirror == Wangtong ? Dianxin : Wangtong;
    if (m_state[other] == Waiting)
        return;
    if (m_state[other] == Accepted) {
        if (m_heldAlbumFailure) {
            const vbServiceCall::Outcome held = *m_heldAlbumFailure;
            m_heldAlbumFailure.reset();
            emit sig_albumsFailed(held);
        }
        return;
    }
    if (m_state[mirror] == Refused || m_state[other] == Refused) {
        emit sig_loginFailed();
        return;
    }
    const bool unreadable =
        m_failure[mirror] == vbServiceCall::Unreadable || m_failure[other] == vbServiceCall::Unreadable;
    emit sig_serviceFailed(unreadable ? vbServiceCall::Unreadable : vbServiceCall::Unreachable);
}

void vbSignIn::requestAlbums()
{
    // A later acceptance asks again; the answer to the earlier request must
    // never be taken for the answer to this one.
    drop(m_albumCall);
    m_albumCall =
        new vbServiceCall(manager(), vbRequests::albumListUrl(baseAddress(), m_userId), m_deadlineMs, this);
    connect(m_albumCall, &vbServiceCall::sig_finished, this, &vbSignIn::slot_getAlbumsReply);
    emit sig_albumsRequested();
}

void vbSignIn::slot_getAlbumsReply(vbServiceCall* call)
{
    call->deleteLater();
    if (call != m_albumCall)
        return;
    m_albumCall = nullptr;

    std::optional<AlbumList> albums;
    if (call->outcome() == vbServiceCall::Answered)
        albums = vbReply::albumList(vbReply::decodeBody(call->body()));
    if (!albums) {
        const vbServiceCall::Outcome failure =
            call->outcome() == vbServiceCall::Answered ? vbServiceCall::Unreadable : call->outcome();
        // The other mirror may still accept and ask again: one report, for the last request.
        if (m_loginCall[Wangtong] || m_loginCall[Dianxin])
            m_heldAlbumFailure = failure;
        else
            emit sig_albumsFailed(failure);
        return;
    }
    m_albums = *albums;
    if (m_session)
        m_session->setAlbums(m_albums);
    emit sig_albumsReceived(m_albums);
}

QNetworkAccessManager* vbSignIn::manager()
{
    if (m_session)
        return m_session->network();
    if (!m_manager)
        m_manager = new QNetworkAccessManager(this);
    return m_manager;
}

QString vbSignIn::mirrorHost(Mirror mirror) const
{
    return mirror == Wangtong ? m_endpoints.wangtong() : m_endpoints.dianxin();
}

void vbSignIn::drop(QPointer<vbServiceCall>& call)
{
    if (!call)
        return;
    vbServiceCall* c = call;
    call = nullptr;
    c->abort();
    QObject::disconnect(c, nullptr, nullptr, nullptr);
    // Later: this may run inside the call's own signal.
    c->deleteLater();
}
