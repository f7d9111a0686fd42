#pragma once

#include <QList>
#include <QString>

// One finished photo of an upload run, as the upload log keeps it.
// "log.dat" stores the first five fields; reason lives only in memory.
struct UploadLogRecord
{
    bool succeeded = false;
    QString userName;
    QString filePath;
    QString albumName;
    QString date; // "yyyy.MM.dd HH:mm:ss", or "yyyy.MM.dd" from older files
    // Why a failed photo failed (key, transfer or commit, with the last error);
    // empty for records read back from the file.
    QString reason;
};

using UploadLogRecords = QList<UploadLogRecord>;
