#include "vbRequests.h"

#include "vbEndpoints.h"

namespace vbRequests {

namespace {
// The address is assembled already encoded and parsed as such, so QUrl keeps
// "%2B", "%26" and the like as they are instead of decoding them again.
QUrl fromEncoded(const QByteArray& encoded)
{
    return QUrl::fromEncoded(encoded, QUrl::TolerantMode);
}

QUrl webPage(const vbEndpoints& endpoints, const QString& path)
{
    return fromEncoded(endpoints.webPage(path).toUtf8());
}
} // namespace

QByteArray encodeValue(const QString& value)
{
    return QUrl::toPercentEncoding(value);
}

QUrl serviceUrl(const QString& base, const QString& page, const QueryItems& query)
{
    QByteArray encoded = base.toUtf8() + page.toUtf8();
    for (qsizetype i = 0; i < query.size(); ++i) {
        encoded += i == 0 ? '?' : '&';
        encoded += query.at(i).first.toUtf8();
        encoded += '=';
        encoded += encodeValue(query.at(i).second);
    }
    return fromEncoded(encoded);
}

QString baseAddress(const vbEndpoints& endpoints, const QString& scheme, const QString& host)
{
    return scheme + QStringLiteral("://") + endpoints.hostWithPort(host) + QStringLiteral("/client2/");
}

QUrl signInUrl(const vbEndpoints& endpoints, const QString& scheme, const QString& host, const QString& name,
               const QString& password)
{
    return serviceUrl(baseAddress(endpoints, scheme, host), QStringLiteral("signin.jsp"),
                      {{QStringLiteral("username"), name}, {QStringLiteral("password"), password}});
}

QUrl albumListUrl(const QString& base, int userId)
{
    return serviceUrl(base, QStringLiteral("getalbumlist.jsp"),
                      {{QStringLiteral("userid"), QString::number(userId)}});
}

QUrl newAlbumUrl(const QString& base, const QString& name, const QDate& date, const QString& description,
                 int userId)
{
    return serviceUrl(base, QStringLiteral("newalbum_1.jsp"),
                      {{QStringLiteral("albumname"), name},
                       {QStringLiteral("albumdate"), date.toString(QStringLiteral("yyyy-MM-dd"))},
                       {QStringLiteral("description"), description},
                       {QStringLiteral("userid"), QString::number(userId)},
                       {QStringLiteral("print"), QStringLiteral("0")}});
}

QUrl homePageUrl(const vbEndpoints& endpoints)
{
    return webPage(endpoints, QString());
}

QUrl registerPageUrl(const vbEndpoints& endpoints)
{
    return webPage(endpoints, QStringLiteral("/userForm2.faces"));
}

QUrl passwordPageUrl(const vbEndpoints& endpoints)
{
    return webPage(endpoints, QStringLiteral("/getPassword.faces"));
}

QUrl helpPageUrl(const vbEndpoints& endpoints)
{
    return webPage(endpoints, QStringLiteral("/static/helpcenter/help.faces"));
}

} // namespace vbRequests
