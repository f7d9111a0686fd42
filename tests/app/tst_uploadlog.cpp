// The upload log "log.dat" and the pending list "nextload.dat": what is read
// back, what is skipped, what is written and what survives a failed write.
#include "vbUploadLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

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
        QTest::newRow("six fields") << QByteArray("1||demo||/a.jpg||Family||2009.01.01||x") << false << false
                                    << "";
        QTest::newRow("|| inside a field makes six")
            << QByteArray("1||demo||/a||b.jpg||Family||2009.01.01") << false << false << "";
        QTest::newRow("single bars belong to the field")
            << QByteArray("1||demo||/a|b.jpg||Family||2009.01.01") << true << true << "/a|b.jpg";
        QTest::newRow("empty fields count") << QByteArray("||||||||") << true << false << "";
        QTest::newRow("empty line") << QByteArray("") << false << false << "";
        QTest::newRow("zero is a failure")
            << QByteArray("0||demo||/a.jpg||Family||2009.01.01") << true << false << "/a.jpg";
        QTest::newRow("only 1 exactly is a success")
            << QByteArray("11||demo||/a.jpg||Family||2009.01.01") << true << false << "/a.jpg";
        QTest::newRow("1 with a blank is a failure")
            << QByteArray(" 1||demo||/a.jpg||Family||2009.01.01") << true << false << "/a.jpg";
        QTest::newRow("true is a failure")
            << QByteArray("true||demo||/a.jpg||Family||2009.01.01") << true << false << "/a.jpg";
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

        // Written back, an accepted record reads the same (success as "1" or "0").
        QVERIFY(vbUploadLog::save(path("lines.dat"), {record}));
        const UploadLogRecords again = vbUploadLog::load(path("lines.dat"));
        QCOMPARE(again.size(), qsizetype(1));
        QCOMPARE(again.first().succeeded, succeeded);
        QCOMPARE(again.first().filePath, filePath);
        QCOMPARE(again.first().userName, record.userName);
        QCOMPARE(again.first().albumName, record.albumName);
        QCOMPARE(again.first().date, record.date);
        QVERIFY(readAll(path("lines.dat")).startsWith(succeeded ? "1||" : "0||"));
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

    void missingLogIsEmpty()
    {
        QVERIFY(vbUploadLog::load(path("absent.dat")).isEmpty());
        QVERIFY(vbUploadLog::takePending(path("absent-next.dat")).isEmpty());
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

    void readOnlyFolderLosesNothing()
    {
        QVERIFY(QDir().mkpath(path("data")));
        const QString log = path("data/log.dat");
        QVERIFY(writeAll(log, validLine(1) + "\r\n"));
        QFile::setPermissions(path("data"), QFile::ReadOwner | QFile::ExeOwner);
        auto restore = qScopeGuard([&] {
            QFile::setPermissions(path("data"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        {
            QFile probe(path("data/probe"));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QSKIP("this user writes into read-only folders (root)");
            }
        }

        UploadLogRecords records = vbUploadLog::load(log);
        QCOMPARE(records.size(), qsizetype(1));
        records.append(records.first());
        records.last().filePath = QStringLiteral("/photos/new.jpg");

        QVERIFY(!vbUploadLog::save(log, records));
        QVERIFY(!vbUploadLog::savePending(path("data/nextload.dat"), {log}));
        // What was in memory is all still there, the old file is whole and no
        // half-written file was left beside it.
        QCOMPARE(records.size(), qsizetype(2));
        QCOMPARE(records.last().filePath, QStringLiteral("/photos/new.jpg"));
        QCOMPARE(readAll(log), validLine(1) + "\r\n");
        QCOMPARE(QDir(path("data")).entryList(QDir::Files), QStringList{QStringLiteral("log.dat")});
    }

    void unwritablePlaceLosesNothing()
    {
        // A file where the folder should be stops every user, root included.
        QVERIFY(writeAll(path("notafolder"), "x"));
        UploadLogRecord record;
        record.succeeded = true;
        record.filePath = QStringLiteral("/photos/a.jpg");
        const UploadLogRecords records{record};
        QVERIFY(!vbUploadLog::save(path("notafolder/log.dat"), records));
        QVERIFY(!vbUploadLog::savePending(path("notafolder/nextload.dat"), {path("notafolder")}));
        QVERIFY(vbUploadLog::load(path("notafolder/log.dat")).isEmpty());
        QVERIFY(vbUploadLog::takePending(path("notafolder/nextload.dat")).isEmpty());
        QCOMPARE(readAll(path("notafolder")), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(tst_UploadLog)
#include "tst_uploadlog.moc"
