#include "vbEndpoints.h"
#include "vbRequests.h"

#include <QtTest>

class tst_vbRequests : public QObject
{
    Q_OBJECT
private slots:
    void addresses()
    {
        vbEndpoints e;
        QCOMPARE(vbRequests::signInUrl(e, QStringLiteral("http"), e.wangtong(), QStringLiteral("a&b"),
                                       QStringLiteral("p#w"))
                     .toEncoded(),
                 QByteArray("http://127.0.0.2/client2/signin.jsp?username=a%26b&password=p%23w"));
        QCOMPARE(vbRequests::homePageUrl(e).toEncoded(), QByteArray("http://127.0.0.1"));

        // Another port follows every host; the base address keeps its scheme as written.
        e.setHttpPort(40123);
        const QString base = vbRequests::baseAddress(e, QStringLiteral("Http"), e.dianxin());
        QCOMPARE(base, QStringLiteral("Http://127.0.0.3:40123/client2/"));
        QCOMPARE(vbRequests::albumListUrl(base, 1001).toEncoded(),
                 QByteArray("http://127.0.0.3:40123/client2/getalbumlist.jsp?userid=1001"));
        QCOMPARE(vbRequests::newAlbumUrl(base, QStringLiteral("Tom & Jerry #1"), QDate(2009, 3, 7),
                                         QStringLiteral("x=1+1 100%"), 1001)
                     .toEncoded(),
                 QByteArray("http://127.0.0.3:40123/client2/newalbum_1.jsp?albumname=Tom%20%26%20Jerry%20%231"
                            "&albumdate=2009-03-07&description=x%3D1%2B1%20100%25&userid=1001&print=0"));
        const QStringList pages{vbRequests::registerPageUrl(e).toString(),
                                vbRequests::passwordPageUrl(e).toString(),
                                vbRequests::helpPageUrl(e).toString()};
        QCOMPARE(pages, (QStringList{"http://127.0.0.1:40123/userForm2.faces",
                                     "http://127.0.0.1:40123/getPassword.faces",
                                     "http://127.0.0.1:40123/static/helpcenter/help.faces"}));
    }
};

QTEST_APPLESS_MAIN(tst_vbRequests)
#include "tst_vbRequests.moc"
