#include "vbReply.h"

namespace vbReply {

namespace {
const QLatin1String valueMarker()
{
    return QLatin1String(kValueMarker);
}

// Service texts may carry line breaks around numbers; a number is a number.
int readNumber32(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : 0;
}

// Digits only, at most 18 of them (so the value always fits 64 bits).
std::optional<qint64> readDigits(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 18)
        return std::nullopt;
    qint64 v = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}
} // namespace

QString decodeBody(const QByteArray& body)
{
    return QString::fromLocal8Bit(body);
}

std::optional<QString> valueText(const QString& body)
{
    const qsizetype first = body.indexOf(valueMarker());
    const qsizetype last = body.lastIndexOf(valueMarker());
    const qsizetype markerLength = valueMarker().size();
    if (first < 0 || last < 0 || first + markerLength >= last)
        return std::nullopt;
    const QString value = body.mid(first + markerLength, last - first - markerLength);
    // A third marker leaves it open which value is meant.
    if (value.contains(valueMarker()))
        return std::nullopt;
    return value;
}

std::optional<int> value32(const QString& body)
{
    const std::optional<QString> text = valueText(body);
    if (!text)
        return std::nullopt;
    return readNumber32(*text);
}

std::optional<qint64> idFromText(const QString& text, qint64 max)
{
    const std::optional<qint64> v = readDigits(text);
    if (!v || *v < 1 || *v > max)
        return std::nullopt;
    return v;
}

std::optional<int> countFromText(const QString& text)
{
    const std::optional<qint64> v = readDigits(text);
    if (!v || *v > kMaxId32)
        return std::nullopt;
    return int(*v);
}

SignInAnswer signInAnswer(const QString& body)
{
    SignInAnswer answer;
    const std::optional<QString> text = valueText(body);
    if (!text)
        return answer;
    if (readDigits(*text) == std::optional<qint64>(0)) {
        answer.outcome = SignInAnswer::Refused;
    } else if (const std::optional<qint64> id = idFromText(*text, kMaxId32)) {
        answer.outcome = SignInAnswer::Accepted;
        answer.userId = int(*id);
    }
    return answer;
}

std::optional<QList<QStringList>> listRecords(const QString& body)
{
    if (!body.contains(QLatin1String(kListBegin)))
        return std::nullopt;
    QString rest = body;
    // Taking one marker out can join the pieces of another: repeat until none is left.
    while (rest.contains(QLatin1String(kListBegin)) || rest.contains(QLatin1String(kListEnd))) {
        rest.remove(QLatin1String(kListBegin));
        rest.remove(QLatin1String(kListEnd));
    }
    QList<QStringList> records;
    const QStringList lines = rest.split(QLatin1String(kRecordSeparator), Qt::KeepEmptyParts);
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            records.append(line.split(QLatin1String(kFieldSeparator), Qt::KeepEmptyParts));
    }
    return records;
}

bool isUploadAck(const QString& body)
{
    return body.contains(QLatin1String(kUploadAck));
}

bool isUploadAck(const QByteArray& body)
{
    return body.contains(kUploadAck);
}

std::optional<AlbumRecord> albumFromFields(const QStringList& fields)
{
    if (fields.size() < 4 || fields.at(1).isEmpty())
        return std::nullopt;
    const std::optional<qint64> id = idFromText(fields.at(0), kMaxId32);
    const std::optional<int> count = countFromText(fields.at(3));
    if (!id || !count)
        return std::nullopt;
    return AlbumRecord{fields.at(1), int(*id), *count};
}

std::optional<AlbumList> albumList(const QString& body)
{
    // An answer cut off before its end marker is not read as a shorter list.
    if (body.lastIndexOf(QLatin1String(kListEnd)) < body.lastIndexOf(QLatin1String(kListBegin)))
        return std::nullopt;
    const std::optional<QList<QStringList>> records = listRecords(body);
    if (!records)
        return std::nullopt;
    AlbumList albums;
    albums.reserve(records->size());
    for (const QStringList& fields : *records) {
        const std::optional<AlbumRecord> album = albumFromFields(fields);
        if (!album)
            return std::nullopt;
        albums.append(*album);
    }
    return albums;
}

NewAlbumAnswer newAlbumAnswer(const QString& body)
{
    NewAlbumAnswer answer;
    if (!body.contains(valueMarker()))
        return answer;
    QString rest = body;
    rest.remove(valueMarker());
    if (readDigits(rest) == std::optional<qint64>(0)) {
        answer.outcome = NewAlbumAnswer::Refused;
    } else if (const std::optional<qint64> id = idFromText(rest, kMaxId32)) {
        answer.outcome = NewAlbumAnswer::Created;
        answer.albumId = int(*id);
    }
    return answer;
}

} // namespace vbReply
