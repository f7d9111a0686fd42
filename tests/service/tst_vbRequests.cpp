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
    void addresses();
};

void tst_vbRequests::queryValuesArriveIntact_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("onTheWire");

    QTest::newRow("ampersand") << "a&b" << QByteArray("a%26b");
    QTest::newRow("plus") << "a+b" << QByteArray("a%2Bb");
    QTest::newRow("percent") << "100%" << QByteArray("100%25");
    QTest::newRow("space") << "my trip" << QByteArray("my%20trip");
    QTest::newRow("chinese") << QStringLiteral("家庭") << QByteArray("%E5%AE%B6%E5%BA%AD");
}

void tst_vbRequests::queryValuesArriveIntact()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, onTheWire);

    const QUrl url =
        vbRequests::serviceUrl(QStringLiteral("Http://127.0.0.2/client2/"), QStringLiteral("x.jsp"),
                               {{QStringLiteral("a"), value}, {QStringLiteral("b"), QStringLiteral("1")}});
    QVERIFY(url.isValid());
    // What the network layer sends: the request target exactly as built.
    QCOMPARE(url.toEncoded(), "http://127.0.0.2/client2/x.jsp?a=" + onTheWire + "&b=1");
    // What a server decoding the query reads back.
    const QUrlQuery query(url);
    QCOMPARE(query.allQueryItemValues(QStringLiteral("a"), QUrl::FullyDecoded), QStringList{value});
}

void tst_vbRequests::addresses()
{
    vbEndpoints e;
    vbEndpoints::setCurrent(e);
    QCOMPARE(vbRequests::signInUrl(QStringLiteral("http"), e.wangtong(), QStringLiteral("a&b"),
                                   QStringLiteral("p#w"))
                 .toEncoded(),
             QByteArray("http://127.0.0.2/client2/signin.jsp?username=a%26b&password=p%23w"));
    QCOMPARE(vbRequests::homePageUrl().toEncoded(), QByteArray("http://127.0.0.1"));

    // Another port follows every host; the base address keeps its scheme as written.
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
    const QStringList pages{vbRequests::registerPageUrl().toString(),
                            vbRequests::passwordPageUrl().toString(), vbRequests::helpPageUrl().toString()};
    QCOMPARE(pages, (QStringList{"http://127.0.0.1:40123/userForm2.faces",
                                 "http://127.0.0.1:40123/getPassword.faces",
                                 "http://127.0.0.1:40123/static/helpcenter/help.faces"}));
}

QTEST_APPLESS_MAIN(tst_vbRequests)
#include "tst_vbRequests.moc"
