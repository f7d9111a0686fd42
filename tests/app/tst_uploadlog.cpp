// The upload log "log.dat" and the photo lists "nextload.dat" and
// "recovery.dat": what is read back, what is skipped, what cannot be forged,
// what is written and what survives a failed write.
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

} // namespace

class tst_UploadLog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void newestRecordsKeptAndRewritten()
    {
        QByteArray file;
        for (int i = 1; i <= 6000; ++i)
            file += validLine(i) + "\r\n";
        QVERIFY(writeAll(path("big.dat"), file));

        const UploadLogRecords records = vbUploadLog::load(path("big.dat"));
        QCOMPARE(records.size(), qsizetype(vbUploadLog::kMaxRecords));
        QCOMPARE(records.first().filePath, QStringLiteral("/photos/p1001.jpg"));
        QCOMPARE(records.last().filePath, QStringLiteral("/photos/p6000.jpg"));
        // Without a limit every line comes back.
        QCOMPARE(vbUploadLog::load(path("big.dat"), -1).size(), qsizetype(6000));

        QVERIFY(vbUploadLog::save(path("big.dat"), records));
        QByteArray expected;
        for (int i = 1001; i <= 6000; ++i)
            expected += validLine(i) + "\r\n";
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
        UploadLogRecord record;
        record.succeeded = false;
        record.userName = album;
        record.filePath = QStringLiteral("/photos/") + album + QStringLiteral(".jpg");
        record.albumName = album;
        record.date = album;
        const QString line = vbUploadLog::formatLine(record);
        QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        UploadLogRecord back;
        QVERIFY(vbUploadLog::parseLine(line, &back));
        QCOMPARE(back.albumName, expected);
        QCOMPARE(back.userName, expected);
        QCOMPARE(back.date, expected);
        QCOMPARE(back.filePath, vbUploadLog::cleanField(record.filePath));
        QVERIFY(!back.succeeded);
        QCOMPARE(vbUploadLog::formatLine(back), line);

        // Through the file, between two good records: three records, no more.
        UploadLogRecords records;
        UploadLogRecord good;
        vbUploadLog::parseLine(QString::fromLatin1(validLine(1)), &good);
        records << good << record << good;
        QVERIFY(vbUploadLog::save(path("forged.dat"), records));
        const UploadLogRecords loaded = vbUploadLog::load(path("forged.dat"));
        QCOMPARE(loaded.size(), qsizetype(3));
        QCOMPARE(loaded.at(1).albumName, expected);
        QCOMPARE(loaded.at(1).filePath, back.filePath);
        QCOMPARE(loaded.at(2).filePath, good.filePath);
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

    void fullDiskKeepsOldFile()
    {
#ifdef Q_OS_UNIX
        // A file size limit fails writes the way a full disk does, for root too.
        QVERIFY(vbUploadLog::savePending(path("full-next.dat"), {path("a.jpg")}));
        UploadLogRecords records;
        QVERIFY(writeAll(path("full-log.dat"), validLine(1) + "\r\n"));
        for (int i = 0; i < 200; ++i)
            vbUploadLog::parseLine(QString::fromLatin1(validLine(i)), &records.emplaceBack());
        QStringList paths;
        for (int i = 0; i < 200; ++i)
            paths.append(path("a.jpg"));

        ::signal(SIGXFSZ, SIG_IGN);
        rlimit old;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        QString logError, pendingError;
        const bool logSaved = vbUploadLog::save(path("full-log.dat"), records, &logError);
        const bool pendingSaved = vbUploadLog::savePending(path("full-next.dat"), paths, &pendingError);
        ::setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!logSaved);
        QVERIFY(!pendingSaved);
        QVERIFY(!logError.isEmpty());
        QVERIFY(!pendingError.isEmpty());
        QCOMPARE(readAll(path("full-log.dat")), validLine(1) + "\r\n");
        QCOMPARE(readAll(path("full-next.dat")), (path("a.jpg") + QStringLiteral("\r\n")).toLocal8Bit());
        // No half-written file is left beside them.
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("full-*")}, QDir::Files),
                 (QStringList{QStringLiteral("full-log.dat"), QStringLiteral("full-next.dat")}));
#else
        QSKIP("needs a file size limit");
#endif
    }

    void lineEnds()
    {
        // LF, CR LF and a last line without an end all read; the program writes CR LF.
        QVERIFY(writeAll(path("ends.dat"), validLine(1) + "\n" + validLine(2) + "\r\n" + validLine(3)));
        UploadLogRecords records = vbUploadLog::load(path("ends.dat"));
        QCOMPARE(records.size(), qsizetype(3));
        QCOMPARE(records.at(1).date, QStringLiteral("2009.01.01"));
        QCOMPARE(records.at(2).filePath, QStringLiteral("/photos/p3.jpg"));

        records.first().reason = QStringLiteral("kept in memory only");
        QVERIFY(vbUploadLog::save(path("ends.dat"), records));
        QCOMPARE(readAll(path("ends.dat")),
                 validLine(1) + "\r\n" + validLine(2) + "\r\n" + validLine(3) + "\r\n");
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
        // Read once only.
        QVERIFY(vbUploadLog::takePending(path("next.dat")).isEmpty());

        // Only deleted files: nothing comes back and the list goes anyway.
        QVERIFY(vbUploadLog::savePending(path("next.dat"), {gone}));
        QVERIFY(vbUploadLog::takePending(path("next.dat")).isEmpty());
        QVERIFY(!QFile::exists(path("next.dat")));
    }
};

QTEST_GUILESS_MAIN(tst_UploadLog)
#include "tst_uploadlog.moc"
