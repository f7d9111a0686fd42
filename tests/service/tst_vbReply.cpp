#include "vbReply.h"

#include <QtTest>

using namespace vbReply;

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {
// Markers written out once so the table stays readable.
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
    void value32DoesNotWrap();
    void decodesLocal8Bit();
    void listAnswer_data();
    void listAnswer();
    void albumList_data();
    void albumList();
    void uploadAck_data();
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
    QTest::newRow("zero") << M + "0" + M << std::optional<qint64>(0);
    QTest::newRow("negative") << M + "-1" + M << std::optional<qint64>(-1);
    QTest::newRow("text around") << "<html>ok " + M + "42" + M + " bye</html>" << std::optional<qint64>(42);
    QTest::newRow("letters between count as 0") << M + "abc" + M << std::optional<qint64>(0);
    QTest::newRow("number then letters is 0") << M + "12ab" + M << std::optional<qint64>(0);
    QTest::newRow("line breaks around") << M + "\r\n77\r\n" + M << std::optional<qint64>(77);
    QTest::newRow("markers with nothing between") << M + M << none;
    QTest::newRow("marker once") << "x" + M + "5" << none;
    QTest::newRow("no marker") << QStringLiteral("<html>no value</html>") << none;
    QTest::newRow("empty body") << QString() << none;
    QTest::newRow("overlapping markers") << QStringLiteral("</\\/>/>") << none;
    // First to last: a third marker ends up inside the value, which is then no number.
    QTest::newRow("three markers") << M + "1" + M + "2" + M << std::optional<qint64>(0);
    QTest::newRow("64-bit photo id") << M + "5000000001" + M << std::optional<qint64>(5000000001LL);
    QTest::newRow("largest 64-bit") << M + "9223372036854775807" + M
                                    << std::optional<qint64>(std::numeric_limits<qint64>::max());
    QTest::newRow("beyond 64 bits") << M + "9223372036854775808" + M << std::optional<qint64>(0);
    QTest::newRow("marker case matters") << QStringLiteral("</\\/>5</\\/ >") << none;
}

void tst_vbReply::valueAnswer()
{
    QFETCH(QString, body);
    QFETCH(std::optional<qint64>, expected);

    QCOMPARE(value64(body), expected);
    // The 32-bit read agrees wherever the value fits.
    const std::optional<int> v32 = value32(body);
    QCOMPARE(v32.has_value(), expected.has_value());
    if (expected && *expected >= std::numeric_limits<int>::min() &&
        *expected <= std::numeric_limits<int>::max())
        QCOMPARE(qint64(*v32), *expected);
}

void tst_vbReply::value32DoesNotWrap()
{
    // A photo id above 32 bits must not turn into some other small number.
    QCOMPARE(value32(M + "5000000001" + M), std::optional<int>(0));
    QCOMPARE(value32(M + "2147483647" + M), std::optional<int>(2147483647));
}

void tst_vbReply::decodesLocal8Bit()
{
    const QString text = QStringLiteral("</\\/>7</\\/>");
    QCOMPARE(decodeBody(text.toLocal8Bit()), text);
    QCOMPARE(value32(decodeBody(QByteArray("</\\/>31</\\/>"))), std::optional<int>(31));
}

void tst_vbReply::listAnswer_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("isList");
    QTest::addColumn<QList<QStringList>>("records");

    QTest::newRow("two records") << B + "1" + F + "a" + BR + "2" + F + "b" + F + "" + E << true
                                 << QList<QStringList>{{"1", "a"}, {"2", "b", ""}};
    QTest::newRow("nothing between markers") << B + E << true << QList<QStringList>{};
    QTest::newRow("empty lines skipped") << B + BR + "1" + F + "a" + BR + BR + "2" + F + "b" + BR + E << true
                                         << QList<QStringList>{{"1", "a"}, {"2", "b"}};
    QTest::newRow("single field skipped")
        << B + "lonely" + BR + "3" + F + "c" + E << true << QList<QStringList>{{"3", "c"}};
    QTest::newRow("empty fields kept") << B + F + F + BR + E << true << QList<QStringList>{{"", "", ""}};
    QTest::newRow("no end marker") << B + "1" + F + "a" << true << QList<QStringList>{{"1", "a"}};
    QTest::newRow("markers inside removed") << B + "1" + F + "a" + E + BR + B + "2" + F + "b" + E << true
                                            << QList<QStringList>{{"1", "a"}, {"2", "b"}};
    QTest::newRow("no begin marker") << "1" + F + "a" + E << false << QList<QStringList>{};
    QTest::newRow("error page") << QStringLiteral("<html>500</html>") << false << QList<QStringList>{};
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

void tst_vbReply::albumList_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("Family and Trip") << B + "12" + F + "Family" + F + "2009-01-01" + F + "35" + BR + "13" +
                                            F + "Trip" + E
                                     << QStringList{"Family", "Trip"} << QList<int>{12, 13}
                                     << QList<int>{35, 0};
    QTest::newRow("empty") << B + E << QStringList{} << QList<int>{} << QList<int>{};
    QTest::newRow("id not a number") << B + "x1" + F + "Odd" + F + F + "7" + E << QStringList{"Odd"}
                                     << QList<int>{0} << QList<int>{7};
    QTest::newRow("count not a number")
        << B + "4" + F + "N" + F + F + "many" + E << QStringList{"N"} << QList<int>{4} << QList<int>{0};
    QTest::newRow("three fields") << B + "5" + F + "Three" + F + "2009-02-02" + E << QStringList{"Three"}
                                  << QList<int>{5} << QList<int>{0};
    QTest::newRow("line breaks between records")
        << B + "\r\n6" + F + "A" + F + F + "1\r\n" + BR + "\r\n7" + F + "B" + F + F + "2\r\n" + E
        << QStringList{"A", "B"} << QList<int>{6, 7} << QList<int>{1, 2};
    QTest::newRow("chinese name") << B + "8" + F + QStringLiteral("家庭") + E
                                  << QStringList{QStringLiteral("家庭")} << QList<int>{8} << QList<int>{0};
}

void tst_vbReply::albumList()
{
    QFETCH(QString, body);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, ids);
    QFETCH(QList<int>, counts);

    const std::optional<AlbumList> albums = vbReply::albumList(body);
    QVERIFY(albums.has_value());
    QCOMPARE(albums->size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        QCOMPARE(albums->at(i).name, names.at(i));
        QCOMPARE(albums->at(i).id, ids.at(i));
        QCOMPARE(albums->at(i).photoCount, counts.at(i));
    }
    QVERIFY(!vbReply::albumList(QStringLiteral("12/\\/Family")).has_value());
}

void tst_vbReply::uploadAck_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("ack");

    QTest::newRow("ack") << M + "1" + M << true;
    QTest::newRow("ack inside http answer")
        << QStringLiteral("HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n") + M + "1" + M << true;
    QTest::newRow("zero") << M + "0" + M << false;
    QTest::newRow("other value") << M + "11" + M << false;
    QTest::newRow("error text") << QStringLiteral("error: refused") << false;
    QTest::newRow("half marker") << M + "1" << false;
}

void tst_vbReply::uploadAck()
{
    QFETCH(QString, body);
    QFETCH(bool, ack);
    QCOMPARE(isUploadAck(body), ack);
    QCOMPARE(isUploadAck(body.toLatin1()), ack);
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
    QTest::newRow("markers only") << M + M << int(NewAlbumAnswer::Refused) << 0;
    QTest::newRow("text around is no number") << "id " + M + "57" + M << int(NewAlbumAnswer::Refused) << 0;
    QTest::newRow("no marker") << QStringLiteral("57") << int(NewAlbumAnswer::NoMarker) << 0;
    QTest::newRow("empty") << QString() << int(NewAlbumAnswer::NoMarker) << 0;
}

void tst_vbReply::newAlbumAnswer()
{
    QFETCH(QString, body);
    QFETCH(int, outcome);
    QFETCH(int, albumId);

    const NewAlbumAnswer answer = vbReply::newAlbumAnswer(body);
    QCOMPARE(int(answer.outcome), outcome);
    if (outcome == NewAlbumAnswer::Created)
        QCOMPARE(answer.albumId, albumId);
}

QTEST_APPLESS_MAIN(tst_vbReply)
#include "tst_vbReply.moc"
