// The settings file: any bytes as "system.ini", read, then one value written.
#include "vbFuzzCheck.h"
#include "vbIniParser.h"

#include <QFile>

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
    const QString path = fuzzScratchFile(QStringLiteral("system.ini"));
    // The first byte picks the value to write and its length; the rest is the file.
    const Name& target = kNames[data[0] % std::size(kNames)];
    const QByteArray content = fuzzBytes(data + 1, size - 1);
    {
        QFile f(path);
        PV_FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        PV_FUZZ_CHECK(f.write(content) == content.size());
    }

    vbIniParser ini(path);
    QStringList before;
    for (const Name& n : kNames) {
        const QString v = read(ini, n);
        before << v;
        PV_FUZZ_CHECK(v.size() <= qMax<qsizetype>(content.size(), 8));
        PV_FUZZ_CHECK(!v.contains(QLatin1Char('\n')) && !v.contains(QLatin1Char('\r')));
        PV_FUZZ_CHECK(v == v.trimmed());
    }

    // A value the file can hold: one line, no blanks at its ends. It comes back
    // as written and every other value stays as it was.
    QString value = QString::fromUtf8(content.right(data[0] % 24));
    value = value.trimmed();
    const bool multiLine = value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    // A line break would start a line of its own (another key): refused, file untouched.
    PV_FUZZ_CHECK(ini.setString(QLatin1String(target.section), QLatin1String(target.key), value) ==
                  !multiLine);
    PV_FUZZ_CHECK(read(ini, target) == (multiLine ? before.at(int(&target - kNames)) : value));
    for (int i = 0; i < int(std::size(kNames)); ++i) {
        const Name& n = kNames[i];
        if (&n != &target)
            PV_FUZZ_CHECK(read(ini, n) == before.at(i));
    }
    return 0;
}
