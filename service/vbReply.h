#pragma once

#include "vbAlbumRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The text envelopes the service answers in. Every function here is pure:
// bodies in, values out, no network and no widgets.
namespace vbReply {

// "</\/>": a value answer sits between the first and the last occurrence.
inline constexpr char kValueMarker[] = "</\\/>";
// A list answer: "[/begin/]" records joined by "<br/>" "[/end/]", fields joined by "/\/".
inline constexpr char kListBegin[] = "[/begin/]";
inline constexpr char kListEnd[] = "[/end/]";
inline constexpr char kRecordSeparator[] = "<br/>";
inline constexpr char kFieldSeparator[] = "/\\/";
// What the upload endpoint answers when it stored the photo.
inline constexpr char kUploadAck[] = "</\\/>1</\\/>";

// A reply body as text, in the system's locale encoding.
QString decodeBody(const QByteArray& body);

// The raw text between the first and the last marker; nothing when the marker
// is missing, occurs once, or the two occurrences have nothing between them.
std::optional<QString> valueText(const QString& body);
// The value read as a decimal number; text that is not a number (or does not
// fit) reads as 0. Nothing when the body carries no value at all.
std::optional<int> value32(const QString& body);
std::optional<qint64> value64(const QString& body);

// The records of a list answer (each a list of at least two fields, empty
// fields kept); nothing when the body is not a list answer.
std::optional<QList<QStringList>> listRecords(const QString& body);

// True when the body acknowledges a stored upload.
bool isUploadAck(const QString& body);
bool isUploadAck(const QByteArray& body);

// One album per record: field 1 id, field 2 name, field 4 photo count (0 when absent).
AlbumRecord albumFromFields(const QStringList& fields);
// The albums of an album list answer, in answer order; nothing when the body
// is not a list answer.
std::optional<AlbumList> albumList(const QString& body);

// The answer to an album creation request.
struct NewAlbumAnswer
{
    enum Outcome
    {
        NoMarker, // not an answer of the service at all ("Network error!")
        Refused,  // an answer, but zero or not a number ("Create Albums failed!")
        Created
    };
    Outcome outcome = NoMarker;
    int albumId = 0;
};
// The body must contain the value marker; with every marker removed the rest
// must read as a non-zero decimal number, the new album's id.
NewAlbumAnswer newAlbumAnswer(const QString& body);

} // namespace vbReply
