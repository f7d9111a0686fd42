#include "vbUploadLog.h"

#include "vbSaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {
const QString kSeparator = QStringLiteral("||");
const QLatin1String kEncodedPath("file:");
const QChar kBreakMark(0x21B5);     // ↵
const QChar kBarMark(0x00A6);       // ¦
const QByteArray kPathKeep("/\\:"); // kept readable in an encoded path

bool isBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
} // namespace

QString vbUploadLog::cleanField(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (isBreak(c)) {
            // CR LF is one break.
            if (c == QLatin1Char('\r') && i + 1 < field.size() && field.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += kBreakMark;
        } else if (c == QLatin1Char('|')) {
            // A bar next to another bar, or last in the field, would join the separator.
            const bool touches = i + 1 == field.size() || field.at(i + 1) == QLatin1Char('|') ||
                                 (!out.isEmpty() && out.back() == QLatin1Char('|'));
            out += touches ? kBarMark : c;
        } else {
            out += c;
        }
    }
    return out;
}

QString vbUploadLog::formatLine(const UploadLogRecord& record)
{
    return QStringList{record.succeeded ? QStringLiteral("1") : QStringLiteral("0"),
                       cleanField(record.userName), cleanField(record.filePath), cleanField(record.albumName),
                       cleanField(record.date)}
        .join(kSeparator);
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

QString vbUploadLog::dateText(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"));
}

QString vbUploadLog::formatPathLine(const QString& path)
{
    const bool plain = !path.startsWith(kEncodedPath) && std::none_of(path.begin(), path.end(), isBreak);
    if (plain)
        return path;
    return kEncodedPath + QString::fromLatin1(QUrl::toPercentEncoding(path, kPathKeep));
}

QString vbUploadLog::parsePathLine(const QString& line)
{
    if (!line.startsWith(kEncodedPath))
        return line;
    return QUrl::fromPercentEncoding(line.mid(kEncodedPath.size()).toLatin1());
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

bool vbUploadLog::writeLines(const QString& path, const QStringList& lines, QString* error)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLocal8Bit() + "\r\n";
    // A "data" folder removed while the program runs is made again.
    QDir().mkpath(QFileInfo(path).absolutePath());
    return vbSaveFile::write(path, bytes, error);
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

bool vbUploadLog::save(const QString& path, const UploadLogRecords& records, QString* error)
{
    QStringList lines;
    lines.reserve(records.size());
    for (const UploadLogRecord& record : records)
        lines.append(formatLine(record));
    return writeLines(path, lines, error);
}

QStringList vbUploadLog::readPaths(const QString& path)
{
    QStringList files;
    const QStringList lines = readLines(path);
    for (const QString& line : lines) {
        const QString file = parsePathLine(line);
        if (!file.isEmpty() && QFileInfo(file).isFile())
            files.append(file);
    }
    return files;
}

bool vbUploadLog::savePaths(const QString& path, const QStringList& files, QString* error)
{
    QStringList lines;
    lines.reserve(files.size());
    for (const QString& file : files)
        lines.append(formatPathLine(file));
    return writeLines(path, lines, error);
}

QStringList vbUploadLog::takePending(const QString& path)
{
    const QStringList files = readPaths(path);
    QFile::remove(path);
    return files;
}
