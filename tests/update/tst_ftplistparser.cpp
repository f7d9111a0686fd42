// Listing lines as real servers send them, and the names the downloader accepts.
#include "vbFtpListParser.h"
#include "vbUpdateDownloader.h"

#include <QtTest>

namespace {
const int kRejected = -1;
const int kFile = vbFtpEntry::File;
const QDate kToday(2026, 12, 6);

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

void row(const char* tag, const QByteArray& line, int kind = kRejected, const QString& name = {},
         qint64 size = 0, const QDateTime& modified = {}, const QDate& today = kToday)
{
    QTest::newRow(tag) << line << today << kind << name << size << modified;
}

// A file line without a year: which year it means depends on today.
void yearless(const char* tag, const QDate& today, const QByteArray& date, const QDate& meant)
{
    row(tag, "-rw-r--r--   1 u g 10 " + date + " 12:00 x.txt", meant.isValid() ? kFile : kRejected,
        QStringLiteral("x.txt"), 10, QDateTime(meant, QTime(12, 0)), today);
}
} // namespace

class tst_FtpListParser : public QObject
{
    Q_OBJECT
private slots:
    // Only what the downloader uses is checked (kind, name, size); the date decides whether a line is taken.
    void lines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QDateTime>("modified");

        // Unix "ls -l", as vsftpd, ProFTPD and pyftpdlib send it.
        row("file with time, this year",
            "-rw-r--r--   1 ftp      ftp          1000 Jan 05 12:34 readme.txt\r\n", kFile, "readme.txt",
            1000, at(2026, 1, 5, 12, 34));
        row("folder with year", "drwxr-xr-x    2 1000     1000         4096 Mar 15  2009 photos",
            vbFtpEntry::Dir, "photos", 4096, at(2009, 3, 15));
        row("symbolic link", "lrwxrwxrwx   1 root     root            7 Jan  1  2020 latest -> v1.5/bin",
            vbFtpEntry::SymLink, "latest", 7, at(2020, 1, 1));
        row("group name with a blank", "-rw-r--r--   1 john     domain users 1234 Feb  3 09:05 report.doc",
            kFile, "report.doc", 1234, at(2026, 2, 3, 9, 5));
        row("name with blanks, a leading one kept",
            "-rw-r--r--   1 u g 10 Feb  3 09:05  my holiday 12 Jan 5 12:34.jpg", kFile,
            " my holiday 12 Jan 5 12:34.jpg", 10, at(2026, 2, 3, 9, 5));
        row("size above 4 GiB", "-rw-r--r--   1 ftp ftp 5368709120 Jun 30  2015 disk.iso", kFile, "disk.iso",
            5368709120LL, at(2015, 6, 30));
        row("ACL marker, no group column", "-rw-r--r--+  1 owner 300 Aug 12  2019 notes.txt", kFile,
            "notes.txt", 300, at(2019, 8, 12));
        row("device: listed but not a file", "crw-rw-rw-   1 root root 1, 3 Jan  1  2020 null",
            vbFtpEntry::Other, "null", 3, at(2020, 1, 1));
        row("month in capitals, UTF-8 name", "-rw-r--r-- 1 a b 42 MAY 9 2011 \xe7\x85\xa7\xe7\x89\x87.png",
            kFile, QString::fromUtf8("\xe7\x85\xa7\xe7\x89\x87.png"), 42, at(2011, 5, 9));
        // IIS and Windows "dir".
        row("DOS folder, 2-digit year, PM", "01-05-09  12:34PM       <DIR>          element", vbFtpEntry::Dir,
            "element", 0, at(2009, 1, 5, 12, 34));
        row("DOS file, 4-digit year, AM, blanks in name",
            "01-05-2009  01:34AM                 1000 read me first.txt\r\n", kFile, "read me first.txt",
            1000, at(2009, 1, 5, 1, 34));
        row("DOS midnight is 12AM, year 99 is 1999", "12-31-99  12:00AM                    5 y2k.txt", kFile,
            "y2k.txt", 5, at(1999, 12, 31));
        row("DOS 24-hour time, above 4 GiB", "06-15-2021  13:34           5368709120 big.iso", kFile,
            "big.iso", 5368709120LL, at(2021, 6, 15, 13, 34));
        row("Windows dir: separate PM, grouped size", "06/15/2021  01:34 PM            1,234,567 photo.jpg",
            kFile, "photo.jpg", 1234567, at(2021, 6, 15, 13, 34));

        yearless("Feb 29 of this leap year", QDate(2024, 3, 10), "Feb 29", QDate(2024, 2, 29));
        yearless("Feb 29 364 days back", QDate(2025, 2, 27), "Feb 29", QDate(2024, 2, 29));
        yearless("Feb 29 366 days back", QDate(2025, 3, 1), "Feb 29", QDate());
        yearless("Feb 29 tomorrow", QDate(2028, 2, 28), "Feb 29", QDate(2028, 2, 29));
        yearless("Feb 29 in two days", QDate(2028, 2, 27), "Feb 29", QDate());
        yearless("Feb 28 after a leap day", QDate(2028, 2, 29), "Feb 28", QDate(2028, 2, 28));
        yearless("Mar 2 a year back, leap day between", QDate(2028, 2, 29), "Mar  2", QDate(2027, 3, 2));
        yearless("tomorrow is next year", QDate(2026, 12, 31), "Jan  1", QDate(2027, 1, 1));
        yearless("two days ahead is last year", QDate(2026, 6, 15), "Jun 17", QDate(2025, 6, 17));

        row("total line", "total 12");
        row("bad month", "-rw-r--r--   1 u g 10 Foo  3 09:05 x.txt");
        row("no time or year", "-rw-r--r--   1 u g 10 Jan  3 x.txt");
        row("day 32", "-rw-r--r--   1 u g 10 Jan 32  2020 x.txt");
        row("hour 25", "-rw-r--r--   1 u g 10 Jan  3 25:00 x.txt");
        row("no name", "-rw-r--r--   1 u g 10 Jan  3  2020");
        row("name with a slash", "-rw-r--r--   1 u g 10 Jan  3  2020 ../x.txt");
        row("name with a NUL", QByteArray("-rw-r--r--   1 u g 10 Jan  3  2020 x\0.txt", 41));
        row("DOS name with a slash", "01-05-2009  12:00PM  1234 /etc/passwd");
        row("bad mode", "-rw-r--r-Q   1 u g 10 Jan  3  2020 x.txt");
        row("name list only", "readme.txt");
        row("DOS year 1010", "06/15/1010  01:34 PM  1,234 photo.jpg");
        row("DOS month 13", "13-05-2009  12:00PM       1 x.txt");
        row("DOS 13PM", "01-05-2009  13:00PM       1 x.txt");
        row("DOS no time", "01-05-2009  <DIR>  x");
        row("DOS size not a number", "01-05-2009  12:00PM  12a4 x.txt");
    }

    void lines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QDate, today);
        QFETCH(int, kind);
        vbFtpEntry e;
        e.name = QStringLiteral("untouched");
        QCOMPARE(vbFtpListParser::parseLine(line, today, &e), kind != kRejected);
        if (kind == kRejected) {
            QCOMPARE(e.name, QStringLiteral("untouched"));
            return;
        }
        QCOMPARE(int(e.kind), kind);
        QTEST(e.name, "name");
        QTEST(e.size, "size");
        QTEST(e.lastModified, "modified");
    }

    void plainFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("simple") << "pixelvane" << true;
        QTest::newRow("three dots") << "..." << true;
        QTest::newRow("Chinese") << QString::fromUtf8("\xe7\x85\xa7\xe7\x89\x87.png") << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("parent") << "../evil" << false;
        QTest::newRow("backslash parent") << "..\\evil" << false;
        QTest::newRow("drive") << "C:evil" << false;
        QTest::newRow("line break") << "a\nb" << false;
    }

    void plainFileNames()
    {
        QFETCH(QString, name);
        QTEST(vbUpdateDownloader::isPlainFileName(name), "plain");
    }
};

QTEST_GUILESS_MAIN(tst_FtpListParser)
#include "tst_ftplistparser.moc"
