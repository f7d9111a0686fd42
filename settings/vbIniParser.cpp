#include "vbIniParser.h"

#include "vbSaveFile.h"

#include <QFile>
#include <QList>

namespace {

// Buffer sizes of the classic readers: values read through them are cut to size - 1.
constexpr int kSmallBuffer = 64;

struct Line
{
    QByteArray text;   // without the line end
    QByteArray ending; // "\r\n", "\n", "\r" or empty for a last line without one
};

QList<Line> splitLines(const QByteArray& data)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data.at(end) != '\n' && data.at(end) != '\r')
            ++end;
        Line line{data.mid(start, end - start), QByteArray()};
        if (end < data.size()) {
            if (data.at(end) == '\r' && end + 1 < data.size() && data.at(end + 1) == '\n')
                line.ending = QByteArrayLiteral("\r\n");
            else
                line.ending = data.mid(end, 1);
            end += line.ending.size();
        }
        lines.append(line);
        start = end;
    }
    return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionName(const QByteArray& raw)
{
    const QString text = QString::fromLocal8Bit(raw).trimmed();
    if (!text.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    if (close < 0)
        return QString();
    return text.mid(1, close - 1).trimmed();
}

bool splitKeyValue(const QByteArray& raw, QString* key, QString* value)
{
    const QString text = QString::fromLocal8Bit(raw);
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = text.left(eq).trimmed();
    if (key->isEmpty())
        return false;
    if (value)
        *value = text.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the first section called name (-1 when absent).
qsizetype findSection(const QList<Line>& lines, const QString& name)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString s = sectionName(lines.at(i).text);
        if (!s.isNull() && sameName(s, name))
            return i;
    }
    return -1;
}

bool lookup(const QList<Line>& lines, const QString& section, const QString& key, QString* value)
{
    const qsizetype header = findSection(lines, section);
    if (header < 0)
        return false;
    for (qsizetype i = header + 1; i < lines.size(); ++i) {
        if (!sectionName(lines.at(i).text).isNull())
            break;
        QString k;
        if (splitKeyValue(lines.at(i).text, &k, value) && sameName(k, key))
            return true;
    }
    return false;
}

// Reads a leading integer the way the C library does: blanks, a sign, digits.
qint64 leadingInteger(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        ++i;
    while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128)
        ++i;
    bool ok = false;
    const qint64 v = t.left(i).toLongLong(&ok);
    return ok ? v : 0;
}

double leadingDouble(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    auto digits = [&] {
        qsizetype n = 0;
        while (i < t.size() && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9') {
            ++i;
            ++n;
        }
        return n;
    };
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype mantissa = digits();
    if (i < t.size() && t.at(i) == QLatin1Char('.')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return 0.0;
    const qsizetype beforeExponent = i;
    if (i < t.size() && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
            ++i;
        if (digits() == 0)
            i = beforeExponent;
    }
    bool ok = false;
    const double v = t.left(i).toDouble(&ok);
    return ok ? v : 0.0;
}

bool writeLines(const QString& path, const QList<Line>& lines)
{
    QByteArray bytes;
    for (const Line& line : lines)
        bytes += line.text + line.ending;
    return vbSaveFile::write(path, bytes);
}

} // namespace

vbIniParser::vbIniParser(const QString& path) : m_path(path.isNull() ? QString(QLatin1String("")) : path) {}

vbIniParser::~vbIniParser() = default;

QByteArray vbIniParser::readFile() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString vbIniParser::getString(const QString& section, const QString& key, const QString& def) const
{
    const QString fallback = def.isNull() ? QString(QLatin1String("")) : def;
    if (section.isNull() || key.isNull())
        return fallback;
    QString value;
    if (lookup(splitLines(readFile()), section, key, &value))
        return value;
    return fallback;
}

int vbIniParser::getString(const QString& section, const QString& key, QString* dest, int capacity,
                           const QString& def) const
{
    const QString value = getString(section, key, def);
    if (dest) {
        dest->clear();
        if (capacity > 0)
            *dest = value.left(capacity - 1);
        return int(qMin<qsizetype>(capacity, value.size()));
    }
    return int(value.size());
}

bool vbIniParser::getBool(const QString& section, const QString& key, bool def) const
{
    QString value;
    getString(section, key, &value, kSmallBuffer);
    if (value.isEmpty())
        return def;
    if (sameName(value, QStringLiteral("true")) || sameName(value, QStringLiteral("yes")))
        return true;
    return leadingInteger(value) != 0;
}

double vbIniParser::getDouble(const QString& section, const QString& key, double def) const
{
    QString value;
    getString(section, key, &value, kSmallBuffer);
    if (value.isEmpty())
        return def;
    return leadingDouble(value);
}

bool vbIniParser::setString(const QString& section, const QString& key, const QString& value)
{
    // A line break would end the value and start a line of its own: another key.
    const auto multiLine = [](const QString& text) {
        return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    };
    if (section.isNull() || key.isNull() || multiLine(section) || multiLine(key) || multiLine(value))
        return false;
    static const QByteArray crlf = QByteArrayLiteral("\r\n");
    const QByteArray entry = key.toLocal8Bit() + '=' + value.toLocal8Bit();

    QList<Line> lines = splitLines(readFile());
    const qsizetype header = findSection(lines, section);
    if (header < 0) {
        if (!lines.isEmpty() && lines.last().ending.isEmpty())
            lines.last().ending = crlf;
        lines.append({'[' + section.toLocal8Bit() + ']', crlf});
        lines.append({entry, crlf});
    } else {
        qsizetype lastContent = header;
        qsizetype found = -1;
        for (qsizetype i = header + 1; i < lines.size(); ++i) {
            if (!sectionName(lines.at(i).text).isNull())
                break;
            QString k;
            if (splitKeyValue(lines.at(i).text, &k, nullptr) && sameName(k, key)) {
                found = i;
                break;
            }
            if (!lines.at(i).text.trimmed().isEmpty())
                lastContent = i;
        }
        if (found >= 0) {
            lines[found].text = entry;
        } else {
            if (lines.at(lastContent).ending.isEmpty())
                lines[lastContent].ending = crlf;
            lines.insert(lastContent + 1, {entry, crlf});
        }
    }

    return writeLines(m_path, lines);
}

QString vbIniParser::formatInt(qint64 value, int base)
{
    switch (base) {
    case 2:
    case 8:
        return QString::number(static_cast<quint64>(value), base);
    case 16:
        return QString::number(static_cast<quint64>(value), 16).toUpper();
    default:
        return QString::number(value);
    }
}

bool vbIniParser::setInt(const QString& section, const QString& key, qint64 value, int base)
{
    return setString(section, key, formatInt(value, base));
}

bool vbIniParser::setBool(const QString& section, const QString& key, bool value)
{
    return setInt(section, key, value ? 1 : 0, 10);
}

bool vbIniParser::removeKey(const QString& section, const QString& key)
{
    if (section.isNull() || key.isNull())
        return false;
    QList<Line> lines = splitLines(readFile());
    bool inSection = false;
    bool removed = false;
    for (qsizetype i = 0; i < lines.size();) {
        const QString s = sectionName(lines.at(i).text);
        if (!s.isNull())
            inSection = sameName(s, section);
        QString k;
        if (inSection && s.isNull() && splitKeyValue(lines.at(i).text, &k, nullptr) && sameName(k, key)) {
            lines.removeAt(i);
            removed = true;
        } else {
            ++i;
        }
    }
    return !removed || writeLines(m_path, lines);
}
