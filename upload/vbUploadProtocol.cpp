#include "vbUploadProtocol.h"

#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"

#include <QCoreApplication>

namespace vbUploadProtocol {

namespace {
constexpr int kKeyLength = 64;
constexpr int kKeySeparatorLength = 3;

// The value of a header field (name in lower case), or null.
QByteArray headerValue(const QByteArray& header, const QByteArray& name)
{
    for (const QByteArray& line : header.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

// A chunked body decoded as far as it has arrived; *complete once the last
// (empty) chunk came, or at framing that cannot be read, which ends the answer.
QByteArray dechunk(const QByteArray& raw, bool* complete)
{
    *complete = false;
    QByteArray body;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lineEnd = raw.indexOf("\r\n", pos);
        if (lineEnd < 0)
            return body;
        QByteArray sizeText = raw.mid(pos, lineEnd - pos);
        sizeText.truncate(sizeText.indexOf(';') < 0 ? sizeText.size() : sizeText.indexOf(';'));
        bool ok = false;
        const qint64 size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok || size <= 0) {
            *complete = true;
            return body;
        }
        const qsizetype start = lineEnd + 2;
        body += raw.mid(start, size);
        if (raw.size() < start + size + 2)
            return body;
        pos = start + size + 2;
    }
}

constexpr int kMaxSessionLength = 256;

// Key and session id go into the form and the Cookie header as they are:
// visible ASCII only, nothing that ends a header or a cookie value.
bool isKeyText(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || c == QLatin1Char(';') || c == QLatin1Char(',') ||
            c == QLatin1Char('"') || c == QLatin1Char('\\'))
            return false;
    }
    return true;
}
} // namespace

AnswerState judgeUploadAnswer(const QByteArray& received, bool closed)
{
    bool complete = closed || received.size() >= kMaxAnswerBytes;
    QByteArray text = received;
    const qsizetype headerEnd = received.indexOf("\r\n\r\n");
    if (headerEnd >= 0) {
        const QByteArray header = received.left(headerEnd);
        const QByteArray body = received.mid(headerEnd + 4);
        bool ok = false;
        const qint64 length = headerValue(header, "content-length").toLongLong(&ok);
        if (headerValue(header, "transfer-encoding").toLower().contains("chunked")) {
            bool lastChunk = false;
            text = header + dechunk(body, &lastChunk);
            complete = complete || lastChunk;
        } else if (ok && length >= 0) {
            complete = complete || body.size() >= length;
        }
    }
    if (vbReply::isUploadAck(text))
        return AnswerState::Acknowledged;
    return complete ? AnswerState::Refused : AnswerState::Incomplete;
}

QString replyText(const QByteArray& body)
{
    const qsizetype nul = body.indexOf('\0');
    return vbReply::decodeBody(nul < 0 ? body : body.left(nul));
}

QUrl photoIdUrl(const QString& baseAddress)
{
    return vbRequests::serviceUrl(baseAddress, QStringLiteral("getphotoid.jsp"));
}

QUrl uploadKeyUrl(const vbEndpoints& endpoints, const QString& host)
{
    return vbRequests::serviceUrl(QStringLiteral("Http://") + endpoints.hostWithPort(host),
                                  QStringLiteral("/clientUploadGetKey.jsp"));
}

QUrl commitUrl(const CommitValues& v)
{
    return vbRequests::serviceUrl(v.baseAddress, QStringLiteral("newPhoto_1.jsp"),
                                  {
                                      {QStringLiteral("userid"), QString::number(v.userId)},
                                      {QStringLiteral("albumid"), v.albumId},
                                      {QStringLiteral("photoid"), QString::number(v.photoId)},
                                      {QStringLiteral("photoname"), v.photoName},
                                      {QStringLiteral("photowidth"), QString::number(v.width)},
                                      {QStringLiteral("photoheight"), QString::number(v.height)},
                                      {QStringLiteral("photosize"), QString::number(v.fileSize)},
                                      {QStringLiteral("make"), v.make},
                                      {QStringLiteral("model"), v.model},
                                      {QStringLiteral("time1"), v.time1},
                                      {QStringLiteral("time2"), v.time2},
                                      {QStringLiteral("shareid"), QStringLiteral("0")},
                                      {QStringLiteral("orderid"), QStringLiteral("0")},
                                      {QStringLiteral("aperture"), v.aperture},
                                      {QStringLiteral("focal"), v.focal},
                                  });
}

std::optional<qint64> photoIdFromReply(const QByteArray& body)
{
    const std::optional<QString> text = vbReply::valueText(replyText(body));
    if (!text)
        return std::nullopt;
    return vbReply::idFromText(*text, vbReply::kMaxPhotoId);
}

std::optional<UploadKey> uploadKeyFromReply(const QByteArray& body)
{
    const std::optional<QString> payload = vbReply::valueText(replyText(body));
    if (!payload || payload->size() <= kKeyLength + kKeySeparatorLength)
        return std::nullopt;
    UploadKey key{payload->left(kKeyLength), payload->mid(kKeyLength + kKeySeparatorLength)};
    if (!isKeyText(key.head) || !isKeyText(key.tail) || key.tail.size() > kMaxSessionLength)
        return std::nullopt;
    return key;
}

bool commitAccepted(const QByteArray& body, qint64 photoId)
{
    return photoIdFromReply(body) == std::optional<qint64>(photoId);
}

QString keyFailureReason(const QString& detail)
{
    return QCoreApplication::translate("vbUploadProtocol", "Getting the upload key failed: %1").arg(detail);
}

QString transferFailureReason(const QString& detail)
{
    return QCoreApplication::translate("vbUploadProtocol", "Sending the photo failed: %1").arg(detail);
}

QString commitFailureReason(const QString& detail)
{
    return QCoreApplication::translate("vbUploadProtocol", "Saving the photo's details failed: %1")
        .arg(detail);
}

QString unexpectedAnswer(const QByteArray& body)
{
    const QString text = replyText(body).simplified();
    if (text.isEmpty())
        return QCoreApplication::translate("vbUploadProtocol", "empty answer");
    return QCoreApplication::translate("vbUploadProtocol", "unexpected answer \"%1\"").arg(text.left(120));
}

} // namespace vbUploadProtocol
