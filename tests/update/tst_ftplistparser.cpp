#include "vbFtpListParser.h"
#include "vbUpdateDownloader.h"

#include <QtTest>

// Listing lines as real servers send them: vsftpd / ProFTPD / pyftpdlib
// (Unix "ls -l") and IIS / Windows (DOS).
class tst_FtpListParser : public QObject
{
    Q_OBJECT
private slots:
    void acceptedLines_data();
    void acceptedLines();
    void yearlessDates_data();
    void yearlessDates();
    void rejectedLines_data();
    void rejectedLines();
    void plainFileNames_data();
    void plainFileNames();
};

namespace {
const QDate today(2026, 12, 6);

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}
} // namespace

// Owner, group and link target are parsed but used by nobody; the name, kind and size are.
void tst_FtpListParser::acceptedLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QDateTime>("modified");

    const int file = vbFtpEntry::File;
    const int dir = vbFtpEntry::Dir;
    QTest::newRow("file with time, this year")
        << QByteArray("-rw-r--r--   1 ftp      ftp          1000 Jan 05 12:34 readme.txt\r\n") << file
        << "readme.txt" << qint64(1000) << at(2026, 1, 5, 12, 34);
    QTest::newRow("folder with year")
        << QByteArray("drwxr-xr-x    2 1000     1000         4096 Mar 15  2009 photos") << dir << "photos"
        << qint64(4096) << at(2009, 3, 15);
    QTest::newRow("symbolic link")
        << QByteArray("lrwxrwxrwx   1 root     root            7 Jan  1  2020 latest -> v1.5/bin")
        << int(vbFtpEntry::SymLink) << "latest" << qint64(7) << at(2020, 1, 1);
    QTest::newRow("group name with a blank")
        << QByteArray("-rw-r--r--   1 john     domain users 1234 Feb  3 09:05 report.doc") << file
        << "report.doc" << qint64(1234) << at(2026, 2, 3, 9, 5);
    QTest::newRow("name with blanks, a leading one kept")
        << QByteArray("-rw-r--r--   1 u g 10 Feb  3 09:05  my holiday 12 Jan 5 12:34.jpg") << file
        << " my holiday 12 Jan 5 12:34.jpg" << qint64(10) << at(2026, 2, 3, 9, 5);
    QTest::newRow("size above 4 GiB") << QByteArray("-rw-r--r--   1 ftp ftp 5368709120 Jun 30  2015 disk.iso")
                                      << file << "disk.iso" << qint64(5368709120LL) << at(2015, 6, 30);
    QTest::newRow("ACL marker, no group column")
        << QByteArray("-rw-r--r--+  1 owner 300 Aug 12  2019 notes.txt") << file << "notes.txt" << qint64(300)
        << at(2019, 8, 12);
    QTest::newRow("device: listed but not a file")
        << QByteArray("crw-rw-rw-   1 root root 1, 3 Jan  1  2020 null") << int(vbFtpEntry::Other) << "null"
        << qint64(3) << at(2020, 1, 1);
    QTest::newRow("month in capitals, UTF-8 name")
        << QByteArray("-rw-r--r-- 1 a b 42 MAY 9 2011 \xe7\x85\xa7\xe7\x89\x87.png") << file
        << QString::fromUtf8("\xe7\x85\xa7\xe7\x89\x87.png") << qint64(42) << at(2011, 5, 9);
    // IIS and Windows "dir" lines.
    QTest::newRow("DOS folder, 2-digit year, PM")
        << QByteArray("01-05-09  12:34PM       <DIR>          element") << dir << "element" << qint64(0)
        << at(2009, 1, 5, 12, 34);
    QTest::newRow("DOS file, 4-digit year, AM, blanks in name")
        << QByteArray("01-05-2009  01:34AM                 1000 read me first.txt\r\n") << file
        << "read me first.txt" << qint64(1000) << at(2009, 1, 5, 1, 34);
    QTest::newRow("DOS midnight is 12AM, year 99 is 1999")
        << QByteArray("12-31-99  12:00AM                    5 y2k.txt") << file << "y2k.txt" << qint64(5)
        << at(1999, 12, 31);
    QTest::newRow("DOS 24-hour time, above 4 GiB")
        << QByteArray("06-15-2021  13:34           5368709120 big.iso") << file << "big.iso"
        << qint64(5368709120LL) << at(2021, 6, 15, 13, 34);
    QTest::newRow("Windows dir: separate PM, grouped size")
        << QByteArray("06/15/2021  01:34 PM            1,234,567 photo.jpg") << file << "photo.jpg"
        << qint64(1234567) << at(2021, 6, 15, 13, 34);
}

void tst_FtpListParser::acceptedLines()
{
    QFETCH(QByteArray, line);
    vbFtpEntry e;
    QVERIFY(vbFtpListParser::parseLine(line, today, &e));
    QTEST(int(e.kind), "kind");
    QTEST(e.name, "name");
    QTEST(e.size, "size");
    QTEST(e.lastModified, "modified");
}

void tst_FtpListParser::yearlessDates_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QByteArray>("date");
    QTest::addColumn<QDate>("expected"); // null: the line is rejected
    QTest::newRow("Feb 29 of this leap year")
        << QDate(2024, 3, 10) << QByteArray("Feb 29") << QDate(2024, 2, 29);
    QTest::newRow("Feb 29 364 days back") << QDate(2025, 2, 27) << QByteArray("Feb 29") << QDate(2024, 2, 29);
    QTest::newRow("Feb 29 366 days back") << QDate(2025, 3, 1) << QByteArray("Feb 29") << QDate();
    QTest::newRow("Feb 29 tomorrow") << QDate(2028, 2, 28) << QByteArray("Feb 29") << QDate(2028, 2, 29);
    QTest::newRow("Feb 29 in two days") << QDate(2028, 2, 27) << QByteArray("Feb 29") << QDate();
    QTest::newRow("Feb 28 after a leap day")
        << QDate(2028, 2, 29) << QByteArray("Feb 28") << QDate(2028, 2, 28);
    QTest::newRow("Mar 2 a year back, leap day between")
        << QDate(2028, 2, 29) << QByteArray("Mar  2") << QDate(2027, 3, 2);
    QTest::newRow("tomorrow is next year")
        << QDate(2026, 12, 31) << QByteArray("Jan  1") << QDate(2027, 1, 1);
    QTest::newRow("two days ahead is last year")
        << QDate(2026, 6, 15) << QByteArray("Jun 17") << QDate(2025, 6, 17);
}

void tst_FtpListParser::yearlessDates()
{
    QFETCH(QDate, today);
    QFETCH(QByteArray, date);
    QFETCH(QDate, expected);
    vbFtpEntry e;
    const bool parsed =
        vbFtpListParser::parseLine("-rw-r--r--   1 u g 10 " + date + " 12:00 x.txt", today, &e);
    QCOMPARE(parsed, expected.isValid());
    if (parsed) {
        QCOMPARE(e.lastModified, QDateTime(expected, QTime(12, 0)));
    }
}

void tst_FtpListParser::rejectedLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("total line") << QByteArray("total 12");
    QTest::newRow("bad month") << QByteArray("-rw-r--r--   1 u g 10 Foo  3 09:05 x.txt");
    QTest::newRow("no time or year") << QByteArray("-rw-r--r--   1 u g 10 Jan  3 x.txt");
    QTest::newRow("day 32") << QByteArray("-rw-r--r--   1 u g 10 Jan 32  2020 x.txt");
    QTest::newRow("hour 25") << QByteArray("-rw-r--r--   1 u g 10 Jan  3 25:00 x.txt");
    QTest::newRow("no name") << QByteArray("-rw-r--r--   1 u g 10 Jan  3  2020");
    QTest::newRow("name with a slash") << QByteArray("-rw-r--r--   1 u g 10 Jan  3  2020 ../x.txt");
    QTest::newRow("name with a NUL") << QByteArray("-rw-r--r--   1 u g 10 Jan  3  2020 x\0.txt", 41);
    QTest::newRow("DOS name with a slash") << QByteArray("01-05-2009  12:00PM  1234 /etc/passwd");
    QTest::newRow("bad mode") << QByteArray("-rw-r--r-Q   1 u g 10 Jan  3  2020 x.txt");
    QTest::newRow("name list only") << QByteArray("readme.txt");
    QTest::newRow("DOS year 1010") << QByteArray("06/15/1010  01:34 PM  1,234 photo.jpg");
    QTest::newRow("DOS month 13") << QByteArray("13-05-2009  12:00PM       1 x.txt");
    QTest::newRow("DOS 13PM") << QByteArray("01-05-2009  13:00PM       1 x.txt");
    QTest::newRow("DOS no time") << QByteArray("01-05-2009  <DIR>  x");
    QTest::newRow("DOS size not a number") << QByteArray("01-05-2009  12:00PM  12a4 x.txt");
}

void tst_FtpListParser::rejectedLines()
{
    QFETCH(QByteArray, line);
    vbFtpEntry e;
    e.name = QStringLiteral("untouched");
    QVERIFY(!vbFtpListParser::parseLine(line, today, &e));
    QCOMPARE(e.name, QStringLiteral("untouched"));
}

void tst_FtpListParser::plainFileNames_data()
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

void tst_FtpListParser::plainFileNames()
{
    QFETCH(QString, name);
    QTEST(vbUpdateDownloader::isPlainFileName(name), "plain");
}

QTEST_GUILESS_MAIN(tst_FtpListParser)
#include "tst_ftplistparser.moc"
