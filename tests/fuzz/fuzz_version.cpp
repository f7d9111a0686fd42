// The updater's version answer: a short number, or nothing.
#include "vbFuzzCheck.h"
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
    return 0;
}
