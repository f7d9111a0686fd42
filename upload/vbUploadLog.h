#pragma once

#include "vbUploadLogRecord.h"

#include <QDateTime>
#include <QStringList>

// The files of the upload queue in the "data" folder: the upload log
// "log.dat" (one record per line, five fields joined by "||"), the pending
// list "nextload.dat" and the recovery copy of the running list (one photo
// path per line). All are text in the locale's encoding with CR LF line ends,
// rewritten atomically: a failed save leaves the old file as it was.
class vbUploadLog
{
public:
    static constexpr int kMaxRecords = 5000;

    // What a field holds once written: line breaks become "↵", and a "|" that
    // would touch the separator or another "|" becomes "¦". Idempotent.
    static QString cleanField(const QString& field);
    // One line of the log. For every record r, parseLine(formatLine(r)) gives
    // back r with each text field passed through cleanField.
    static QString formatLine(const UploadLogRecord& record);
    // A record from one line; false unless the line has exactly five fields.
    static bool parseLine(const QString& line, UploadLogRecord* record);

    // The date field of a new record: "yyyy.MM.dd HH:mm:ss". Older files hold
    // the date alone; both read back as they are.
    static QString dateText(const QDateTime& when);

    // One line of a photo list. Plain paths are written as they are (as older
    // versions did); a path with a line break, or one starting with "file:",
    // is written as "file:" + its percent-encoded form. For every path p,
    // parsePathLine(formatPathLine(p)) == p.
    static QString formatPathLine(const QString& path);
    static QString parsePathLine(const QString& line);

    // Every accepted line of the file, oldest first, cut to the newest
    // maxRecords. A missing or unreadable file gives an empty list.
    static UploadLogRecords load(const QString& path, int maxRecords = kMaxRecords);
    // False, with *error saying why, when the file could not be replaced.
    static bool save(const QString& path, const UploadLogRecords& records, QString* error = nullptr);

    // The photos of a photo list file that exist, in file order.
    static QStringList readPaths(const QString& path);
    static bool savePaths(const QString& path, const QStringList& files, QString* error = nullptr);
    // readPaths, then the file is deleted whatever it held.
    static QStringList takePending(const QString& path);
    static bool savePending(const QString& path, const QStringList& files, QString* error = nullptr)
    {
        return savePaths(path, files, error);
    }

private:
    static QStringList readLines(const QString& path);
    static bool writeLines(const QString& path, const QStringList& lines, QString* error);
};
