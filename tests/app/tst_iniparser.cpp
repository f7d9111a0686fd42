#include "vbIniParser.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

class tst_IniParser : public QObject
{
    Q_OBJECT

private:
    QString writeFile(const QByteArray& content)
    {
        const QString path = m_dir.filePath(QStringLiteral("system-%1.ini").arg(++m_counter));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write test file");
        f.write(content);
        return path;
    }
    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    int m_counter = 0;

private slots:
    void missingFileGivesDefaults()
    {
        vbIniParser ini(m_dir.filePath(QStringLiteral("absent.ini")));
        QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("username")), QString());
        QVERIFY(ini.getBool(QStringLiteral("user.info"), QStringLiteral("autologin"), true));
        QCOMPARE(ini.getDouble(QStringLiteral("version"), QStringLiteral("ver"), 1.0), 1.0);
        QCOMPARE(ini.getString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("def")),
                 QStringLiteral("def"));
        QVERIFY(!QFile::exists(ini.path()));
    }

    void nullOrMultiLineNamesAndValues()
    {
        vbIniParser ini(writeFile("[s]\r\nk=v\r\n"));
        QCOMPARE(ini.getString(QString(), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.getString(QStringLiteral("s"), QString()), QString(QLatin1String("")));
        QVERIFY(!ini.setString(QString(), QStringLiteral("k"), QStringLiteral("x")));
        QVERIFY(!ini.setString(QStringLiteral("s"), QString(), QStringLiteral("x")));
        // A line break would end the value and start a line of its own (another key).
        QVERIFY(!ini.setString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("x\r\n[user.info]")));
        QVERIFY(!ini.setString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("x\npassword=y")));
        QVERIFY(!ini.setString(QStringLiteral("s\n"), QStringLiteral("k"), QStringLiteral("x")));
        QVERIFY(!ini.setString(QStringLiteral("s"), QStringLiteral("k\r"), QStringLiteral("x")));
        QCOMPARE(readFile(ini.path()), QByteArray("[s]\r\nk=v\r\n"));
        QVERIFY(ini.setString(QStringLiteral("s"), QStringLiteral("k"), QString()));
        QCOMPARE(readFile(ini.path()), QByteArray("[s]\r\nk=\r\n"));
    }

    void getBool_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty keeps default true") << QByteArray("") << true << true;
        QTest::newRow("1") << QByteArray("1") << false << true;
        QTest::newRow("0 beats default") << QByteArray("0") << true << false;
        QTest::newRow("yes") << QByteArray("yes") << false << true;
        QTest::newRow("no") << QByteArray("no") << true << false;
        QTest::newRow("on is false") << QByteArray("on") << true << false;
    }
    void getBool()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, def);
        QFETCH(bool, expected);
        vbIniParser ini(writeFile("[user.info]\r\nautologin=" + stored + "\r\n"));
        QCOMPARE(ini.getBool(QStringLiteral("user.info"), QStringLiteral("autologin"), def), expected);
    }

    void getDouble_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<double>("expected");
        QTest::newRow("1.5") << QByteArray("1.5") << 1.5;
        QTest::newRow("leading number") << QByteArray("1.25beta") << 1.25;
        QTest::newRow("no number") << QByteArray("abc") << 0.0;
    }
    void getDouble()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, expected);
        vbIniParser ini(writeFile("[version]\r\nver=" + stored + "\r\n"));
        QCOMPARE(ini.getDouble(QStringLiteral("version"), QStringLiteral("ver"), 1.0), expected);
    }

    void setInt_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("255 hex") << qint64(255) << 16 << QStringLiteral("FF");
        QTest::newRow("-1 decimal") << qint64(-1) << 10 << QStringLiteral("-1");
        QTest::newRow("other base is decimal") << qint64(-42) << 7 << QStringLiteral("-42");
        QTest::newRow("-1 binary is 64 ones") << qint64(-1) << 2 << QString(64, QLatin1Char('1'));
    }
    void setInt()
    {
        QFETCH(qint64, value);
        QFETCH(int, base);
        QFETCH(QString, expected);
        vbIniParser ini(m_dir.filePath(QStringLiteral("int-%1.ini").arg(++m_counter)));
        QVERIFY(ini.setInt(QStringLiteral("n"), QStringLiteral("v"), value, base));
        QCOMPARE(ini.getString(QStringLiteral("n"), QStringLiteral("v")), expected);
    }

    // A destination buffer cuts the value to size - 1; without one the whole length is told.
    void bufferCuts()
    {
        vbIniParser ini(m_dir.filePath(QStringLiteral("cuts.ini")));
        QVERIFY(ini.setString(QStringLiteral("user.info"), QStringLiteral("username"), QString(150, 'n')));
        QString name;
        QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("username"), &name, 100), 100);
        QCOMPARE(name, QString(99, 'n'));
        QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("username"), nullptr, 100), 150);
    }

    void namesIgnoreCase()
    {
        vbIniParser ini(writeFile("[User.Info]\r\nUserName=alice@example.com\r\n"));
        QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("username")),
                 QStringLiteral("alice@example.com"));
        QVERIFY(
            ini.setString(QStringLiteral("USER.INFO"), QStringLiteral("USERNAME"), QStringLiteral("bob")));
        QCOMPARE(readFile(ini.path()), QByteArray("[User.Info]\r\nUSERNAME=bob\r\n"));
    }

    void valuesKeptExactly()
    {
        vbIniParser ini(m_dir.filePath(QStringLiteral("pw.ini")));
        for (const QString& value :
             {QStringLiteral("a b=c;d"), QStringLiteral("相册/照片"), QString(70000, 'y')}) {
            QVERIFY(ini.setString(QStringLiteral("user.info"), QStringLiteral("password"), value));
            QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("password")), value);
        }
    }

    // Writing one value must leave every other byte of the file as it was.
    void otherLinesPreserved_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace keeps comments and LF ends")
            << QByteArray("; settings\n[a]\nx=1\n\n[b]\ny=2\n") << "a"
            << "x" << QByteArray("; settings\n[a]\nx=9\n\n[b]\ny=2\n");
        QTest::newRow("new key after last line of its section")
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n") << "a"
            << "z" << QByteArray("[a]\r\nx=1\r\nz=9\r\n\r\n[b]\r\ny=2\r\n");
        QTest::newRow("no trailing newline, new section")
            << QByteArray("[a]\r\nx=1") << "b"
            << "k" << QByteArray("[a]\r\nx=1\r\n[b]\r\nk=9\r\n");
        QTest::newRow("duplicate sections: first one wins")
            << QByteArray("[a]\r\nx=1\r\n[a]\r\nx=2\r\n") << "a"
            << "x" << QByteArray("[a]\r\nx=9\r\n[a]\r\nx=2\r\n");
        QTest::newRow("keys before any section are not in a section")
            << QByteArray("x=0\r\n[a]\r\ny=1\r\n") << "a"
            << "x" << QByteArray("x=0\r\n[a]\r\ny=1\r\nx=9\r\n");
        QTest::newRow("binary junk kept")
            << QByteArray("\x01\x02\xff\xfe junk\r\n[a]\r\nx=1\r\n\x80\x81\r\n", 25) << "a"
            << "x" << QByteArray("\x01\x02\xff\xfe junk\r\n[a]\r\nx=9\r\n\x80\x81\r\n", 25);
    }
    void otherLinesPreserved()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        vbIniParser ini(writeFile(before));
        QVERIFY(ini.setString(section, key, QStringLiteral("9")));
        QCOMPARE(readFile(ini.path()), after);
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
        vbIniParser ini(before.isEmpty() ? m_dir.filePath(QStringLiteral("none.ini")) : writeFile(before));
        QVERIFY(ini.removeKey(QStringLiteral("a"), QStringLiteral("k")));
        QCOMPARE(readFile(ini.path()), after);
        QCOMPARE(QFile::exists(ini.path()), !before.isEmpty());
        QCOMPARE(ini.getString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("gone")),
                 QStringLiteral("gone"));
    }

    void malformedReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
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
        vbIniParser ini(writeFile(content));
        QCOMPARE(ini.getString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("def")), expected);
    }

    void fullDiskKeepsOldFile()
    {
#ifdef Q_OS_UNIX
        // A file size limit fails writes the way a full disk does, for root too.
        const QByteArray old = "[version]\r\nversion=1.0\r\n";
        vbIniParser ini(writeFile(old));
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit saved;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written =
            ini.setString(QStringLiteral("user.info"), QStringLiteral("name"), QString(200, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(readFile(ini.path()), old);
#else
        QSKIP("needs a file size limit");
#endif
    }
};

QTEST_GUILESS_MAIN(tst_IniParser)
#include "tst_iniparser.moc"
