// The reply rules and addresses of the per-photo exchange, without a network.
#include "vbUploadProtocol.h"

#include <QTest>
#include <QUrlQuery>

using namespace vbUploadProtocol;

namespace {
const QByteArray kMarker("</\\/>");
const QByteArray kKey64 = QByteArray("0123456789abcdef").repeated(4);
const QByteArray kSession38 = QByteArray("ABCDEF0123456789ABCDEF0123456789.vbrk1");
QByteArray marked(const QByteArray& value)
{
    return kMarker + value + kMarker;
}
} // namespace

class tst_uploadprotocol : public QObject
{
    Q_OBJECT

private slots:
    void photoIdReply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint64>("id"); // 0: no id

        QTest::newRow("above 32 bits") << marked("5000000001") << qint64(5000000001LL);
        QTest::newRow("text and line breaks around") << "<p>" + marked("\r\n42\r\n") + "</p>" << qint64(42);
        QTest::newRow("three markers: first to last") << marked("1" + kMarker + "2") << qint64(0);
        QTest::newRow("negative") << marked("-5") << qint64(0);
        QTest::newRow("plus sign") << marked("+4711") << qint64(0);
        QTest::newRow("19 digits") << marked("1000000000000000000") << qint64(0);
        QTest::newRow("one marker") << kMarker + "4711" << qint64(0);
        QTest::newRow("NUL ends the text") << marked("12" + QByteArray(1, '\0') + "3") << qint64(0);
    }

    void photoIdReply()
    {
        QFETCH(QByteArray, body);
        QFETCH(qint64, id);
        QCOMPARE(photoIdFromReply(body).value_or(0), id);
    }

    void uploadKeyReply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("tail"); // empty: refused

        QTest::newRow("service form")
            << "x" + marked(kKey64 + "/\\/" + kSession38) + "y" << QString::fromLatin1(kSession38);
        QTest::newRow("one-character tail") << marked(kKey64 + "///t") << QStringLiteral("t");
        // The last marker exactly 64 characters after the first leaves a 59-character payload.
        QTest::newRow("last marker 64 after the first") << marked(kKey64.left(59)) << QString();
        QTest::newRow("key without tail") << marked(kKey64 + "/\\/") << QString();
        QTest::newRow("no marker") << kKey64 + "/\\/" + kSession38 << QString();
        // Both halves go into the form and the Cookie header as they are.
        QTest::newRow("line break in the session id") << marked(kKey64 + "/\\/ab\r\nX-Evil: 1") << QString();
        QTest::newRow("blank in the key") << marked(kKey64.left(63) + " /\\/" + kSession38) << QString();
    }

    void uploadKeyReply()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, tail);
        const std::optional<UploadKey> key = uploadKeyFromReply(body);
        QCOMPARE(key.has_value(), !tail.isEmpty());
        if (key) {
            QCOMPARE(key->head, QString::fromLatin1(kKey64));
            QCOMPARE(key->tail, tail);
        }
    }

    void commitAnswer()
    {
        QVERIFY(commitAccepted(marked("5000000001"), 5000000001LL));
        QVERIFY(!commitAccepted(marked("5000000002"), 5000000001LL));
        QVERIFY(!commitAccepted(marked("705032705"), 5000000001LL)); // low 32 bits only
        QVERIFY(!commitAccepted(marked("0"), 0));
        QVERIFY(!commitAccepted("5000000001", 5000000001LL));
    }

    void uploadAnswerJudgedWhole_data()
    {
        QTest::addColumn<QByteArrayList>("pieces"); // as they arrive
        QTest::addColumn<bool>("closed");           // the service closes after the last piece
        QTest::addColumn<int>("decidedAt");         // the piece that settles it; -1: only the close does
        QTest::addColumn<int>("state");

        const QByteArray ack = marked("1");
        const QByteArray sized = "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n";
        const QByteArray open = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
        const QByteArray chunked = "HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n";
        const int ok = int(AnswerState::Acknowledged);
        const int refused = int(AnswerState::Refused);

        QTest::newRow("headers, then the body") << QByteArrayList{sized, ack} << false << 1 << ok;
        QTest::newRow("marker across pieces")
            << QByteArrayList{open + "<p>" + kMarker, "1</", "\\/></p>"} << false << 2 << ok;
        QTest::newRow("chunked, marker cut by the framing")
            << QByteArrayList{chunked, "5\r\n" + kMarker + "\r\n", "6\r\n1" + kMarker + "\r\n", "0\r\n\r\n"}
            << false << 2 << ok;
        QTest::newRow("chunked refusal ends at the last chunk")
            << QByteArrayList{chunked + "4\r\nnope\r\n", "0\r\n\r\n"} << false << 1 << refused;
        QTest::newRow("length satisfied without marker")
            << QByteArrayList{"HTTP/1.1 400 Bad\r\ncontent-length: 14\r\n\r\nerror: ", "refused"} << false
            << 1 << refused;
        QTest::newRow("zero is no acknowledgement")
            << QByteArrayList{sized + marked("0")} << false << 0 << refused;
        QTest::newRow("11 is no acknowledgement")
            << QByteArrayList{open + marked("11")} << true << -1 << refused;
        QTest::newRow("no length: refusal waits for the close")
            << QByteArrayList{open, "error: refused"} << true << -1 << refused;
        QTest::newRow("closed before the length was reached")
            << QByteArrayList{sized, kMarker + "1"} << true << -1 << refused;
        QTest::newRow("closed without a byte") << QByteArrayList{} << true << -1 << refused;
        QTest::newRow("no more than 64 KB")
            << QByteArrayList{open, QByteArray(kMaxAnswerBytes, ' '), ack} << false << 1 << refused;
    }

    void uploadAnswerJudgedWhole()
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

    void commitAddressEncodesValues()
    {
        CommitValues v;
        v.baseAddress = QStringLiteral("Http://127.0.0.2/client2/");
        v.photoId = 5000000001LL;
        v.photoName = QStringLiteral(u"my trip & 旅行 #1+2=3%");
        v.fileSize = 3000000000LL; // above 2 GiB: no wrap to a negative size
        // What the service stores from it: tst_ftpupload and tst_e2e_upload.
        const QUrl url = commitUrl(v);
        const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
        const QUrlQuery decoded(url);
        QCOMPARE(decoded.queryItemValue("photoname", QUrl::FullyDecoded), v.photoName);
        QCOMPARE(decoded.queryItemValue("photoid"), QStringLiteral("5000000001"));
        QCOMPARE(decoded.queryItemValue("photosize"), QStringLiteral("3000000000"));
        QVERIFY(!query.contains(' ') && !query.contains('#'));
    }
};

QTEST_GUILESS_MAIN(tst_uploadprotocol)
#include "tst_uploadprotocol.moc"
