#include "vbEndpoints.h"
#include "vbRequests.h"

#include <QUrlQuery>
#include <QtTest>

class tst_vbRequests : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { vbEndpoints::setCurrent(vbEndpoints()); }
    void queryValuesArriveIntact_data();
    void queryValuesArriveIntact();
    void signIn_data();
    void signIn();
    void albumRequests();
    void webPages_data();
    void webPages();
};

void tst_vbRequests::queryValuesArriveIntact_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("onTheWire");

    QTest::newRow("plain") << "demo" << QByteArray("demo");
    QTest::newRow("ampersand") << "a&b" << QByteArray("a%26b");
    QTest::newRow("hash") << "a#b" << QByteArray("a%23b");
    QTest::newRow("plus") << "a+b" << QByteArray("a%2Bb");
    QTest::newRow("equals") << "a=b" << QByteArray("a%3Db");
    QTest::newRow("percent") << "100%" << QByteArray("100%25");
    QTest::newRow("encoded-looking text") << "%2B" << QByteArray("%252B");
    QTest::newRow("space") << "my trip" << QByteArray("my%20trip");
    QTest::newRow("at sign") << "demo@velbrook.test" << QByteArray("demo%40velbrook.test");
    QTest::newRow("chinese") << QStringLiteral("家庭") << QByteArray("%E5%AE%B6%E5%BA%AD");
    QTest::newRow("empty") << "" << QByteArray("");
    QTest::newRow("question mark") << "why?" << QByteArray("why%3F");
}

void tst_vbRequests::queryValuesArriveIntact()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, onTheWire);

    const QUrl url =
        vbRequests::serviceUrl(QStringLiteral("http://127.0.0.2/client2/"), QStringLiteral("x.jsp"),
                               {{QStringLiteral("a"), value}, {QStringLiteral("b"), QStringLiteral("1")}});
    QVERIFY(url.isValid());
    // What the network layer sends: the request target exactly as built.
    QCOMPARE(url.toEncoded(), "http://127.0.0.2/client2/x.jsp?a=" + onTheWire + "&b=1");
    // What a server decoding the query reads back.
    const QUrlQuery query(url);
    QCOMPARE(query.allQueryItemValues(QStringLiteral("a"), QUrl::FullyDecoded), QStringList{value});
    QCOMPARE(query.queryItemValue(QStringLiteral("b")), QStringLiteral("1"));
}

void tst_vbRequests::signIn_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("automatic, port 80")
        << "http" << 80 << QByteArray("http://127.0.0.2/client2/signin.jsp?username=a%26b&password=p%23w");
    QTest::newRow("dialog, port 80")
        << "Http" << 80 << QByteArray("http://127.0.0.2/client2/signin.jsp?username=a%26b&password=p%23w");
    QTest::newRow("other port")
        << "http" << 8080
        << QByteArray("http://127.0.0.2:8080/client2/signin.jsp?username=a%26b&password=p%23w");
}

void tst_vbRequests::signIn()
{
    QFETCH(QString, scheme);
    QFETCH(int, port);
    QFETCH(QByteArray, expected);

    vbEndpoints e;
    e.setHttpPort(port);
    vbEndpoints::setCurrent(e);
    QCOMPARE(
        vbRequests::signInUrl(scheme, e.wangtong(), QStringLiteral("a&b"), QStringLiteral("p#w")).toEncoded(),
        expected);
    // The base address keeps the scheme as written; only the parsed URL lowercases it.
    QVERIFY(vbRequests::baseAddress(scheme, e.dianxin()).startsWith(scheme + QStringLiteral("://127.0.0.3")));
}

void tst_vbRequests::albumRequests()
{
    vbEndpoints e;
    e.setHttpPort(40123);
    vbEndpoints::setCurrent(e);
    const QString base = vbRequests::baseAddress(QStringLiteral("Http"), e.dianxin());
    QCOMPARE(base, QStringLiteral("Http://127.0.0.3:40123/client2/"));

    QCOMPARE(vbRequests::albumListUrl(base, 1001).toEncoded(),
             QByteArray("http://127.0.0.3:40123/client2/getalbumlist.jsp?userid=1001"));
    QCOMPARE(vbRequests::newAlbumUrl(base, QStringLiteral("Tom & Jerry #1"), QDate(2009, 3, 7),
                                     QStringLiteral("x=1+1 100%"), 1001)
                 .toEncoded(),
             QByteArray("http://127.0.0.3:40123/client2/newalbum_1.jsp?albumname=Tom%20%26%20Jerry%20%231"
                        "&albumdate=2009-03-07&description=x%3D1%2B1%20100%25&userid=1001&print=0"));
}

void tst_vbRequests::webPages_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("port 80") << 80
                             << QStringList{"http://127.0.0.1", "http://127.0.0.1/userForm2.faces",
                                            "http://127.0.0.1/getPassword.faces",
                                            "http://127.0.0.1/static/helpcenter/help.faces"};
    QTest::newRow("port 8080") << 8080
                               << QStringList{"http://127.0.0.1:8080",
                                              "http://127.0.0.1:8080/userForm2.faces",
                                              "http://127.0.0.1:8080/getPassword.faces",
                                              "http://127.0.0.1:8080/static/helpcenter/help.faces"};
}

void tst_vbRequests::webPages()
{
    QFETCH(int, port);
    QFETCH(QStringList, expected);

    vbEndpoints e;
    e.setHttpPort(port);
    vbEndpoints::setCurrent(e);
    const QStringList got{vbRequests::homePageUrl().toString(), vbRequests::registerPageUrl().toString(),
                          vbRequests::passwordPageUrl().toString(), vbRequests::helpPageUrl().toString()};
    QCOMPARE(got, expected);
}

QTEST_APPLESS_MAIN(tst_vbRequests)
#include "tst_vbRequests.moc"
