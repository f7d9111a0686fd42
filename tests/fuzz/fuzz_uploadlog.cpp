// The upload log "log.dat" and the pending list "nextload.dat": lines in, records out.
#include "vbFuzzCheck.h"
#include "vbUploadLog.h"

#include <QFileInfo>

namespace {

// b is a with every text field as it is once written.
bool sameOnceWritten(const UploadLogRecord& a, const UploadLogRecord& b)
{
    return a.succeeded == b.succeeded && vbUploadLog::cleanField(a.userName) == b.userName &&
           vbUploadLog::cleanField(a.filePath) == b.filePath &&
           vbUploadLog::cleanField(a.albumName) == b.albumName && vbUploadLog::cleanField(a.date) == b.date;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int mode = data[0] % 3;
    const QByteArray content = fuzzBytes(data + 1, size - 1);

    if (mode == 0) {
        // One line: a record read, written and read again is the same record.
        const QString line = QString::fromUtf8(content);
        UploadLogRecord record;
        if (vbUploadLog::parseLine(line, &record)) {
            for (const QString* field : {&record.userName, &record.filePath, &record.albumName, &record.date})
                PV_FUZZ_CHECK(field->size() <= line.size() && !field->contains(QLatin1String("||")));
            UploadLogRecord again;
            PV_FUZZ_CHECK(vbUploadLog::parseLine(vbUploadLog::formatLine(record), &again));
            PV_FUZZ_CHECK(sameOnceWritten(record, again));
        }
        // Any record, whatever its fields hold, comes back from the file as one record.
        const QStringList parts = line.split(QChar(0x1f));
        const UploadLogRecord any{parts.size() % 2 == 1, parts.value(0), parts.value(1),
                                  parts.value(2),        parts.value(3), {}};
        const QString path = fuzzScratchFile(QStringLiteral("log.dat"));
        PV_FUZZ_CHECK(vbUploadLog::save(path, {any}));
        const UploadLogRecords loaded = vbUploadLog::load(path);
        PV_FUZZ_CHECK(loaded.size() == 1 && sameOnceWritten(any, loaded.first()));
        // A photo list line gives back its path exactly.
        PV_FUZZ_CHECK(vbUploadLog::parsePathLine(vbUploadLog::formatPathLine(line)) == line);
    } else if (mode == 1) {
        // A whole log file: no more records than lines, never more than asked for.
        const int maxRecords = 1 + int(size % 7);
        const UploadLogRecords records =
            vbUploadLog::load(fuzzScratchFile(QStringLiteral("log.dat"), content), maxRecords);
        PV_FUZZ_CHECK(records.size() <= maxRecords && records.size() <= content.count('\n') + 1);
    } else {
        // A pending list: only names of existing files come back, and the list is gone.
        const QString path = fuzzScratchFile(QStringLiteral("nextload.dat"), content);
        const QStringList files = vbUploadLog::takePending(path);
        PV_FUZZ_CHECK(!QFile::exists(path));
        for (const QString& file : files) {
            PV_FUZZ_CHECK(!file.isEmpty() && !file.contains(QLatin1Char('\n')));
            PV_FUZZ_CHECK(QFileInfo::exists(file));
        }
    }
    return 0;
}
