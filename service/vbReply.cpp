#include "vbReply.h"

namespace vbReply {

namespace {
const QLatin1String valueMarker()
{
    return QLatin1String(kValueMarker);
}

// Service texts may carry line breaks around numbers; a number is a number.
qint64 readNumber64(const QString& text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    return ok ? v : 0;
}

int readNumber32(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : 0;
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
    return body.mid(first + markerLength, last - first - markerLength);
}

std::optional<int> value32(const QString& body)
{
    const std::optional<QString> text = valueText(body);
    if (!text)
        return std::nullopt;
    return readNumber32(*text);
}

std::optional<qint64> value64(const QString& body)
{
    const std::optional<QString> text = valueText(body);
    if (!text)
        return std::nullopt;
    return readNumber64(*text);
}

std::optional<QList<QStringList>> listRecords(const QString& body)
{
    if (!body.contains(QLatin1String(kListBegin)))
        return std::nullopt;
    QString rest = body;
    rest.remove(QLatin1String(kListBegin));
    rest.remove(QLatin1String(kListEnd));
    QList<QStringList> records;
    const QStringList lines = rest.split(QLatin1String(kRecordSeparator), Qt::KeepEmptyParts);
    for (const QString& line : lines) {
        QStringList fields = line.split(QLatin1String(kFieldSeparator), Qt::KeepEmptyParts);
        if (fields.size() >= 2)
            records.append(std::move(fields));
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

AlbumRecord albumFromFields(const QStringList& fields)
{
    AlbumRecord album;
    album.id = fields.isEmpty() ? 0 : readNumber32(fields.at(0));
    album.name = fields.value(1);
    album.photoCount = fields.size() >= 4 ? readNumber32(fields.at(3)) : 0;
    return album;
}

std::optional<AlbumList> albumList(const QString& body)
{
    const std::optional<QList<QStringList>> records = listRecords(body);
    if (!records)
        return std::nullopt;
    AlbumList albums;
    albums.reserve(records->size());
    for (const QStringList& fields : *records)
        albums.append(albumFromFields(fields));
    return albums;
}

NewAlbumAnswer newAlbumAnswer(const QString& body)
{
    NewAlbumAnswer answer;
    if (!body.contains(valueMarker()))
        return answer;
    QString rest = body;
    rest.remove(valueMarker());
    answer.albumId = readNumber32(rest);
    answer.outcome = answer.albumId != 0 ? NewAlbumAnswer::Created : NewAlbumAnswer::Refused;
    return answer;
}

} // namespace vbReply
