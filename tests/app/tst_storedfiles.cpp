// What the programs keep in files: the settings file (read leniently, written changing nothing but the
// value), the upload log "log.dat" and the photo lists "nextload.dat" and "recovery.dat" (what is read
// back, what is skipped, what cannot be forged, what is written), and what survives a failed write.
#include "vbIniParser.h"
#include "vbTestPhotos.h"
#include "vbUploadLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

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
        if (!vbTestPhotos::writeFile(file, content))
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
        QCOMPARE(vbTestPhotos::readFile(ini.path()), QByteArray("[s]\r\nk=v\r\n"));
        QVERIFY(ini.setString("s", "k", QString()));
        QCOMPARE(vbTestPhotos::readFile(ini.path()), QByteArray("[s]\r\nk=\r\n"));
    }

    // The auto sign-in flag: an empty value gives the default, "on" is no "yes".
    void readBool()
    {
        const std::tuple<const char*, bool, bool> cases[] = {{"", true, true},
                                                             {"0", true, false},
                                                             {"yes", false, true},
                                                             {"on", true, false},
                                                             {"1.25beta", false, true}};
        for (const auto& [stored, def, asBool] : cases) {
            const vbIniParser ini(writeFile(QByteArray("[a]\r\nk=") + stored + "\r\n"));
            QVERIFY2(ini.getBool("a", "k", def) == asBool, stored);
        }
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
    void otherLinesPreserved()
    {
        // Before, the section/key set to "9", after.
        const std::tuple<QByteArray, QString, QByteArray> cases[] = {
            // Comments and LF ends kept.
            {"; settings\n[a]\nx=1\n\n[b]\ny=2\n", "a/x", "; settings\n[a]\nx=9\n\n[b]\ny=2\n"},
            // A new key after the last line of its section.
            {"[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a/z", "[a]\r\nx=1\r\nz=9\r\n\r\n[b]\r\ny=2\r\n"},
            {"[a]\r\nx=1", "b/k", "[a]\r\nx=1\r\n[b]\r\nk=9\r\n"},
            // Duplicate sections: the first one wins.
            {"[a]\r\nx=1\r\n[a]\r\nx=2\r\n", "a/x", "[a]\r\nx=9\r\n[a]\r\nx=2\r\n"},
            // Keys before any section are not in a section.
            {"x=0\r\n[a]\r\ny=1\r\n", "a/x", "x=0\r\n[a]\r\ny=1\r\nx=9\r\n"},
            // Names in any case, the key written as asked.
            {"[User.Info]\r\nUserName=x\r\n", "USER.INFO/username", "[User.Info]\r\nusername=9\r\n"},
            {QByteArray("\x01\x02\xff\xfe junk\r\n[a]\r\nx=1\r\n\x80\x81\r\n", 25), "a/x",
             QByteArray("\x01\x02\xff\xfe junk\r\n[a]\r\nx=9\r\n\x80\x81\r\n", 25)}};
        for (const auto& [before, name, after] : cases) {
            const QString section = name.section('/', 0, 0);
            const QString key = name.section('/', 1);
            vbIniParser ini(writeFile(before));
            QVERIFY(ini.setString(section, key, "9"));
            QCOMPARE(vbTestPhotos::readFile(ini.path()), after);
            QCOMPARE(ini.getString(section, key), QStringLiteral("9"));
        }
    }

    // Removing a key takes its lines out of that section only and keeps every other byte.
    void removeKey()
    {
        const std::pair<QByteArray, QByteArray> cases[] = {
            {"[A]\r\nx=1\r\nK=v\r\ny=2\r\n", "[A]\r\nx=1\r\ny=2\r\n"}, // any case
            {"k=0\r\n[a]\r\nk=1\r\n[b]\r\nk=2\r\n[a]\r\nk=3", "k=0\r\n[a]\r\n[b]\r\nk=2\r\n[a]\r\n"},
            {{}, {}}}; // an absent file stays absent
        for (const auto& [before, after] : cases) {
            vbIniParser ini(before.isEmpty() ? m_dir.filePath("none.ini") : writeFile(before));
            QVERIFY(ini.removeKey("a", "k"));
            QCOMPARE(vbTestPhotos::readFile(ini.path()), after);
            QCOMPARE(QFile::exists(ini.path()), !before.isEmpty());
            QCOMPARE(ini.getString("a", "k", "gone"), QStringLiteral("gone"));
        }
    }

    void malformedReads()
    {
        const std::pair<QByteArray, QString> cases[] = {{{}, "def"}, // absent file
                                                        {"  [ a ]  \r\n  k  =  v w  \r\n", "v w"},
                                                        {"k=0\r\n[a]\r\n", "def"},
                                                        {"[a\r\nk=1\r\n", "def"}, // unterminated header
                                                        {QByteArray("\x00\xff\x01[a]=\r\n", 8), "def"},
                                                        {"[a]\r\nk\r\nk=2\r\n", "2"}};
        for (const auto& [content, expected] : cases) {
            vbIniParser ini(content.isNull() ? path("absent.ini") : writeFile(content));
            QCOMPARE(ini.getString("a", "k", "def"), expected);
            QCOMPARE(QFile::exists(ini.path()), !content.isNull()); // reading creates nothing
        }
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
        QVERIFY(vbTestPhotos::writeFile(path("big.dat"), file));
        UploadLogRecords records = vbUploadLog::load(path("big.dat"));
        QCOMPARE(records.size(), qsizetype(vbUploadLog::kMaxRecords));
        QCOMPARE(records.first().filePath, QStringLiteral("/photos/p1001.jpg"));
        QCOMPARE(records.last().filePath, QStringLiteral("/photos/p6000.jpg"));
        // Without a limit every line comes back.
        QCOMPARE(vbUploadLog::load(path("big.dat"), -1).size(), qsizetype(6000));
        records.first().reason = "kept in memory only";
        QVERIFY(vbUploadLog::save(path("big.dat"), records));
        QCOMPARE(vbTestPhotos::readFile(path("big.dat")), expected);
    }

    // A line between two good ones, in a file as the program writes it: whether it is read, and
    // the success and path read from it.
    void lines()
    {
        struct Case
        {
            QByteArray line;
            bool accepted, succeeded;
            QString filePath;
        };
        const Case cases[] = {
            {validLine(1), true, true, "/photos/p1.jpg"},
            {"1||demo||/a.jpg||Family", false, false, {}},                // four fields
            {"1||demo||/a||b.jpg||Family||2009.01.01", false, false, {}}, // "||" in a field makes six
            {"1||demo||/a|b.jpg||Family||2009.01.01", true, true, "/a|b.jpg"},
            {"", false, false, {}},
            {"0||demo||/a.jpg||Family||2009.01.01", true, false, "/a.jpg"},
            {" 1||demo||/a.jpg||Family||2009.01.01", true, false, "/a.jpg"}, // "1" with a blank fails
            {QString::fromUtf8("1||demo||/相册/旅行 1.jpg||家庭||2009.01.01").toLocal8Bit(), true, true,
             QString::fromUtf8("/相册/旅行 1.jpg")}};
        for (const Case& c : cases) {
            QVERIFY(vbTestPhotos::writeFile(path("lines.dat"),
                                            validLine(1) + "\r\n" + c.line + "\r\n" + validLine(3) + "\r\n"));
            const UploadLogRecords records = vbUploadLog::load(path("lines.dat"));
            QVERIFY2(records.size() == (c.accepted ? 3 : 2), c.line.constData());
            QCOMPARE(records.last().filePath, QStringLiteral("/photos/p3.jpg"));
            if (!c.accepted)
                continue;
            const UploadLogRecord& record = records.at(1);
            QVERIFY2(record.succeeded == c.succeeded, c.line.constData());
            QCOMPARE(record.filePath, c.filePath);
            // Written back, success is "1" or "0" whatever the line held.
            QVERIFY(vbUploadLog::formatLine(record).startsWith(c.succeeded ? QLatin1String("1||")
                                                                           : QLatin1String("0||")));
        }
    }

    // Every field gets the same care; the album name also sits in the other places.
    void fieldsRoundTrip()
    {
        // The album name, and as it reads back.
        const std::pair<QString, QString> cases[] = {
            {"Trip\r\n1||x@y.test||/forged.jpg||Forged",
             QString::fromUtf8("Trip↵1¦|x@y.test¦|/forged.jpg¦|Forged")},
            {"a||b", QString::fromUtf8("a¦|b")},
            {"a\rb\nc", QString::fromUtf8("a↵b↵c")},
            {QString::fromUtf8("a¦↵"), QString::fromUtf8("a¦↵")}}; // substitutes stay
        for (const auto& [album, expected] : cases) {
            const UploadLogRecord record{false, album, "/photos/" + album + ".jpg", album, album, {}};
            QVERIFY(vbUploadLog::save(path("forged.dat"), {record, record}));
            const UploadLogRecords loaded = vbUploadLog::load(path("forged.dat"));
            QCOMPARE(loaded.size(), qsizetype(2)); // two records, no more
            const UploadLogRecord& back = loaded.at(1);
            QCOMPARE(QStringList({back.userName, back.albumName, back.date}), QStringList(3, expected));
            QCOMPARE(back.filePath, "/photos/" + expected + ".jpg");
            QVERIFY(!back.succeeded);
        }
    }

    // Names written as they are, as older versions read them, or encoded onto one line.
    void pathLines()
    {
        const std::pair<QString, bool> cases[] = {
            {"a photo.jpg", true}, {"two\nlines.jpg", false}, {"file:x%41.jpg", false}};
        for (const auto& [name, plain] : cases) {
            // Paths are absolute, so only a name can start with "file:".
            const QString file = name.startsWith(QLatin1String("file:")) ? name : m_dir.filePath(name);
            const QString line = vbUploadLog::formatPathLine(file);
            QCOMPARE(line == file, plain);
            QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
            QCOMPARE(vbUploadLog::parsePathLine(line), file);
            if (file == name)
                continue;

            // A photo named like that comes back from the file as itself.
            QVERIFY(vbTestPhotos::writeFile(file, "x"));
            QVERIFY(vbUploadLog::savePaths(path("paths.dat"), {file}));
            QCOMPARE(vbUploadLog::readPaths(path("paths.dat")), QStringList{file});
        }
    }

    // A failed write leaves the old file whole and no half-written file beside it.
    void fullDiskKeepsOldFiles()
    {
#ifdef Q_OS_UNIX
        const QByteArray oldIni = "[version]\r\nversion=1.0\r\n";
        vbIniParser ini(writeFile(oldIni));
        QVERIFY(!whenDiskFull(64, [&] { return ini.setString("user.info", "name", QString(200, 'x')); }));
        QCOMPARE(vbTestPhotos::readFile(ini.path()), oldIni);

        QVERIFY(vbTestPhotos::writeFile(path("full-log.dat"), validLine(1) + "\r\n"));
        UploadLogRecords records;
        for (int i = 0; i < 200; ++i)
            vbUploadLog::parseLine(QString::fromLatin1(validLine(i)), &records.emplaceBack());
        QString error;
        QVERIFY(
            !whenDiskFull(1024, [&] { return vbUploadLog::save(path("full-log.dat"), records, &error); }));
        QVERIFY(!error.isEmpty());
        QCOMPARE(vbTestPhotos::readFile(path("full-log.dat")), validLine(1) + "\r\n");
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
        QVERIFY(vbTestPhotos::writeFile(kept1, "x"));
        QVERIFY(vbTestPhotos::writeFile(kept2, "x"));
        QVERIFY(QDir().mkpath(path("a folder")));

        QVERIFY(vbUploadLog::savePending(path("next.dat"), {kept2, gone, kept1}));
        QCOMPARE(vbTestPhotos::readFile(path("next.dat")),
                 (kept2 + "\r\n" + gone + "\r\n" + kept1 + "\r\n").toLocal8Bit());

        // A folder and an empty line name no photo either.
        QVERIFY(vbTestPhotos::writeFile(
            path("next.dat"),
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
