// The updater's version answer, and its way into the settings file and back.
#include "vbFuzzCheck.h"
#include "vbIniParser.h"
#include "vbVersionAnswer.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<QString> text = vbVersionAnswer::parse(fuzzBytes(data, size));
    if (!text)
        return 0;
    PV_FUZZ_CHECK(!text->isEmpty() && text->size() <= 3 && *text == text->trimmed());
    const std::optional<float> version = vbVersionAnswer::number(*text);
    PV_FUZZ_CHECK(version && std::isfinite(*version) && *version >= 0 && *version < 10000);

    // Stored as received, read back as the same version.
    vbIniParser ini(fuzzScratchFile(QStringLiteral("system.ini")));
    PV_FUZZ_CHECK(ini.setString(QStringLiteral("version"), QStringLiteral("ver"), *text));
    const QString stored = ini.getString(QStringLiteral("version"), QStringLiteral("ver"));
    PV_FUZZ_CHECK(stored == *text);
    PV_FUZZ_CHECK(vbVersionAnswer::number(stored) == version);
    return 0;
}
