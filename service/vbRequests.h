#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

class vbEndpoints;

// Addresses of the service's requests and web pages.
//
// The fixed part of each address is kept as written (including "Http://" after
// a sign-in through the dialog); every query value is percent-encoded so "&",
// "#", "+", "=", "%", spaces and non-ASCII text arrive as typed.
namespace vbRequests {

using QueryItems = QList<QPair<QString, QString>>;

// The value as it goes into a query: UTF-8, everything but letters, digits and "-._~" percent-encoded.
QByteArray encodeValue(const QString& value);

// base + page + "?" + key=value pairs joined by "&" (no "?" without pairs).
// Keys are sent as given; values are encoded with encodeValue.
QUrl serviceUrl(const QString& base, const QString& page, const QueryItems& query = {});

// scheme + "://" + host (+ ":" + HTTP port when not 80) + "/client2/".
QString baseAddress(const vbEndpoints& endpoints, const QString& scheme, const QString& host);

// The sign-in request to one mirror host; scheme "Http" from the dialog, "http" otherwise.
QUrl signInUrl(const vbEndpoints& endpoints, const QString& scheme, const QString& host, const QString& name,
               const QString& password);
// base + "getalbumlist.jsp?userid=" + user id.
QUrl albumListUrl(const QString& base, int userId);
// base + "newalbum_1.jsp?albumname=..&albumdate=yyyy-MM-dd&description=..&userid=..&print=0".
QUrl newAlbumUrl(const QString& base, const QString& name, const QDate& date, const QString& description,
                 int userId);

// Pages of the main web host, opened in the browser.
QUrl homePageUrl(const vbEndpoints& endpoints);
QUrl registerPageUrl(const vbEndpoints& endpoints);
QUrl passwordPageUrl(const vbEndpoints& endpoints);
QUrl helpPageUrl(const vbEndpoints& endpoints);

} // namespace vbRequests
