// The settings file: any bytes as "system.ini", read, then one value written.
#include "vbFuzzCheck.h"
#include "vbIniParser.h"

namespace {

struct Name
{
    const char* section;
    const char* key;
};

// What the programs read and write.
const Name kNames[] = {{"user.info", "username"},   {"user.info", "password"}, {"user.info", "autologin"},
                       {"recent.directory", "dir"}, {"version", "ver"},        {"service", "web"},
                       {"service", "httpport"},     {"ui", "language"}};

QString read(const vbIniParser& ini, const Name& n)
{
    return ini.getString(QLatin1String(n.section), QLatin1String(n.key), QStringLiteral("<absent>"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the value to write and its length; the rest is the file.
    const int target = data[0] % std::size(kNames);
    const QByteArray content = fuzzBytes(data + 1, size - 1);
    vbIniParser ini(fuzzScratchFile(QStringLiteral("system.ini"), content));
    QStringList values;
    for (const Name& n : kNames) {
        values << read(ini, n);
        PV_FUZZ_CHECK(values.last().size() <= qMax<qsizetype>(content.size(), 8));
        PV_FUZZ_CHECK(!values.last().contains(QLatin1Char('\n')) &&
                      !values.last().contains(QLatin1Char('\r')));
        PV_FUZZ_CHECK(values.last() == values.last().trimmed());
    }

    // A value the file can hold (one line, no blanks at its ends) comes back as written and
    // every other value stays as it was. A line break would start a line of its own (another
    // key): refused, file untouched.
    const QString value = QString::fromUtf8(content.right(data[0] % 24)).trimmed();
    const bool multiLine = value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    const Name& n = kNames[target];
    PV_FUZZ_CHECK(ini.setString(QLatin1String(n.section), QLatin1String(n.key), value) == !multiLine);
    if (!multiLine)
        values[target] = value;
    for (int i = 0; i < int(std::size(kNames)); ++i)
        PV_FUZZ_CHECK(read(ini, kNames[i]) == values.at(i));
    return 0;
}
