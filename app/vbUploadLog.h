#pragma once

#include "vbUploadLogRecord.h"

#include <QStringList>

// The two files of the upload queue in the "data" folder: the upload log
// "log.dat" (one record per line, five fields joined by "||") and the pending
// list "nextload.dat" (one photo path per line). Both are text in the locale's
// encoding with CR LF line ends, rewritten atomically.
class vbUploadLog
{
public:
    static constexpr int kMaxRecords = 5000;

    // A record from one line; false unless the line has exactly five fields.
    static bool parseLine(const QString& line, UploadLogRecord* record);
    static QString formatLine(const UploadLogRecord& record);

    // Every accepted line of the file, oldest first, cut to the newest
    // maxRecords. A missing or unreadable file gives an empty list.
    static UploadLogRecords load(const QString& path, int maxRecords = kMaxRecords);
    static bool save(const QString& path, const UploadLogRecords& records);

    // The lines of the pending list that name existing files, in file order;
    // the file is deleted afterwards whatever it held.
    static QStringList takePending(const QString& path);
    static bool savePending(const QString& path, const QStringList& files);

private:
    static QStringList readLines(const QString& path);
    static bool writeLines(const QString& path, const QStringList& lines);
};
