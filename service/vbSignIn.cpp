#include "vbSignIn.h"

#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbSession.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

vbSignIn::vbSignIn(const QString& scheme, QObject* parent) : QObject(parent), m_scheme(scheme) {}

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
    m_refused[Wangtong] = m_refused[Dianxin] = false;
    m_signedIn = false;
    m_userId = 0;
    m_host.clear();
    m_albums.clear();

    m_loginReply[Wangtong] = manager()->get(
        QNetworkRequest(vbRequests::signInUrl(m_scheme, mirrorHost(Wangtong), name, password)));
    connect(m_loginReply[Wangtong], &QNetworkReply::finished, this, &vbSignIn::slot_wangtongLoginReply);
    m_loginReply[Dianxin] =
        manager()->get(QNetworkRequest(vbRequests::signInUrl(m_scheme, mirrorHost(Dianxin), name, password)));
    connect(m_loginReply[Dianxin], &QNetworkReply::finished, this, &vbSignIn::slot_dianxinLoginReply);
    return true;
}

void vbSignIn::cancel()
{
    dropReply(m_loginReply[Wangtong], this);
    dropReply(m_loginReply[Dianxin], this);
    dropReply(m_albumReply, this);
}

bool vbSignIn::isBusy() const
{
    return !m_loginReply[Wangtong].isNull() || !m_loginReply[Dianxin].isNull() || !m_albumReply.isNull();
}

QString vbSignIn::baseAddress() const
{
    return m_signedIn ? vbRequests::baseAddress(m_scheme, m_host) : QString();
}

QString vbSignIn::loginFailedText()
{
    return tr("Login failed.Please check your E-mail and password!");
}

QString vbSignIn::visitFailedText()
{
    return tr("Visit ") + vbEndpoints::current().web() + tr(" failed.Please check network and try again");
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
    QNetworkReply* reply = m_loginReply[mirror];
    if (!reply)
        return;
    m_loginReply[mirror] = nullptr;
    reply->deleteLater();

    const std::optional<int> value = vbReply::value32(vbReply::decodeBody(reply->readAll()));
    if (!value)
        return; // unreachable, an error page or no value: not an answer

    if (*value != 0) {
        m_signedIn = true;
        m_userId = *value;
        m_host = mirrorHost(mirror);
        if (m_session)
            m_session->signIn(m_userId, m_name, m_password, m_host, m_scheme);
        emit sig_signedIn(m_userId, m_host);
        requestAlbums();
        return;
    }

    m_refused[mirror] = true;
    const Mirror other = mirror == Wangtong ? Dianxin : Wangtong;
    if (m_refused[other])
        emit sig_loginFailed();
}

void vbSignIn::requestAlbums()
{
    // A later acceptance asks again; the answer to the earlier request must
    // never be taken for the answer to this one.
    dropReply(m_albumReply, this);
    m_albumReply = manager()->get(QNetworkRequest(vbRequests::albumListUrl(baseAddress(), m_userId)));
    connect(m_albumReply, &QNetworkReply::finished, this, &vbSignIn::slot_getAlbumsReply);
    emit sig_albumsRequested();
}

void vbSignIn::slot_getAlbumsReply()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    if (reply != m_albumReply)
        return;
    m_albumReply = nullptr;

    const std::optional<AlbumList> albums = vbReply::albumList(vbReply::decodeBody(reply->readAll()));
    if (!albums) {
        emit sig_albumsFailed();
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
    return mirror == Wangtong ? vbEndpoints::current().wangtong() : vbEndpoints::current().dianxin();
}

void vbSignIn::dropReply(QPointer<QNetworkReply>& reply, QObject* receiver)
{
    if (!reply)
        return;
    QNetworkReply* r = reply;
    reply = nullptr;
    QObject::disconnect(r, nullptr, receiver, nullptr);
    r->abort();
    r->deleteLater();
}
