#include "vbSession.h"

#include "vbEndpoints.h"

#include <QNetworkAccessManager>

vbSession::vbSession(const vbEndpoints& endpoints, QObject* parent) : QObject(parent), m_endpoints(endpoints)
{}

vbSession::~vbSession() = default;

QNetworkAccessManager* vbSession::network()
{
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    return m_network;
}

void vbSession::signIn(int userId, const QString& userName, const QString& password, const QString& host,
                       const QString& scheme)
{
    m_loggedIn = true;
    m_userId = userId;
    m_userName = userName;
    m_password = password;
    m_host = host;
    m_baseAddress =
        scheme + QStringLiteral("://") + m_endpoints.hostWithPort(host) + QStringLiteral("/client2/");
}

void vbSession::setAccount(const QString& userName, const QString& password)
{
    m_userName = userName;
    m_password = password;
}

void vbSession::signOut()
{
    m_loggedIn = false;
    m_userId = 0;
    m_userName.clear();
    m_password.clear();
    m_host.clear();
    m_baseAddress.clear();
    m_preferredAlbum = 0;
    m_albums.clear();
    setCurrentAlbum(-1);
}

void vbSession::setAlbums(const AlbumList& albums)
{
    // Both mirrors may accept a sign-in, so a second list can arrive after the
    // user chose an album (even during an upload): that choice stays.
    QString chosen = currentAlbumId();
    if (chosen.isEmpty() && m_preferredAlbum != 0)
        chosen = QString::number(m_preferredAlbum);
    m_albums = albums;
    int index = m_albums.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_albums.size(); ++i) {
        if (QString::number(m_albums.at(i).id) == chosen) {
            index = i;
            break;
        }
    }
    setCurrentAlbum(index);
}

void vbSession::appendAlbum(const AlbumRecord& album)
{
    m_albums.append(album);
}

void vbSession::setCurrentAlbum(int index)
{
    m_currentAlbum = index;
    if (index >= 0 && index < m_albums.size())
        m_currentAlbumIdText = QString::number(m_albums.at(index).id);
    else
        m_currentAlbumIdText = QStringLiteral("/");
}

QString vbSession::currentAlbumId() const
{
    if (m_currentAlbum >= 0 && m_currentAlbum < m_albums.size())
        return QString::number(m_albums.at(m_currentAlbum).id);
    return QString();
}

QString vbSession::currentAlbumName() const
{
    if (m_currentAlbum >= 0 && m_currentAlbum < m_albums.size())
        return m_albums.at(m_currentAlbum).name;
    return QString();
}

int vbSession::currentAlbumPhotoCount() const
{
    if (m_currentAlbum >= 0 && m_currentAlbum < m_albums.size())
        return m_albums.at(m_currentAlbum).photoCount;
    return 0;
}

void vbSession::setCurrentAlbumPhotoCount(int count)
{
    if (m_currentAlbum >= 0 && m_currentAlbum < m_albums.size())
        m_albums[m_currentAlbum].photoCount = count;
}

void vbSession::setUploading(bool uploading)
{
    if (m_uploading == uploading)
        return;
    m_uploading = uploading;
    emit uploadingChanged(uploading);
}
