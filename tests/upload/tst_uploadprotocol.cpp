// The reply rules and addresses of the per-photo exchange, without a network.
#include "vbEndpoints.h"
#include "vbUploadProtocol.h"

#include <QTest>
#include <QUrlQuery>

using namespace vbUploadProtocol;

namespace {
const QByteArray kMarker("</\\/>");
const QByteArray kKey64 = QByteArray("0123456789abcdef").repeated(4);
const QByteArray kSession38 = QByteArray("ABCDEF0123456789ABCDEF0123456789.vbrk1");
} // namespace

class tst_uploadprotocol : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void photoIdReply_data();
    void photoIdReply();
    void uploadKeyReply_data();
    void uploadKeyReply();
    void commitAnswer_data();
    void commitAnswer();
    void uploadAnswerJudgedWhole_data();
    void uploadAnswerJudgedWhole();

    void commitAddressKeepsOrderAndEncodesValues();
    void requestAddressesFollowThePort_data();
    void requestAddressesFollowThePort();
};

void tst_uploadprotocol::init()
{
    vbEndpoints::setCurrent(vbEndpoints());
}

void tst_uploadprotocol::photoIdReply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint64>("id"); // 0: no id

    QTest::newRow("plain") << kMarker + "4711" + kMarker << qint64(4711);
    QTest::newRow("above 32 bits") << kMarker + "5000000001" + kMarker << qint64(5000000001LL);
    QTest::newRow("text around the markers")
        << "<html>id:" + kMarker + "42" + kMarker + "</html>" << qint64(42);
    QTest::newRow("line break around the number") << kMarker + "\r\n77\r\n" + kMarker << qint64(77);
    QTest::newRow("three markers: first to last") << kMarker + "1" + kMarker + "2" + kMarker << qint64(0);
    QTest::newRow("zero") << kMarker + "0" + kMarker << qint64(0);
    QTest::newRow("negative") << kMarker + "-5" + kMarker << qint64(0);
    QTest::newRow("not a number") << kMarker + "abc" + kMarker << qint64(0);
    QTest::newRow("plus sign") << kMarker + "+4711" + kMarker << qint64(0);
    QTest::newRow("19 digits") << kMarker + "1000000000000000000" + kMarker << qint64(0);
    QTest::newRow("one marker") << kMarker + "4711" << qint64(0);
    QTest::newRow("nothing between") << kMarker + kMarker << qint64(0);
    QTest::newRow("no marker") << QByteArray("<html>no value</html>") << qint64(0);
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("NUL ends the text") << kMarker + "12" + QByteArray(1, '\0') + "3" + kMarker << qint64(0);
}

void tst_uploadprotocol::photoIdReply()
{
    QFETCH(QByteArray, body);
    QFETCH(qint64, id);
    const std::optional<qint64> got = photoIdFromReply(body);
    QCOMPARE(got.value_or(0), id);
}

void tst_uploadprotocol::uploadKeyReply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("tail");

    const QByteArray separator("/\\/");
    QTest::newRow("service form") << kMarker + kKey64 + separator + kSession38 + kMarker << true
                                  << QString::fromLatin1(kKey64) << QString::fromLatin1(kSession38);
    QTest::newRow("text around") << "x" + kMarker + kKey64 + "---tail" + kMarker + "y" << true
                                 << QString::fromLatin1(kKey64) << QStringLiteral("tail");
    QTest::newRow("one-character tail")
        << kMarker + kKey64 + "///t" + kMarker << true << QString::fromLatin1(kKey64) << QStringLiteral("t");
    // The last marker exactly 64 characters after the first leaves a 59-character payload.
    QTest::newRow("last marker 64 after the first")
        << kMarker + kKey64.left(59) + kMarker << false << QString() << QString();
    QTest::newRow("key without tail")
        << kMarker + kKey64 + separator + kMarker << false << QString() << QString();
    QTest::newRow("key only") << kMarker + kKey64 + kMarker << false << QString() << QString();
    QTest::newRow("no marker") << kKey64 + separator + kSession38 << false << QString() << QString();
    QTest::newRow("refused") << kMarker + "0" + kMarker << false << QString() << QString();
    // Both halves go into the form and the Cookie header as they are.
    QTest::newRow("line break in the session id")
        << kMarker + kKey64 + separator + "ab\r\nX-Evil: 1" + kMarker << false << QString() << QString();
    QTest::newRow("semicolon in the session id")
        << kMarker + kKey64 + separator + "ab;path=/" + kMarker << false << QString() << QString();
    QTest::newRow("blank in the key") << kMarker + kKey64.left(63) + " " + separator + kSession38 + kMarker
                                      << false << QString() << QString();
}

void tst_uploadprotocol::uploadKeyReply()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, head);
    QFETCH(QString, tail);
    const std::optional<UploadKey> key = uploadKeyFromReply(body);
    QCOMPARE(key.has_value(), ok);
    if (key) {
        QCOMPARE(key->head, head);
        QCOMPARE(key->tail, tail);
    }
}

void tst_uploadprotocol::commitAnswer_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint64>("photoId");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("same id") << kMarker + "5000000001" + kMarker << qint64(5000000001LL) << true;
    QTest::newRow("another photo's id") << kMarker + "5000000002" + kMarker << qint64(5000000001LL) << false;
    QTest::newRow("low 32 bits only") << kMarker + "705032705" + kMarker << qint64(5000000001LL) << false;
    QTest::newRow("zero answer") << kMarker + "0" + kMarker << qint64(0) << false;
    QTest::newRow("negative answer for a negative id") << kMarker + "-5" + kMarker << qint64(-5) << false;
    QTest::newRow("no marker") << QByteArray("5000000001") << qint64(5000000001LL) << false;
}

void tst_uploadprotocol::commitAnswer()
{
    QFETCH(QByteArray, body);
    QFETCH(qint64, photoId);
    QFETCH(bool, accepted);
    QCOMPARE(commitAccepted(body, photoId), accepted);
}

void tst_uploadprotocol::uploadAnswerJudgedWhole_data()
{
    QTest::addColumn<QByteArrayList>("pieces"); // as they arrive
    QTest::addColumn<bool>("closed");           // the service closes after the last piece
    QTest::addColumn<int>("decidedAt");         // the piece that settles it; -1: only the close does
    QTest::addColumn<int>("state");

    const QByteArray ack = kMarker + "1" + kMarker;
    const QByteArray sized = "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n";
    const QByteArray open = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    const QByteArray chunked = "HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n";
    const int ok = int(AnswerState::Acknowledged);
    const int refused = int(AnswerState::Refused);

    QTest::newRow("whole at once") << QByteArrayList{sized + ack} << false << 0 << ok;
    QTest::newRow("headers, then the body") << QByteArrayList{sized, ack} << false << 1 << ok;
    QTest::newRow("marker across pieces")
        << QByteArrayList{open + "<p>" + kMarker, "1</", "\\/></p>"} << false << 2 << ok;
    QTest::newRow("chunked, marker cut by the framing")
        << QByteArrayList{chunked, "5\r\n" + kMarker + "\r\n", "6\r\n1" + kMarker + "\r\n", "0\r\n\r\n"}
        << false << 2 << ok;
    QTest::newRow("chunked refusal ends at the last chunk")
        << QByteArrayList{chunked + "4\r\nnope\r\n", "0\r\n\r\n"} << false << 1 << refused;
    QTest::newRow("length satisfied without marker")
        << QByteArrayList{"HTTP/1.1 400 Bad\r\ncontent-length: 14\r\n\r\nerror: ", "refused"} << false << 1
        << refused;
    QTest::newRow("zero is no acknowledgement")
        << QByteArrayList{sized + kMarker + "0" + kMarker} << false << 0 << refused;
    QTest::newRow("no length: refusal waits for the close")
        << QByteArrayList{open, "error: refused"} << true << -1 << refused;
    QTest::newRow("closed before the length was reached")
        << QByteArrayList{sized, kMarker + "1"} << true << -1 << refused;
    QTest::newRow("closed without a byte") << QByteArrayList{} << true << -1 << refused;
    QTest::newRow("no more than 64 KB")
        << QByteArrayList{open, QByteArray(kMaxAnswerBytes, ' '), ack} << false << 1 << refused;
}

void tst_uploadprotocol::uploadAnswerJudgedWhole()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(bool, closed);
    QFETCH(int, decidedAt);
    QFETCH(int, state);

    QByteArray received;
    int decided = -1;
    AnswerState judged = AnswerState::Incomplete;
    for (int i = 0; i < pieces.size() && decided < 0; ++i) {
        received += pieces.at(i);
        judged = judgeUploadAnswer(received, false);
        if (judged != AnswerState::Incomplete)
            decided = i;
    }
    QCOMPARE(decided, decidedAt);
    if (decided < 0 && closed)
        judged = judgeUploadAnswer(received, true);
    QCOMPARE(int(judged), state);
}

void tst_uploadprotocol::commitAddressKeepsOrderAndEncodesValues()
{
    CommitValues v;
    v.baseAddress = QStringLiteral("Http://127.0.0.2/client2/");
    v.userId = 1001;
    v.albumId = QStringLiteral("12");
    v.photoId = 5000000001LL;
    v.photoName = QStringLiteral(u"my trip & 旅行 #1+2=3%");
    v.width = 3000;
    v.height = 2000;
    v.fileSize = 3000000000LL; // above 2 GiB: no wrap to a negative size
    v.make = QStringLiteral("Canon");
    v.model = QStringLiteral("EOS 5D");
    v.time1 = QStringLiteral("2008:07:01 10:20:30");
    v.time2 = QStringLiteral("1/125");
    v.aperture = QStringLiteral("28/10");
    v.focal = QStringLiteral("63");

    const QUrl url = commitUrl(v);
    QVERIFY(url.isValid());
    QCOMPARE(url.path(), QStringLiteral("/client2/newPhoto_1.jsp"));
    const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    QStringList keys;
    for (const QByteArray& pair : query.split('&'))
        keys << QString::fromLatin1(pair.left(pair.indexOf('=')));
    QCOMPARE(keys, QStringList({"userid", "albumid", "photoid", "photoname", "photowidth", "photoheight",
                                "photosize", "make", "model", "time1", "time2", "shareid", "orderid",
                                "aperture", "focal"}));
    // Every value decodes back to exactly what was given.
    const QUrlQuery decoded(url);
    QCOMPARE(decoded.queryItemValue("photoname", QUrl::FullyDecoded), v.photoName);
    QCOMPARE(decoded.queryItemValue("photoid"), QStringLiteral("5000000001"));
    QCOMPARE(decoded.queryItemValue("photosize"), QStringLiteral("3000000000"));
    QCOMPARE(decoded.queryItemValue("time1", QUrl::FullyDecoded), v.time1);
    QCOMPARE(decoded.queryItemValue("time2", QUrl::FullyDecoded), v.time2);
    QCOMPARE(decoded.queryItemValue("shareid"), QStringLiteral("0"));
    QCOMPARE(decoded.queryItemValue("orderid"), QStringLiteral("0"));
    QVERIFY(!query.contains(' '));
    QVERIFY(!query.contains('#'));
    QCOMPARE(query.count('&'), 14); // the name's "&" is encoded, not a separator
}

void tst_uploadprotocol::requestAddressesFollowThePort_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("keyAddress");
    QTest::newRow("classic port") << 80 << QStringLiteral("http://127.0.0.2/clientUploadGetKey.jsp");
    QTest::newRow("other port") << 8123 << QStringLiteral("http://127.0.0.2:8123/clientUploadGetKey.jsp");
}

void tst_uploadprotocol::requestAddressesFollowThePort()
{
    QFETCH(int, port);
    QFETCH(QString, keyAddress);
    vbEndpoints endpoints;
    endpoints.setHttpPort(port);
    vbEndpoints::setCurrent(endpoints);
    QCOMPARE(uploadKeyUrl(QStringLiteral("127.0.0.2")).toString(), keyAddress);
    QCOMPARE(photoIdUrl(QStringLiteral("http://127.0.0.1:8123/client2/")).toString(),
             QStringLiteral("http://127.0.0.1:8123/client2/getphotoid.jsp"));
}

QTEST_GUILESS_MAIN(tst_uploadprotocol)
#include "tst_uploadprotocol.moc"
