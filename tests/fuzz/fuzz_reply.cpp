// The service's reply envelopes: value answers, list answers (album lists),
// album creation answers and the upload acknowledgement.
#include "vbFuzzCheck.h"
#include "vbReply.h"

using namespace vbReply;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString body = decodeBody(bytes);
    const QLatin1String marker(kValueMarker);

    const std::optional<QString> value = valueText(body);
    PV_FUZZ_CHECK(value.has_value() == value32(body).has_value());
    if (value) {
        PV_FUZZ_CHECK(!value->isEmpty());
        PV_FUZZ_CHECK(value->size() + 2 * marker.size() <= body.size());
        PV_FUZZ_CHECK(body.contains(*value));
        PV_FUZZ_CHECK(!value->contains(marker));
    }

    const std::optional<QList<QStringList>> records = listRecords(body);
    PV_FUZZ_CHECK(records.has_value() == body.contains(QLatin1String(kListBegin)));
    if (records) {
        // An album list is all or nothing: every record a whole album in range.
        const std::optional<AlbumList> albums = albumList(body);
        PV_FUZZ_CHECK(!albums || albums->size() == records->size());
        for (qsizetype i = 0; i < records->size(); ++i) {
            const QStringList& fields = records->at(i);
            PV_FUZZ_CHECK(!fields.isEmpty());
            for (const QString& field : fields) {
                PV_FUZZ_CHECK(field.size() <= body.size());
                PV_FUZZ_CHECK(!field.contains(QLatin1String(kRecordSeparator)));
                PV_FUZZ_CHECK(!field.contains(QLatin1String(kListBegin)) &&
                              !field.contains(QLatin1String(kListEnd)));
            }
            if (albums) {
                PV_FUZZ_CHECK(fields.size() >= 4 && albums->at(i).name == fields.at(1));
                PV_FUZZ_CHECK(albums->at(i).id > 0 && albums->at(i).photoCount >= 0);
            }
        }
    }

    const NewAlbumAnswer created = newAlbumAnswer(body);
    if (!body.contains(marker))
        PV_FUZZ_CHECK(created.outcome == NewAlbumAnswer::Unreadable);
    PV_FUZZ_CHECK((created.outcome == NewAlbumAnswer::Created) == (created.albumId != 0));
    PV_FUZZ_CHECK(created.albumId >= 0);

    // The upload worker judges raw bytes: an acknowledgement is the value 1.
    if (isUploadAck(bytes) && body.count(marker) == 2)
        PV_FUZZ_CHECK(valueText(body) == QStringLiteral("1"));
    return 0;
}
