// Photo list rules: what a drop adds and in which order, duplicates, the 300 limit.
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbModalAnswer.h"
#include "vbNameOrder.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbTestUi.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_FileList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nameOrder_data();
    void nameOrder();
    void dropsInNameOrderWithoutDuplicates();
    void limitOf300_data();
    void limitOf300();

private:
    QString photo(const QString& relative);
    QList<QFileInfo> fakeFiles(int n, const QString& prefix);
    static QStringList rows(vbFileList& list);

    QTemporaryDir m_dir;
    vbSession m_session;
};

void tst_FileList::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

QString tst_FileList::photo(const QString& relative)
{
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFileInfo::exists(path))
        vbTestPhotos::writeJpeg(path, QSize(120, 80));
    return path;
}

QList<QFileInfo> tst_FileList::fakeFiles(int n, const QString& prefix)
{
    QList<QFileInfo> files;
    for (int i = 0; i < n; ++i)
        files.append(QFileInfo(m_dir.filePath(QStringLiteral("%1_%2.jpg").arg(prefix).arg(i))));
    return files;
}

QStringList tst_FileList::rows(vbFileList& list)
{
    QStringList paths;
    for (vbFileNode* node : list.nodes())
        paths << node->absoluteFilePath();
    return paths;
}

void tst_FileList::nameOrder_data()
{
    QTest::addColumn<QStringList>("ab");
    QTest::addColumn<bool>("aFirst");
    QTest::newRow("numbers by value") << QStringList{"/p/IMG_2.jpg", "/p/IMG_10.jpg"} << true;
    QTest::newRow("numbers in brackets") << QStringList{"/p/photo (10).jpg", "/p/photo (9).jpg"} << false;
    QTest::newRow("case ignored") << QStringList{"/p/B.jpg", "/p/a.jpg"} << false;
    QTest::newRow("shorter name first") << QStringList{"/p/a.jpg", "/p/a_1.jpg"} << true;
    QTest::newRow("suffix after name") << QStringList{"/p/a.jpg", "/p/a.jpeg"} << false;
    QTest::newRow("name before folder") << QStringList{"/z/a.jpg", "/a/b.jpg"} << true;
    QTest::newRow("folder breaks a tie") << QStringList{"/x10/a.jpg", "/x2/a.jpg"} << false;
    QTest::newRow("padding breaks a tie") << QStringList{"/p/IMG_01.jpg", "/p/IMG_1.jpg"} << true;
}

void tst_FileList::nameOrder()
{
    QFETCH(QStringList, ab);
    QFETCH(bool, aFirst);
    const QString a = ab[0], b = ab[1];
    // The "C" locale of a bare system knows no numbers of its own.
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Chinese, QLocale::China)}) {
        QLocale::setDefault(locale);
        QCOMPARE(vbNameOrder::lessThan(a, b), aFirst);
        QCOMPARE(vbNameOrder::lessThan(b, a), !aFirst); // a sort needs both answers
        QStringList both{b, a};
        vbNameOrder::sort(both);
        QCOMPARE(both, aFirst ? QStringList({a, b}) : QStringList({b, a}));
    }
    QLocale::setDefault(QLocale::system());
}

void tst_FileList::dropsInNameOrderWithoutDuplicates()
{
    // A dropped folder gives its JPEGs (any case of suffix), not other files or sub-folders.
    vbFileList list(nullptr, true);
    const QString f10 = photo(QStringLiteral("order/IMG_10.jpg"));
    const QString f2 = photo(QStringLiteral("order/IMG_2.JPG"));
    const QString f1 = photo(QStringLiteral("order/img_1.jpeg"));
    photo(QStringLiteral("order/sub/d.jpg"));
    QFile png(m_dir.filePath(QStringLiteral("order/c.png")));
    QVERIFY(png.open(QIODevice::WriteOnly));
    png.close();
    QSignalSpy counts(&list, &vbFileList::sig_countChanged);
    QVERIFY(vbTestUi::dropPaths(list.viewport(), {m_dir.filePath(QStringLiteral("order"))}));
    QCOMPARE(rows(list), QStringList({f1, f2, f10}));
    // A drag of nothing usable is not accepted.
    QVERIFY(!vbTestUi::dropPaths(list.viewport(), {png.fileName()}));

    // A later drop goes after the rows there, in its own order; a photo already listed is not added again.
    const QString later3 = photo(QStringLiteral("later/IMG_3.jpg"));
    const QString later0 = photo(QStringLiteral("later/IMG_0.jpg"));
    QVERIFY(vbTestUi::dropPaths(list.viewport(), {later3, f2, later0}));
    QCOMPARE(rows(list), QStringList({f1, f2, f10, later0, later3}));
    QCOMPARE(counts.last().first().toInt(), 5);
}

void tst_FileList::limitOf300_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("299 + 2 refused") << QStringList{"q.jpg", "r.jpg"} << 299;
    QTest::newRow("299 + 1 accepted") << QStringList{"q.jpg"} << 300;
    QTest::newRow("duplicate counted") << QStringList{"fill_0.jpg", "q.jpg"} << 299;
    QTest::newRow("duplicate alone fits") << QStringList{"fill_0.jpg"} << 299;
}

void tst_FileList::limitOf300()
{
    QFETCH(QStringList, dropped);
    QFETCH(int, rowsAfter);
    vbFileList list(nullptr, true);
    list.addFiles(fakeFiles(299, QStringLiteral("fill")), false);
    QStringList paths;
    for (const QString& name : dropped)
        paths << m_dir.filePath(name);
    vbModalAnswer answer(vbModalAnswer::press("btnOK"));
    vbTestUi::dropPaths(list.viewport(), paths);
    QCOMPARE(list.count(), rowsAfter);
    const bool refused = dropped.size() == 2;
    QCOMPARE(answer.texts(), refused ? QStringList{QStringLiteral("You can not select more then 300 photos!")}
                                     : QStringList());
}

QTEST_MAIN(tst_FileList)
#include "tst_filelist.moc"
