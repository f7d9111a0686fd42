// What the programs keep in files: the settings file (read leniently, written changing nothing but the
// value), the upload log "log.dat" and the photo lists "nextload.dat" and "recovery.dat" (what is read
// back, what is skipped, what cannot be forged, what is written), and what survives a failed write.
#include "vbIniParser.h"
#include "vbUploadLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray validLine(int n)
{
    return "1||demo@velbrook.test||/photos/p" + QByteArray::number(n) + ".jpg||Family||2009.01.01";
}

#ifdef Q_OS_UNIX
// Runs write under a file size limit, which fails writes the way a full disk does, for root too.
template <typename Write> bool whenDiskFull(rlim_t bytes, Write write)
{
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = write();
    ::setrlimit(RLIMIT_FSIZE, &old);
    return written;
}
#endif

} // namespace

class tst_StoredFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QString writeFile(const QByteArray& content)
    {
        const QString file = m_dir.filePath(QStringLiteral("system-%1.ini").arg(++m_counter));
        if (!writeAll(file, content))
            qFatal("cannot write test file");
        return file;
    }

private slots:
    // Null names and line breaks are refused and change nothing: a line break would end the
    // value and start a line of its own (another key).
    void refusedNamesAndValues()
    {
        vbIniParser ini(writeFile("[s]\r\nk=v\r\n"));
        QCOMPARE(ini.getString(QString(), "k", "d"), QStringLiteral("d"));
        QCOMPARE(ini.getString("s", QString()), QStringLiteral(""));
        const QStringList refused[] = {
            {QString(), "k", "x"},       {"s", QString(), "x"}, {"s", "k", "x\r\n[user.info]"},
            {"s", "k", "x\npassword=y"}, {"s\n", "k", "x"},     {"s", "k\r", "x"}};
        for (const QStringList& r : refused)
            QVERIFY2(!ini.setString(r.at(0), r.at(1), r.at(2)), qPrintable(r.join('|')));
        QCOMPARE(readAll(ini.path()), QByteArray("[s]\r\nk=v\r\n"));
        QVERIFY(ini.setString("s", "k", QString()));
        QCOMPARE(readAll(ini.path()), QByteArray("[s]\r\nk=\r\n"));
    }

    // The auto sign-in flag: an empty value gives the default, "on" is no "yes".
    void readBool_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("asBool");
        QTest::newRow("empty keeps default true") << QByteArray("") << true << true;
        QTest::newRow("0 beats default") << QByteArray("0") << true << false;
        QTest::newRow("yes") << QByteArray("yes") << false << true;
        QTest::newRow("on is false") << QByteArray("on") << true << false;
        QTest::newRow("leading number") << QByteArray("1.25beta") << false << true;
    }
    void readBool()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, def);
        QFETCH(bool, asBool);
        QCOMPARE(vbIniParser(writeFile("[a]\r\nk=" + stored + "\r\n")).getBool("a", "k", def), asBool);
    }

    // Values come back whole. A destination buffer cuts one to size - 1; without one the whole
    // length is told. Album ids are written in decimal.
    void valuesKeptExactly()
    {
        vbIniParser ini(m_dir.filePath("pw.ini"));
        for (const QString& value :
             {QStringLiteral("a b=c;d"), QStringLiteral("相册/照片"), QString(70000, 'y')}) {
            QVERIFY(ini.setString("user.info", "password", value));
            QCOMPARE(ini.getString("user.info", "password"), value);
        }
        QString cut;
        QCOMPARE(ini.getString("user.info", "password", &cut, 100), 100);
        QCOMPARE(cut, QString(99, 'y'));
        QCOMPARE(ini.getString("user.info", "password", nullptr, 100), 70000);
        QVERIFY(ini.setInt("albums", "1001", -42));
        QCOMPARE(ini.getString("albums", "1001"), QStringLiteral("-42"));
    }

    // Writing one value must leave every other byte of the file as it was.
    void otherLinesPreserved_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("name"); // section/key
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace keeps comments and LF ends")
            << QByteArray("; settings\n[a]\nx=1\n\n[b]\ny=2\n") << "a/x"
            << QByteArray("; settings\n[a]\nx=9\n\n[b]\ny=2\n");
        QTest::newRow("new key after last line of its section")
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n") << "a/z"
            << QByteArray("[a]\r\nx=1\r\nz=9\r\n\r\n[b]\r\ny=2\r\n");
        QTest::newRow("no trailing newline, new section")
            << QByteArray("[a]\r\nx=1") << "b/k" << QByteArray("[a]\r\nx=1\r\n[b]\r\nk=9\r\n");
        QTest::newRow("duplicate sections: first one wins")
            << QByteArray("[a]\r\nx=1\r\n[a]\r\nx=2\r\n") << "a/x"
            << QByteArray("[a]\r\nx=9\r\n[a]\r\nx=2\r\n");
        QTest::newRow("keys before any section are not in a section")
            << QByteArray("x=0\r\n[a]\r\ny=1\r\n") << "a/x" << QByteArray("x=0\r\n[a]\r\ny=1\r\nx=9\r\n");
        QTest::newRow("names in any case, the key written as asked")
            << QByteArray("[User.Info]\r\nUserName=x\r\n") << "USER.INFO/username"
            << QByteArray("[User.Info]\r\nusername=9\r\n");
        QTest::newRow("binary junk kept")
            << QByteArray("\x01\x02\xff\xfe junk\r\n[a]\r\nx=1\r\n\x80\x81\r\n", 25) << "a/x"
            << QByteArray("\x01\x02\xff\xfe junk\r\n[a]\r\nx=9\r\n\x80\x81\r\n", 25);
    }
    void otherLinesPreserved()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, name);
        QFETCH(QByteArray, after);
        const QString section = name.section('/', 0, 0);
        const QString key = name.section('/', 1);
        vbIniParser ini(writeFile(before));
        QVERIFY(ini.setString(section, key, "9"));
        QCOMPARE(readAll(ini.path()), after);
        QCOMPARE(ini.getString(section, key), QStringLiteral("9"));
    }

    // Removing a key takes its lines out of that section only and keeps every other byte.
    void removeKey_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("middle of section, any case")
            << QByteArray("[A]\r\nx=1\r\nK=v\r\ny=2\r\n") << QByteArray("[A]\r\nx=1\r\ny=2\r\n");
        QTest::newRow("duplicates and other sections")
            << QByteArray("k=0\r\n[a]\r\nk=1\r\n[b]\r\nk=2\r\n[a]\r\nk=3")
            << QByteArray("k=0\r\n[a]\r\n[b]\r\nk=2\r\n[a]\r\n");
        QTest::newRow("absent file stays absent") << QByteArray() << QByteArray();
    }
    void removeKey()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        vbIniParser ini(before.isEmpty() ? m_dir.filePath("none.ini") : writeFile(before));
        QVERIFY(ini.removeKey("a", "k"));
        QCOMPARE(readAll(ini.path()), after);
        QCOMPARE(QFile::exists(ini.path()), !before.isEmpty());
        QCOMPARE(ini.getString("a", "k", "gone"), QStringLiteral("gone"));
    }

    void malformedReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absent file") << QByteArray() << "def";
        QTest::newRow("blanks around") << QByteArray("  [ a ]  \r\n  k  =  v w  \r\n") << "v w";
        QTest::newRow("key before section ignored") << QByteArray("k=0\r\n[a]\r\n") << "def";
        QTest::newRow("unterminated header") << QByteArray("[a\r\nk=1\r\n") << "def";
        QTest::newRow("junk") << QByteArray("\x00\xff\x01[a]=\r\n", 8) << "def";
        QTest::newRow("line without equals") << QByteArray("[a]\r\nk\r\nk=2\r\n") << "2";
    }
    void malformedReads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        vbIniParser ini(content.isNull() ? path("absent.ini") : writeFile(content));
        QCOMPARE(ini.getString("a", "k", "def"), expected);
        QCOMPARE(QFile::exists(ini.path()), !content.isNull()); // reading creates nothing
    }

    // The newest records are kept. LF, CR LF and a last line without an end all read; the
    // program writes CR LF, and a record's reason stays in memory only.
    void newestRecordsKeptAndRewritten()
    {
        QByteArray file, expected;
        for (int i = 1; i <= 6000; ++i) {
            file += validLine(i) + (i == 6000 ? "" : i % 2 ? "\n" : "\r\n");
            if (i > 1000)
                expected += validLine(i) + "\r\n";
        }
        QVERIFY(writeAll(path("big.dat"), file));
        UploadLogRecords records = vbUploadLog::load(path("big.dat"));
        QCOMPARE(records.size(), qsizetype(vbUploadLog::kMaxRecords));
        QCOMPARE(records.first().filePath, QStringLiteral("/photos/p1001.jpg"));
        QCOMPARE(records.last().filePath, QStringLiteral("/photos/p6000.jpg"));
        // Without a limit every line comes back.
        QCOMPARE(vbUploadLog::load(path("big.dat"), -1).size(), qsizetype(6000));
        records.first().reason = "kept in memory only";
        QVERIFY(vbUploadLog::save(path("big.dat"), records));
        QCOMPARE(readAll(path("big.dat")), expected);
    }

    void lines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<QString>("filePath");

        QTest::newRow("five fields") << validLine(1) << true << true << "/photos/p1.jpg";
        QTest::newRow("four fields") << QByteArray("1||demo||/a.jpg||Family") << false << false << "";
        QTest::newRow("|| inside a field makes six")
            << QByteArray("1||demo||/a||b.jpg||Family||2009.01.01") << false << false << "";
        QTest::newRow("single bars belong to the field")
            << QByteArray("1||demo||/a|b.jpg||Family||2009.01.01") << true << true << "/a|b.jpg";
        QTest::newRow("empty line") << QByteArray("") << false << false << "";
        QTest::newRow("zero is a failure")
            << QByteArray("0||demo||/a.jpg||Family||2009.01.01") << true << false << "/a.jpg";
        QTest::newRow("1 with a blank is a failure")
            << QByteArray(" 1||demo||/a.jpg||Family||2009.01.01") << true << false << "/a.jpg";
        QTest::newRow("Chinese path")
            << QString::fromUtf8("1||demo||/相册/旅行 1.jpg||家庭||2009.01.01").toLocal8Bit() << true << true
            << QString::fromUtf8("/相册/旅行 1.jpg");
    }

    void lines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, accepted);
        QFETCH(bool, succeeded);
        QFETCH(QString, filePath);

        // The line between two good ones, in a file as the program writes it.
        QVERIFY(writeAll(path("lines.dat"), validLine(1) + "\r\n" + line + "\r\n" + validLine(3) + "\r\n"));
        const UploadLogRecords records = vbUploadLog::load(path("lines.dat"));
        QCOMPARE(records.size(), qsizetype(accepted ? 3 : 2));
        QCOMPARE(records.last().filePath, QStringLiteral("/photos/p3.jpg"));
        if (!accepted)
            return;
        const UploadLogRecord& record = records.at(1);
        QCOMPARE(record.succeeded, succeeded);
        QCOMPARE(record.filePath, filePath);

        // Written back, success is "1" or "0" whatever the line held.
        QVERIFY(vbUploadLog::formatLine(record).startsWith(succeeded ? QLatin1String("1||")
                                                                     : QLatin1String("0||")));
    }

    void fieldsRoundTrip_data()
    {
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("expected"); // the album name as it reads back

        QTest::newRow("forged record") << "Trip\r\n1||x@y.test||/forged.jpg||Forged"
                                       << QString::fromUtf8("Trip↵1¦|x@y.test¦|/forged.jpg¦|Forged");
        QTest::newRow("separator") << "a||b" << QString::fromUtf8("a¦|b");
        QTest::newRow("lone CR and LF") << "a\rb\nc" << QString::fromUtf8("a↵b↵c");
        QTest::newRow("substitutes stay") << QString::fromUtf8("a¦↵") << QString::fromUtf8("a¦↵");
    }

    void fieldsRoundTrip()
    {
        QFETCH(QString, album);
        QFETCH(QString, expected);

        // Every field gets the same care; the album name also sits in the other places.
        const UploadLogRecord record{false, album, "/photos/" + album + ".jpg", album, album, {}};
        QVERIFY(vbUploadLog::save(path("forged.dat"), {record, record}));
        const UploadLogRecords loaded = vbUploadLog::load(path("forged.dat"));
        QCOMPARE(loaded.size(), qsizetype(2)); // two records, no more
        const UploadLogRecord& back = loaded.at(1);
        QCOMPARE(QStringList({back.userName, back.albumName, back.date}), QStringList(3, expected));
        QCOMPARE(back.filePath, "/photos/" + expected + ".jpg");
        QVERIFY(!back.succeeded);
    }

    void pathLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain"); // written as it is, as older versions read it

        QTest::newRow("plain") << "a photo.jpg" << true;
        QTest::newRow("line feed") << "two\nlines.jpg" << false;
        QTest::newRow("looks encoded") << "file:x%41.jpg" << false;
    }

    void pathLines()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        // Paths are absolute, so only a name can start with "file:".
        const QString file = name.startsWith(QLatin1String("file:")) ? name : m_dir.filePath(name);
        const QString line = vbUploadLog::formatPathLine(file);
        QCOMPARE(line == file, plain);
        QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        QCOMPARE(vbUploadLog::parsePathLine(line), file);
        if (!plain && name.startsWith(QLatin1String("file:")))
            return;

        // A photo named like that comes back from the file as itself.
        QVERIFY(writeAll(file, "x"));
        QVERIFY(vbUploadLog::savePaths(path("paths.dat"), {file}));
        QCOMPARE(vbUploadLog::readPaths(path("paths.dat")), QStringList{file});
    }

    // A failed write leaves the old file whole and no half-written file beside it.
    void fullDiskKeepsOldFiles()
    {
#ifdef Q_OS_UNIX
        const QByteArray oldIni = "[version]\r\nversion=1.0\r\n";
        vbIniParser ini(writeFile(oldIni));
        QVERIFY(!whenDiskFull(64, [&] { return ini.setString("user.info", "name", QString(200, 'x')); }));
        QCOMPARE(readAll(ini.path()), oldIni);

        QVERIFY(writeAll(path("full-log.dat"), validLine(1) + "\r\n"));
        UploadLogRecords records;
        for (int i = 0; i < 200; ++i)
            vbUploadLog::parseLine(QString::fromLatin1(validLine(i)), &records.emplaceBack());
        QString error;
        QVERIFY(
            !whenDiskFull(1024, [&] { return vbUploadLog::save(path("full-log.dat"), records, &error); }));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(path("full-log.dat")), validLine(1) + "\r\n");
        QCOMPARE(QDir(m_dir.path()).entryList({"full-*"}, QDir::Files), QStringList{"full-log.dat"});
#else
        QSKIP("needs a file size limit");
#endif
    }

    void pendingList()
    {
        const QString kept1 = path("a photo.jpg");
        const QString gone = path("deleted.jpg");
        const QString kept2 = m_dir.filePath(QString::fromUtf8("旅行.jpg"));
        QVERIFY(writeAll(kept1, "x"));
        QVERIFY(writeAll(kept2, "x"));
        QVERIFY(QDir().mkpath(path("a folder")));

        QVERIFY(vbUploadLog::savePending(path("next.dat"), {kept2, gone, kept1}));
        QCOMPARE(readAll(path("next.dat")), (kept2 + "\r\n" + gone + "\r\n" + kept1 + "\r\n").toLocal8Bit());

        // A folder and an empty line name no photo either.
        QVERIFY(
            writeAll(path("next.dat"),
                     (kept2 + "\r\n" + gone + "\r\n\r\n" + path("a folder") + "\n" + kept1).toLocal8Bit()));
        QCOMPARE(vbUploadLog::takePending(path("next.dat")), QStringList({kept2, kept1}));
        QVERIFY(!QFile::exists(path("next.dat")));

        // Only deleted files: nothing comes back and the list goes anyway.
        QVERIFY(vbUploadLog::savePending(path("next.dat"), {gone}));
        QVERIFY(vbUploadLog::takePending(path("next.dat")).isEmpty());
        QVERIFY(!QFile::exists(path("next.dat")));
    }
};

QTEST_GUILESS_MAIN(tst_StoredFiles)
#include "tst_storedfiles.moc"
