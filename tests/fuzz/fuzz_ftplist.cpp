// One line of an FTP LIST answer (Unix "ls -l" or DOS), on a day the input picks.
#include "vbFtpListParser.h"
#include "vbFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Any day of this century is "today".
    const QDate today = QDate(2000, 1, 1).addDays((data[0] << 8 | data[1]) % 36525);
    QByteArray line = fuzzBytes(data + 2, size - 2);
    // The FTP runner hands over one line at a time.
    const qsizetype lineEnd = line.indexOf('\n');
    if (lineEnd >= 0)
        line.truncate(lineEnd + 1);

    vbFtpEntry e;
    if (!vbFtpListParser::parseLine(line, today, &e))
        return 0;
    PV_FUZZ_CHECK(!e.rawName.isEmpty() && !e.name.isEmpty());
    // The name lies within the line without its line end (a CR inside a name is a name).
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    const QByteArray link = e.rawName + " -> " + e.symLinkTarget; // the target may be empty
    PV_FUZZ_CHECK(e.rawName.size() < text.size());
    PV_FUZZ_CHECK(e.symLinkTarget.isEmpty() ? text.endsWith(e.rawName) || text.endsWith(link)
                                            : text.endsWith(link));
    PV_FUZZ_CHECK(!e.rawName.contains('/') && !e.rawName.contains('\0') && !e.rawName.contains('\n'));
    PV_FUZZ_CHECK(e.size >= 0);
    if (!e.symLinkTarget.isEmpty())
        PV_FUZZ_CHECK(e.isSymLink() && !e.rawName.contains(" -> "));

    PV_FUZZ_CHECK(e.lastModified.isValid());
    const QDate date = e.lastModified.date();
    PV_FUZZ_CHECK(date.year() >= 1900 && date.year() <= 9999);
    // A Unix line with a time and no year is dated within the twelve months
    // that end tomorrow (lines with a year read as midnight).
    if (!e.permissions.isEmpty() && e.lastModified.time() != QTime(0, 0)) {
        const QDate tomorrow = today.addDays(1);
        PV_FUZZ_CHECK(date <= tomorrow && date > tomorrow.addYears(-1));
    }
    return 0;
}
