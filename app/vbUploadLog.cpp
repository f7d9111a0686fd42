#include "vbUploadLog.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString kSeparator = QStringLiteral("||");
}

bool vbUploadLog::parseLine(const QString& line, UploadLogRecord* record)
{
    const QStringList fields = line.split(kSeparator);
    if (fields.size() != 5)
        return false;
    record->succeeded = fields.at(0) == QLatin1String("1");
    record->userName = fields.at(1);
    record->filePath = fields.at(2);
    record->albumName = fields.at(3);
    record->date = fields.at(4);
    record->reason.clear();
    return true;
}

QString vbUploadLog::formatLine(const UploadLogRecord& record)
{
    return QStringList{record.succeeded ? QStringLiteral("1") : QStringLiteral("0"), record.userName,
                       record.filePath, record.albumName, record.date}
        .join(kSeparator);
}

QStringList vbUploadLog::readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        lines.append(QString::fromLocal8Bit(raw));
    }
    return lines;
}

bool vbUploadLog::writeLines(const QString& path, const QStringList& lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& line : lines) {
        file.write(line.toLocal8Bit());
        file.write("\r\n");
    }
    return file.commit();
}

UploadLogRecords vbUploadLog::load(const QString& path, int maxRecords)
{
    UploadLogRecords records;
    const QStringList lines = readLines(path);
    for (const QString& line : lines) {
        UploadLogRecord record;
        if (parseLine(line, &record))
            records.append(record);
    }
    if (maxRecords >= 0 && records.size() > maxRecords)
        records.erase(records.begin(), records.begin() + (records.size() - maxRecords));
    return records;
}

bool vbUploadLog::save(const QString& path, const UploadLogRecords& records)
{
    QStringList lines;
    lines.reserve(records.size());
    for (const UploadLogRecord& record : records)
        lines.append(formatLine(record));
    return writeLines(path, lines);
}

QStringList vbUploadLog::takePending(const QString& path)
{
    QStringList files;
    const QStringList lines = readLines(path);
    for (const QString& line : lines) {
        if (!line.isEmpty() && QFileInfo(line).isFile())
            files.append(line);
    }
    QFile::remove(path);
    return files;
}

bool vbUploadLog::savePending(const QString& path, const QStringList& files)
{
    return writeLines(path, files);
}
