#include "vbReply.h"

#include <QtTest>

using namespace vbReply;

Q_DECLARE_METATYPE(std::optional<qint64>)

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
    void valueAnswer_data();
    void valueAnswer();
    void listAnswer_data();
    void listAnswer();
    void albumList();
    void uploadAck();
    void newAlbumAnswer_data();
    void newAlbumAnswer();
};

void tst_vbReply::valueAnswer_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<std::optional<qint64>>("expected");

    const std::optional<qint64> none;
    QTest::newRow("plain") << M + "1001" + M << std::optional<qint64>(1001);
    QTest::newRow("negative") << M + "-1" + M << std::optional<qint64>(-1);
    QTest::newRow("text around") << "<html>ok " + M + "42" + M + " bye</html>" << std::optional<qint64>(42);
    QTest::newRow("letters between count as 0") << M + "abc" + M << std::optional<qint64>(0);
    QTest::newRow("line breaks around") << M + "\r\n77\r\n" + M << std::optional<qint64>(77);
    QTest::newRow("markers with nothing between") << M + M << none;
    QTest::newRow("marker once") << "x" + M + "5" << none;
    QTest::newRow("no marker") << QStringLiteral("<html>no value</html>") << none;
    QTest::newRow("overlapping markers") << QStringLiteral("</\\/>/>") << none;
    // First to last: a third marker ends up inside the value, which is then no number.
    QTest::newRow("three markers") << M + "1" + M + "2" + M << std::optional<qint64>(0);
    QTest::newRow("64-bit photo id") << M + "5000000001" + M << std::optional<qint64>(5000000001LL);
    QTest::newRow("beyond 64 bits") << M + "9223372036854775808" + M << std::optional<qint64>(0);
}

void tst_vbReply::valueAnswer()
{
    QFETCH(QString, body);
    QFETCH(std::optional<qint64>, expected);

    QCOMPARE(value64(body), expected);
    // The 32-bit read agrees where the value fits and never wraps a larger one.
    const std::optional<int> v32 = value32(body);
    QCOMPARE(v32.has_value(), expected.has_value());
    if (expected)
        QCOMPARE(qint64(*v32), qint64(int(*expected)) == *expected ? *expected : 0);
}

void tst_vbReply::listAnswer_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("isList");
    QTest::addColumn<QList<QStringList>>("records");

    QTest::newRow("nothing between markers") << B + E << true << QList<QStringList>{};
    QTest::newRow("empty lines skipped") << B + BR + "1" + F + "a" + BR + BR + "2" + F + "b" + BR + E << true
                                         << QList<QStringList>{{"1", "a"}, {"2", "b"}};
    QTest::newRow("single field skipped")
        << B + "lonely" + BR + "3" + F + "c" + E << true << QList<QStringList>{{"3", "c"}};
    QTest::newRow("empty fields kept")
        << B + F + F + BR + "4" + F + "d" + F + E << true << QList<QStringList>{{"", "", ""}, {"4", "d", ""}};
    QTest::newRow("markers inside removed") << B + "1" + F + "a" + E + BR + B + "2" + F + "b" + E << true
                                            << QList<QStringList>{{"1", "a"}, {"2", "b"}};
    QTest::newRow("no begin marker") << "1" + F + "a" + E << false << QList<QStringList>{};
    QTest::newRow("begin case matters") << "[/BEGIN/]1" + F + "a" << false << QList<QStringList>{};
}

void tst_vbReply::listAnswer()
{
    QFETCH(QString, body);
    QFETCH(bool, isList);
    QFETCH(QList<QStringList>, records);

    const auto result = listRecords(body);
    QCOMPARE(result.has_value(), isList);
    if (isList)
        QCOMPARE(*result, records);
}

void tst_vbReply::albumList()
{
    const auto family = vbReply::albumList(B + "12" + F + "Family" + F + "2009-01-01" + F + "35" + BR + "13" +
                                           F + "Trip" + E);
    QVERIFY(family);
    QCOMPARE(family->size(), 2);
    QCOMPARE(family->at(0).name, QStringLiteral("Family"));
    QCOMPARE(family->at(0).id, 12);
    QCOMPARE(family->at(0).photoCount, 35);
    QCOMPARE(family->at(1).name, QStringLiteral("Trip"));
    QCOMPARE(family->at(1).id, 13);
    QCOMPARE(family->at(1).photoCount, 0);

    // Numbers that are not numbers read as 0; the name is taken as it is.
    const auto odd = vbReply::albumList(B + "x1" + F + QStringLiteral("家 庭") + F + F + "many" + E);
    QVERIFY(odd);
    QCOMPARE(odd->size(), 1);
    QCOMPARE(odd->at(0).id, 0);
    QCOMPARE(odd->at(0).name, QStringLiteral("家 庭"));
    QCOMPARE(odd->at(0).photoCount, 0);

    QVERIFY(vbReply::albumList(B + E)->isEmpty());
    QVERIFY(!vbReply::albumList(QStringLiteral("12/\\/Family")));
}

void tst_vbReply::uploadAck()
{
    QVERIFY(isUploadAck(QStringLiteral("HTTP/1.1 200 OK\r\n\r\n") + M + "1" + M));
    QVERIFY(isUploadAck(QByteArray("HTTP/1.1 200 OK\r\n\r\n</\\/>1</\\/>")));
    for (const QString& body :
         QStringList{M + "0" + M, M + "11" + M, M + "1", QStringLiteral("error: refused")}) {
        QVERIFY2(!isUploadAck(body), qPrintable(body));
        QVERIFY2(!isUploadAck(body.toLatin1()), qPrintable(body));
    }
}

void tst_vbReply::newAlbumAnswer_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("albumId");

    QTest::newRow("created") << M + "57" + M << int(NewAlbumAnswer::Created) << 57;
    QTest::newRow("zero") << M + "0" + M << int(NewAlbumAnswer::Refused) << 0;
    QTest::newRow("letters") << M + "no" + M << int(NewAlbumAnswer::Refused) << 0;
    QTest::newRow("one marker is enough") << M + "58" << int(NewAlbumAnswer::Created) << 58;
    QTest::newRow("text around is no number") << "id " + M + "57" + M << int(NewAlbumAnswer::Refused) << 0;
    QTest::newRow("no marker") << QStringLiteral("57") << int(NewAlbumAnswer::NoMarker) << 0;
}

void tst_vbReply::newAlbumAnswer()
{
    QFETCH(QString, body);
    QFETCH(int, outcome);
    QFETCH(int, albumId);

    const NewAlbumAnswer answer = vbReply::newAlbumAnswer(body);
    QCOMPARE(int(answer.outcome), outcome);
    QCOMPARE(answer.albumId, albumId);
}

QTEST_APPLESS_MAIN(tst_vbReply)
#include "tst_vbReply.moc"
