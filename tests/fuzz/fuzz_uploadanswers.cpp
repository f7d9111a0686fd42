// The per-photo answers of the upload exchange: photo id, upload key, commit.
#include "vbFuzzCheck.h"
#include "vbReply.h"
#include "vbUploadProtocol.h"

using namespace vbUploadProtocol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = replyText(bytes);
    PV_FUZZ_CHECK(!text.contains(QChar(0)));
    PV_FUZZ_CHECK(text.size() <= bytes.size());

    const std::optional<qint64> id = photoIdFromReply(bytes);
    if (id) {
        PV_FUZZ_CHECK(*id > 0);
        // The commit answer that repeats the id is accepted for that id only.
        PV_FUZZ_CHECK(commitAccepted(bytes, *id));
        PV_FUZZ_CHECK(!commitAccepted(bytes, *id == 1 ? 2 : *id - 1));
    }
    PV_FUZZ_CHECK(!commitAccepted(bytes, 0));

    const std::optional<UploadKey> key = uploadKeyFromReply(bytes);
    if (key) {
        PV_FUZZ_CHECK(key->head.size() == 64);
        PV_FUZZ_CHECK(!key->tail.isEmpty());
        PV_FUZZ_CHECK(key->head.size() + 3 + key->tail.size() <= text.size());
        PV_FUZZ_CHECK(text.contains(key->head) && text.contains(key->tail));
    }

    // What the log viewer shows of a refused answer stays short.
    PV_FUZZ_CHECK(unexpectedAnswer(bytes).size() <= 160);
    return 0;
}
