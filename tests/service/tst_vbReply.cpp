#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbServiceCall.h"

#include <QtTest>

using namespace vbReply;

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
    // A third marker leaves it open which value is meant: no value at all. Too large reads 0, never wrapped.
    void valueAnswer()
    {
        QCOMPARE(value32(M + "1001" + M), std::optional<int>(1001));
        QCOMPARE(value32(M + "1" + M + "2" + M), std::optional<int>());
        QCOMPARE(value32(M + "5000000001" + M), std::optional<int>(0));
    }
    void numbers()
    {
        // Text, as a user or album id (-1: none), as a count.
        const std::tuple<QString, qint64, qint64> cases[] = {{"\r\n1001 ", 1001, 1001},
                                                             {"0", -1, 0}, // a count, no id
                                                             {"2147483647", 2147483647, 2147483647},
                                                             {"5000000001", -1, -1},
                                                             {"-1", -1, -1},
                                                             {"", -1, -1},
                                                             {QStringLiteral("1\uFFFD"), -1, -1}};
        for (const auto& [text, userOrAlbumId, count] : cases) {
            QCOMPARE(idFromText(text, kMaxId32).value_or(-1), userOrAlbumId);
            QCOMPARE(qint64(countFromText(text).value_or(-1)), count);
        }
    }
    // Sign-in and album creation answers: an id, a refusal (0), or unreadable.
    void idAnswers()
    {
        const std::tuple<QString, SignInAnswer::Outcome, int> signIns[] = {
            {M + "1001" + M, SignInAnswer::Accepted, 1001},
            {M + "0" + M, SignInAnswer::Refused, 0}, // a wrong account
            {M + "abc" + M, SignInAnswer::Unreadable, 0},
            {"<html>busy</html>", SignInAnswer::Unreadable, 0},
            {M + "-1" + M, SignInAnswer::Unreadable, 0}};
        for (const auto& [body, outcome, id] : signIns) {
            const SignInAnswer answer = signInAnswer(decodeBody(body.toLatin1()));
            QVERIFY2(answer.outcome == outcome && answer.userId == id, qPrintable(body));
        }
        const std::tuple<QString, NewAlbumAnswer::Outcome, int> albums[] = {
            {M + "57" + M, NewAlbumAnswer::Created, 57},
            {M + "0" + M, NewAlbumAnswer::Refused, 0},
            {"id " + M + "57" + M, NewAlbumAnswer::Unreadable, 0},
            {M + "-57" + M, NewAlbumAnswer::Unreadable, 0},
            {M + "2147483648" + M, NewAlbumAnswer::Unreadable, 0},
            {"57", NewAlbumAnswer::Unreadable, 0}};
        for (const auto& [body, outcome, id] : albums) {
            const NewAlbumAnswer answer = newAlbumAnswer(body);
            QVERIFY2(answer.outcome == outcome && answer.albumId == id, qPrintable(body));
        }
    }
    void albumList()
    {
        const QString family = "12" + F + "Family" + F + "2009-01-01" + F + "35";
        // The answer, and its albums as "name/id/count" each or "unreadable".
        const std::pair<QString, QString> cases[] = {
            {B + family + BR + "13" + F + QStringLiteral("家 庭") + F + F + "0" + BR + E,
             QStringLiteral("Family/12/35 家 庭/13/0")},
            {family, "unreadable"}, // not a list answer
            {B + "13" + F + F + F + "0" + E, "unreadable"},
            {B + "-13" + F + "Trip" + F + F + "0" + E, "unreadable"},
            {B + "4294967309" + F + "Trip" + F + F + "0" + E, "unreadable"},
            {B + "13" + F + "Trip" + F + F + "many" + E, "unreadable"}};
        for (const auto& [body, albums] : cases) {
            const std::optional<AlbumList> got = vbReply::albumList(body);
            QStringList text;
            for (const AlbumRecord& album : got.value_or(AlbumList()))
                text << QStringLiteral("%1/%2/%3").arg(album.name).arg(album.id).arg(album.photoCount);
            QCOMPARE(got ? text.join(' ') : QStringLiteral("unreadable"), albums);
        }
    }
    void judgeReply()
    {
        using Reply = QNetworkReply;
        // Error, HTTP status, timed out, bytes declared and received, the outcome.
        const std::tuple<Reply::NetworkError, int, bool, qint64, qint64, vbServiceCall::Outcome> cases[] = {
            {Reply::NoError, 200, false, 12, 12, vbServiceCall::Answered},
            {Reply::NoError, 200, false, 12, 6, vbServiceCall::Unreadable},                 // cut short
            {Reply::OperationCanceledError, 200, true, -1, 400, vbServiceCall::Unreadable}, // endless
            {Reply::ConnectionRefusedError, 0, false, -1, 0, vbServiceCall::Unreachable},
            {Reply::OperationCanceledError, 0, true, -1, 0, vbServiceCall::Unreachable}}; // silent
        for (const auto& [error, status, timedOut, declared, received, outcome] : cases)
            QCOMPARE(vbServiceCall::judge(error, status, timedOut, declared, received), outcome);
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
