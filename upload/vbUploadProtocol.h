#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

class vbEndpoints;

// The per-photo exchange with the service, as pure functions: addresses in,
// reply bodies out. The photo node drives them; nothing here touches the network.
namespace vbUploadProtocol {

// The two halves of an HTTP upload key.
struct UploadKey
{
    QString head; // the 64-character key
    QString tail; // the upload host's JSESSIONID value
};

// Everything the commit of an FTP upload sends, in the order it is sent.
struct CommitValues
{
    QString baseAddress; // the session's base address, ending in "/client2/"
    int userId = 0;
    QString albumId;
    qint64 photoId = 0;
    QString photoName; // base name of the photo's current file
    int width = -1;
    int height = -1;
    qint64 fileSize = 0;
    QString make;
    QString model;
    QString time1;
    QString time2;
    QString aperture;
    QString focal;
};

// A reply body as text: local 8-bit, up to the first NUL byte.
QString replyText(const QByteArray& body);

// base + "getphotoid.jsp".
QUrl photoIdUrl(const QString& baseAddress);
// "Http://" + host (+ ":" + port when not 80) + "/clientUploadGetKey.jsp".
QUrl uploadKeyUrl(const vbEndpoints& endpoints, const QString& host);
// The commit address; every value percent-encoded so blanks, "&", "#" and
// non-ASCII names arrive as they are.
QUrl commitUrl(const CommitValues& values);

// The photo id between the markers; nothing unless it is a positive id of at
// most 18 digits.
std::optional<qint64> photoIdFromReply(const QByteArray& body);
// The key between the markers: 64 characters of key, three separator
// characters, then a non-empty JSESSIONID. Nothing when the payload is shorter,
// or key or JSESSIONID hold anything but visible ASCII fit for a cookie.
std::optional<UploadKey> uploadKeyFromReply(const QByteArray& body);
// True when the commit answer carries exactly photoId, read by the photo id rule.
bool commitAccepted(const QByteArray& body, qint64 photoId);

// How far the answer to an HTTP upload has come.
enum class AnswerState
{
    Incomplete,   // read on
    Acknowledged, // the acknowledgement marker is there
    Refused       // complete, or as long as an answer may be, without the marker
};
// The most of an answer that is read.
constexpr int kMaxAnswerBytes = 64 * 1024;
// Judges the bytes received so far; closed: the service has closed the
// connection. An answer is complete at the marker, when Content-Length is
// satisfied, at the last chunk of a chunked body, at the close, or at
// kMaxAnswerBytes. A chunked body is looked at decoded, so a marker split by
// chunk framing is still seen.
AnswerState judgeUploadAnswer(const QByteArray& received, bool closed);

// Why a photo failed, for the log viewer: the step and the last error text.
QString keyFailureReason(const QString& detail);
QString transferFailureReason(const QString& detail);
QString commitFailureReason(const QString& detail);
// The detail for an answer the rules above refused (its text, shortened).
QString unexpectedAnswer(const QByteArray& body);

} // namespace vbUploadProtocol
