#include "vbFtpListParser.h"

#include <QList>
#include <QTime>

namespace {

struct Token
{
    int begin;
    int end; // one past the last byte
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QList<Token> tokenize(const QByteArray& text)
{
    QList<Token> tokens;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        while (i < n && isBlank(text.at(i)))
            ++i;
        if (i >= n)
            break;
        const int begin = i;
        while (i < n && !isBlank(text.at(i)))
            ++i;
        tokens.append({begin, i});
    }
    return tokens;
}

QByteArray tokenText(const QByteArray& text, const Token& t)
{
    return text.mid(t.begin, t.end - t.begin);
}

bool allDigits(const QByteArray& s)
{
    if (s.isEmpty())
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Digits, optionally grouped by commas as Windows "dir" prints them ("1,234,567").
bool readSize(QByteArray s, qint64* size)
{
    if (s.contains(',')) {
        const QList<QByteArray> groups = s.split(',');
        if (groups.first().isEmpty() || groups.first().size() > 3)
            return false;
        for (qsizetype i = 1; i < groups.size(); ++i) {
            if (groups.at(i).size() != 3)
                return false;
        }
        s.replace(',', QByteArray());
    }
    if (!allDigits(s))
        return false;
    bool ok = false;
    *size = s.toLongLong(&ok);
    return ok;
}

int monthNumber(const QByteArray& s)
{
    static const char* const names[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3)
        return 0;
    const QByteArray lower = s.toLower();
    for (int m = 0; m < 12; ++m) {
        if (lower == names[m])
            return m + 1;
    }
    return 0;
}

int smallNumber(const QByteArray& s, int maxDigits)
{
    if (s.size() > maxDigits || !allDigits(s))
        return -1;
    return s.toInt();
}

// "12:34" (hours 0-23); the hour may have one digit.
bool readTime24(const QByteArray& s, QTime* time)
{
    const int colon = int(s.indexOf(':'));
    if (colon < 1 || colon > 2 || s.size() - colon - 1 != 2)
        return false;
    const int h = smallNumber(s.left(colon), 2);
    const int m = smallNumber(s.mid(colon + 1), 2);
    if (h < 0 || h > 23 || m < 0 || m > 59)
        return false;
    *time = QTime(h, m);
    return true;
}

bool isModeText(const QByteArray& s)
{
    if (s.size() < 10 || !QByteArray("-dlbcpsD").contains(s.at(0)))
        return false;
    for (int i = 1; i < 10; ++i) {
        if (!QByteArray("rwxsStTlL-").contains(s.at(i)))
            return false;
    }
    // ACL and SELinux markers after the mode
    return s.size() == 10 || (s.size() == 11 && QByteArray("+.@").contains(s.at(10)));
}

vbFtpEntry::Kind kindOfMode(char c)
{
    switch (c) {
    case '-':
        return vbFtpEntry::File;
    case 'd':
        return vbFtpEntry::Dir;
    case 'l':
        return vbFtpEntry::SymLink;
    default:
        return vbFtpEntry::Other;
    }
}

// No file system lists a name with a slash or a NUL: such a line is not a
// listing line (and the name must never become a path).
bool isListableName(const QByteArray& name)
{
    return !name.isEmpty() && !name.contains('/') && !name.contains('\0');
}

QByteArray withoutLineEnd(const QByteArray& line)
{
    QByteArray s = line;
    while (s.endsWith('\n') || s.endsWith('\r'))
        s.chop(1);
    return s;
}

} // namespace

namespace vbFtpListParser {

bool parseLine(const QByteArray& line, const QDate& today, vbFtpEntry* entry)
{
    return parseUnixLine(line, today, entry) || parseDosLine(line, entry);
}

bool parseUnixLine(const QByteArray& line, const QDate& today, vbFtpEntry* entry)
{
    const QByteArray text = withoutLineEnd(line);
    const QList<Token> tokens = tokenize(text);
    if (tokens.size() < 6 || !isModeText(tokenText(text, tokens.at(0))))
        return false;

    // The first "size month day time-or-year" run that is followed by a name;
    // owner and group (which may hold blanks) lie before it.
    for (int i = 2; i + 3 < int(tokens.size()); ++i) {
        const QByteArray sizeText = tokenText(text, tokens.at(i));
        bool sizeOk = false;
        const qint64 size = allDigits(sizeText) ? sizeText.toLongLong(&sizeOk) : 0;
        if (!sizeOk)
            continue;
        const int month = monthNumber(tokenText(text, tokens.at(i + 1)));
        const int day = smallNumber(tokenText(text, tokens.at(i + 2)), 2);
        if (month == 0 || day < 1 || day > 31)
            continue;
        const QByteArray yearOrTime = tokenText(text, tokens.at(i + 3));
        QDate date;
        QTime time(0, 0);
        if (yearOrTime.contains(':')) {
            if (!readTime24(yearOrTime, &time))
                continue;
            // No year given: ls prints the time only for recent dates, so it
            // is the most recent such date not after tomorrow (a server a
            // few time zones ahead) and within the twelve months before.
            // A Feb 29 with no Feb 29 in that span is no date at all.
            const QDate tomorrow = today.addDays(1);
            for (int year = today.year() + 1; year >= today.year() - 1 && !date.isValid(); --year) {
                const QDate candidate(year, month, day);
                if (candidate.isValid() && candidate <= tomorrow)
                    date = candidate;
            }
            if (date.isValid() && date <= tomorrow.addYears(-1))
                date = QDate();
        } else {
            const int year = smallNumber(yearOrTime, 4);
            if (yearOrTime.size() != 4 || year < 1900)
                continue;
            date = QDate(year, month, day);
        }
        if (!date.isValid())
            continue;

        // Exactly one blank separates the date from the name; anything
        // after it, blanks included, is the name.
        const int nameStart = tokens.at(i + 3).end + 1;
        if (nameStart >= text.size())
            return false;
        QByteArray name = text.mid(nameStart);
        const char modeChar = text.at(tokens.at(0).begin);

        vbFtpEntry e;
        e.kind = kindOfMode(modeChar);
        if (e.kind == vbFtpEntry::SymLink) {
            const int arrow = int(name.indexOf(" -> "));
            if (arrow > 0) {
                e.symLinkTarget = name.mid(arrow + 4);
                name.truncate(arrow);
            }
        }
        if (!isListableName(name))
            return false;
        e.rawName = name;
        e.name = QString::fromLocal8Bit(name);
        e.size = size;
        e.lastModified = QDateTime(date, time);
        e.permissions = QString::fromLatin1(tokenText(text, tokens.at(0)).left(10));
        int first = 1;
        if (i > 2 && allDigits(tokenText(text, tokens.at(1))))
            first = 2; // link count
        if (first < i)
            e.owner = QString::fromLocal8Bit(tokenText(text, tokens.at(first)));
        if (first + 1 < i) {
            const int from = tokens.at(first + 1).begin;
            e.group = QString::fromLocal8Bit(text.mid(from, tokens.at(i - 1).end - from));
        }
        *entry = e;
        return true;
    }
    return false;
}

bool parseDosLine(const QByteArray& line, vbFtpEntry* entry)
{
    const QByteArray text = withoutLineEnd(line);
    const QList<Token> tokens = tokenize(text);
    if (tokens.size() < 4)
        return false;

    // Date: MM-DD-YY or MM-DD-YYYY.
    const QByteArray dateText = tokenText(text, tokens.at(0));
    const QList<QByteArray> parts = dateText.split(dateText.contains('/') ? '/' : '-');
    if (parts.size() != 3 || parts.at(0).size() > 2 || parts.at(1).size() > 2)
        return false;
    const int month = smallNumber(parts.at(0), 2);
    const int day = smallNumber(parts.at(1), 2);
    int year = -1;
    if (parts.at(2).size() == 2)
        year = smallNumber(parts.at(2), 2);
    else if (parts.at(2).size() == 4)
        year = smallNumber(parts.at(2), 4);
    // Like the Unix form: a four-digit year before 1900 is no listing date.
    if (month < 1 || day < 1 || year < 0 || (parts.at(2).size() == 4 && year < 1900))
        return false;
    if (parts.at(2).size() == 2)
        year += year < 70 ? 2000 : 1900;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;

    // Time: 24-hour "13:34", or 12-hour "01:34PM" / "01:34 PM".
    QByteArray timeText = tokenText(text, tokens.at(1));
    int next = 2;
    QByteArray meridiem;
    const QByteArray upper = timeText.toUpper();
    if (upper.endsWith("AM") || upper.endsWith("PM")) {
        meridiem = upper.right(2);
        timeText.chop(2);
    } else {
        const QByteArray following = tokenText(text, tokens.at(2)).toUpper();
        if (following == "AM" || following == "PM") {
            meridiem = following;
            next = 3;
        }
    }
    QTime time;
    if (!readTime24(timeText, &time))
        return false;
    if (!meridiem.isEmpty()) {
        int h = time.hour();
        if (h < 1 || h > 12)
            return false;
        if (meridiem == "AM" && h == 12)
            h = 0;
        else if (meridiem == "PM" && h != 12)
            h += 12;
        time = QTime(h, time.minute());
    }
    if (next + 1 >= tokens.size())
        return false;

    vbFtpEntry e;
    const QByteArray sizeText = tokenText(text, tokens.at(next));
    if (sizeText.toUpper() == "<DIR>") {
        e.kind = vbFtpEntry::Dir;
    } else if (readSize(sizeText, &e.size)) {
        e.kind = vbFtpEntry::File;
    } else {
        return false;
    }
    e.rawName = text.mid(tokens.at(next + 1).begin);
    if (!isListableName(e.rawName))
        return false;
    e.name = QString::fromLocal8Bit(e.rawName);
    e.lastModified = QDateTime(date, time);
    *entry = e;
    return true;
}

} // namespace vbFtpListParser
