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

// The largest user or album id (they are ints everywhere) and photo id: a
// photo id has at most 18 digits, so every such number fits 64 bits.
inline constexpr qint64 kMaxId32 = 2147483647;
inline constexpr qint64 kMaxPhotoId = 999999999999999999LL;

// The raw text between the first and the last marker; nothing when the marker
// is missing, occurs once, or the two occurrences have nothing between them.
std::optional<QString> valueText(const QString& body);
// The value read as a decimal number; text that is not a number (or does not
// fit) reads as 0. Nothing when the body carries no value at all.
std::optional<int> value32(const QString& body);

// The value rules. A number of the service is decimal digits only (line
// breaks and blanks around it allowed, no sign). An id is such a number from
// 1 to max; a count from 0 to kMaxId32. Anything else is nothing: an answer
// that cannot be read, never a 0 that would blame the user.
std::optional<qint64> idFromText(const QString& text, qint64 max);
std::optional<int> countFromText(const QString& text);

// What a sign-in answer says: 0 is the service's "wrong e-mail or password",
// a valid user id signs in, anything else (no value, -1, 20 digits, letters)
// cannot be read.
struct SignInAnswer
{
    enum Outcome
    {
        Unreadable,
        Refused,
        Accepted
    };
    Outcome outcome = Unreadable;
    int userId = 0;
};
SignInAnswer signInAnswer(const QString& body);

// The records of a list answer, each split into its fields (empty fields
// kept); blank lines are left out. Nothing when the body is not a list answer.
std::optional<QList<QStringList>> listRecords(const QString& body);

// True when the body acknowledges a stored upload.
bool isUploadAck(const QString& body);
bool isUploadAck(const QByteArray& body);

// One album per record: field 1 id, field 2 name, field 3 not used, field 4
// photo count. Nothing when a field is missing, the name is empty, or the id
// or count breaks the value rules.
std::optional<AlbumRecord> albumFromFields(const QStringList& fields);
// The albums of an album list answer, in answer order; nothing when the body
// is not a list answer or any record cannot be read.
std::optional<AlbumList> albumList(const QString& body);

// The answer to an album creation request.
struct NewAlbumAnswer
{
    enum Outcome
    {
        Unreadable, // no marker, or a value that breaks the value rules
        Refused,    // 0: the service would not create it ("Create Albums failed!")
        Created
    };
    Outcome outcome = Unreadable;
    int albumId = 0;
};
// The body must contain the value marker; with every marker removed the rest
// is 0 (refused) or the new album's id.
NewAlbumAnswer newAlbumAnswer(const QString& body);

} // namespace vbReply
