#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbServiceCall.h"

#include <QtTest>

using namespace vbReply;

Q_DECLARE_METATYPE(std::optional<int>)

namespace {
const QString M = QStringLiteral("</\\/>");
const QString B = QStringLiteral("[/begin/]");
const QString E = QStringLiteral("[/end/]");
const QString BR = QStringLiteral("<br/>");
const QString F = QStringLiteral("/\\/");
} // namespace

class tst_vbReply : public QObject
{
    Q_OBJECT
private slots:
    void valueAnswer_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<std::optional<int>>("expected");

        const std::optional<int> none;
        QTest::newRow("plain") << M + "1001" + M << std::optional<int>(1001);
        // A third marker leaves it open which value is meant: no value at all.
        QTest::newRow("three markers") << M + "1" + M + "2" + M << none;
        QTest::newRow("too large for int: 0, never wrapped") << M + "5000000001" + M << std::optional<int>(0);
    }
    void valueAnswer()
    {
        QFETCH(QString, body);
        QFETCH(std::optional<int>, expected);
        QCOMPARE(value32(body), expected);
    }
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("userOrAlbumId"); // -1: none
        QTest::addColumn<qint64>("count");

        QTest::newRow("line breaks around") << "\r\n1001 " << 1001LL << 1001LL;
        QTest::newRow("zero: a count, no id") << "0" << -1LL << 0LL;
        QTest::newRow("largest int") << "2147483647" << 2147483647LL << 2147483647LL;
        QTest::newRow("above 32 bits") << "5000000001" << -1LL << -1LL;
        QTest::newRow("negative") << "-1" << -1LL << -1LL;
        QTest::newRow("empty") << "" << -1LL << -1LL;
        QTest::newRow("replacement character") << QStringLiteral("1\uFFFD") << -1LL << -1LL;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, userOrAlbumId);
        QFETCH(qint64, count);

        QCOMPARE(idFromText(text, kMaxId32).value_or(-1), userOrAlbumId);
        QCOMPARE(qint64(countFromText(text).value_or(-1)), count);
    }
    // Sign-in and album creation answers: an id, a refusal (0), or unreadable.
    void idAnswers_data()
    {
        QTest::addColumn<bool>("signIn"); // else album creation
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("outcome"); // unreadable, refused, accepted or created
        QTest::addColumn<int>("id");

        QTest::newRow("sign-in: user id") << true << M + "1001" + M << int(SignInAnswer::Accepted) << 1001;
        QTest::newRow("sign-in: zero is a wrong account")
            << true << M + "0" + M << int(SignInAnswer::Refused) << 0;
        QTest::newRow("sign-in: letters") << true << M + "abc" + M << 0 << 0;
        QTest::newRow("sign-in: no value") << true << "<html>busy</html>" << 0 << 0;
        QTest::newRow("sign-in: negative") << true << M + "-1" + M << 0 << 0;
        QTest::newRow("album: created") << false << M + "57" + M << int(NewAlbumAnswer::Created) << 57;
        QTest::newRow("album: zero") << false << M + "0" + M << int(NewAlbumAnswer::Refused) << 0;
        QTest::newRow("album: text around") << false << "id " + M + "57" + M << 0 << 0;
        QTest::newRow("album: negative") << false << M + "-57" + M << 0 << 0;
        QTest::newRow("album: above int") << false << M + "2147483648" + M << 0 << 0;
        QTest::newRow("album: no marker") << false << "57" << 0 << 0;
    }
    void idAnswers()
    {
        QFETCH(bool, signIn);
        QFETCH(QString, body);
        QFETCH(int, outcome);
        QFETCH(int, id);

        if (signIn) {
            const SignInAnswer answer = signInAnswer(decodeBody(body.toLatin1()));
            QCOMPARE(int(answer.outcome), outcome);
            QCOMPARE(answer.userId, id);
        } else {
            const NewAlbumAnswer answer = newAlbumAnswer(body);
            QCOMPARE(int(answer.outcome), outcome);
            QCOMPARE(answer.albumId, id);
        }
    }
    void albumList_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("albums"); // "name/id/count" each, or "unreadable"

        const QString family = "12" + F + "Family" + F + "2009-01-01" + F + "35";
        QTest::newRow("two albums") << B + family + BR + "13" + F + QStringLiteral("家 庭") + F + F + "0" +
                                           BR + E
                                    << QStringLiteral("Family/12/35 家 庭/13/0");
        QTest::newRow("not a list answer") << family << "unreadable";
        QTest::newRow("empty name") << B + "13" + F + F + F + "0" + E << "unreadable";
        QTest::newRow("negative id") << B + "-13" + F + "Trip" + F + F + "0" + E << "unreadable";
        QTest::newRow("id above int") << B + "4294967309" + F + "Trip" + F + F + "0" + E << "unreadable";
        QTest::newRow("count not a number") << B + "13" + F + "Trip" + F + F + "many" + E << "unreadable";
    }
    void albumList()
    {
        QFETCH(QString, body);
        QFETCH(QString, albums);

        const std::optional<AlbumList> got = vbReply::albumList(body);
        QStringList text;
        for (const AlbumRecord& album : got.value_or(AlbumList()))
            text << QStringLiteral("%1/%2/%3").arg(album.name).arg(album.id).arg(album.photoCount);
        QCOMPARE(got ? text.join(' ') : QStringLiteral("unreadable"), albums);
    }
    void judgeReply_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("timedOut");
        QTest::addColumn<qint64>("declared");
        QTest::addColumn<qint64>("received");
        QTest::addColumn<int>("outcome");

        const int none = QNetworkReply::NoError;
        const int answered = vbServiceCall::Answered;
        const int unreachable = vbServiceCall::Unreachable;
        const int unreadable = vbServiceCall::Unreadable;
        QTest::newRow("complete") << none << 200 << false << qint64(12) << qint64(12) << answered;
        QTest::newRow("cut short") << none << 200 << false << qint64(12) << qint64(6) << unreadable;
        QTest::newRow("endless answer") << int(QNetworkReply::OperationCanceledError) << 200 << true
                                        << qint64(-1) << qint64(400) << unreadable;
        QTest::newRow("connection refused") << int(QNetworkReply::ConnectionRefusedError) << 0 << false
                                            << qint64(-1) << qint64(0) << unreachable;
        QTest::newRow("silent until the deadline") << int(QNetworkReply::OperationCanceledError) << 0 << true
                                                   << qint64(-1) << qint64(0) << unreachable;
    }
    void judgeReply()
    {
        QFETCH(int, error);
        QFETCH(int, status);
        QFETCH(bool, timedOut);
        QFETCH(qint64, declared);
        QFETCH(qint64, received);
        QFETCH(int, outcome);

        QCOMPARE(int(vbServiceCall::judge(QNetworkReply::NetworkError(error), status, timedOut, declared,
                                          received)),
                 outcome);
    }

    // The addresses asked: values encoded, the service port after every host.
    void addresses()
    {
        vbEndpoints e;
        e.setHttpPort(40123);
        QCOMPARE(vbRequests::signInUrl(e, QStringLiteral("http"), e.wangtong(), QStringLiteral("a&b"),
                                       QStringLiteral("p#w"))
                     .toEncoded(),
                 QByteArray("http://127.0.0.2:40123/client2/signin.jsp?username=a%26b&password=p%23w"));
        const QString base = vbRequests::baseAddress(e, QStringLiteral("Http"), e.dianxin());
        QCOMPARE(vbRequests::albumListUrl(base, 1001).toEncoded(),
                 QByteArray("http://127.0.0.3:40123/client2/getalbumlist.jsp?userid=1001"));
        QCOMPARE(vbRequests::helpPageUrl(e).toString(),
                 QStringLiteral("http://127.0.0.1:40123/static/helpcenter/help.faces"));
    }
};

QTEST_APPLESS_MAIN(tst_vbReply)
#include "tst_vbReply.moc"
