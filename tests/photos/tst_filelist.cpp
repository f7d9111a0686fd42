// Photo list rules: what a drop or paste adds and in which order, duplicates,
// the 300 limit, view modes, check counts, removal and the add button.
#include "photoTestUtil.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbNameOrder.h"
#include "vbPushButton.h"
#include "vbSession.h"
#include "vbTestPhotos.h"

#include <QClipboard>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_FileList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void droppedFolderAndFiles();
    void nameOrder_data();
    void nameOrder();
    void dropsComeInNameOrder();
    void photoPathsFromUrls_data();
    void photoPathsFromUrls();
    void samePhotoTwice();
    void limitOf300_data();
    void limitOf300();
    void pasteUsesTheSameRule();
    void dropOnAddButton();
    void viewModes_data();
    void viewModes();
    void checkedCounts();
    void removalAndAddButton();
    void removeUploadedKeepsOthers();
    void tileButtonsReachTheList();

private:
    QString photo(const QString& relative);
    QList<QFileInfo> fakeFiles(int n, const QString& prefix);

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

void tst_FileList::droppedFolderAndFiles()
{
    vbFileList list(nullptr, true);
    const QString folder = m_dir.filePath(QStringLiteral("drop"));
    photo(QStringLiteral("drop/a.JPG"));
    photo(QStringLiteral("drop/b.jpeg"));
    photo(QStringLiteral("drop/sub/d.jpg"));
    QFile png(m_dir.filePath(QStringLiteral("drop/c.png")));
    QVERIFY(png.open(QIODevice::WriteOnly));
    png.close();

    QSignalSpy counts(&list, &vbFileList::sig_countChanged);
    QVERIFY(dropPaths(list.viewport(), {folder}));
    QCOMPARE(list.count(), 2);
    QStringList names;
    for (vbFileNode* node : list.nodes())
        names << node->fileName();
    names.sort();
    QCOMPARE(names, QStringList({QStringLiteral("a.JPG"), QStringLiteral("b.jpeg")}));
    QCOMPARE(counts.count(), 1);
    QCOMPARE(counts.last().first().toInt(), 2);

    // A drag of nothing usable is not accepted and changes nothing.
    QVERIFY(!dropPaths(list.viewport(), {png.fileName()}));
    QCOMPARE(list.count(), 2);
    QCOMPARE(counts.count(), 1);

    // Every new row gets its thumbnail.
    for (vbFileNode* node : list.nodes())
        QTRY_COMPARE(node->thumbnail().size(), QSize(120, 80));
}

void tst_FileList::nameOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("aFirst");
    QTest::newRow("numbers by value") << "/p/IMG_2.jpg"
                                      << "/p/IMG_10.jpg" << true;
    QTest::newRow("zero padded") << "/p/IMG_0010.jpg"
                                 << "/p/IMG_0001.jpg" << false;
    QTest::newRow("numbers in brackets") << "/p/photo (10).jpg"
                                         << "/p/photo (9).jpg" << false;
    QTest::newRow("case ignored") << "/p/B.jpg"
                                  << "/p/a.jpg" << false;
    QTest::newRow("shorter name first") << "/p/a.jpg"
                                        << "/p/a_1.jpg" << true;
    QTest::newRow("suffix after name") << "/p/a.jpg"
                                       << "/p/a.jpeg" << false;
    QTest::newRow("name before folder") << "/z/a.jpg"
                                        << "/a/b.jpg" << true;
    QTest::newRow("folder breaks a tie") << "/x10/a.jpg"
                                         << "/x2/a.jpg" << false;
    QTest::newRow("padding breaks a tie") << "/p/IMG_01.jpg"
                                          << "/p/IMG_1.jpg" << true;
}

void tst_FileList::nameOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, aFirst);
    // The "C" locale of a bare system knows no numbers of its own.
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Chinese, QLocale::China)}) {
        QLocale::setDefault(locale);
        QCOMPARE(vbNameOrder::lessThan(a, b), aFirst);
        // A sort needs the opposite answer the other way round.
        QCOMPARE(vbNameOrder::lessThan(b, a), !aFirst);
        QStringList both{b, a};
        vbNameOrder::sort(both);
        QCOMPARE(both, aFirst ? QStringList({a, b}) : QStringList({b, a}));
    }
    QLocale::setDefault(QLocale::system());
}

void tst_FileList::dropsComeInNameOrder()
{
    // One drop is listed in name order; a later one goes after it, in its own
    // order, so what was there does not move.
    vbFileList list(nullptr, true);
    const QString f10 = photo(QStringLiteral("order/IMG_10.jpg"));
    const QString f2 = photo(QStringLiteral("order/IMG_2.JPG"));
    const QString f1 = photo(QStringLiteral("order/img_1.jpeg"));
    QVERIFY(dropPaths(list.viewport(), {f10, f2, f1}));
    const QString later3 = photo(QStringLiteral("later/IMG_3.jpg"));
    const QString later0 = photo(QStringLiteral("later/IMG_0.jpg"));
    QVERIFY(dropPaths(list.viewport(), {later3, later0}));
    QStringList rows;
    for (vbFileNode* node : list.nodes())
        rows << node->absoluteFilePath();
    QCOMPARE(rows, QStringList({f1, f2, f10, later0, later3}));
}

void tst_FileList::photoPathsFromUrls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("taken");
    QTest::newRow("upper-case JPEG") << "photo.JPEG" << true;
    QTest::newRow("mixed case") << "photo.JpG" << true;
    QTest::newRow("dotted name") << "trip.2008.jpg" << true;
    QTest::newRow("png") << "photo.png" << false;
    QTest::newRow("jpg inside name only") << "photo.jpg.txt" << false;
    QTest::newRow("no suffix") << "jpg" << false;
}

void tst_FileList::photoPathsFromUrls()
{
    QFETCH(QString, name);
    QFETCH(bool, taken);
    const QString path = m_dir.filePath(QStringLiteral("names/") + name);
    const QStringList found = vbFileList::collectPhotoPaths({QUrl::fromLocalFile(path)});
    QCOMPARE(found, taken ? QStringList{path} : QStringList());
}

void tst_FileList::samePhotoTwice()
{
    vbFileList list(nullptr, true);
    const QString p = photo(QStringLiteral("twice/p.jpg"));
    QSignalSpy counts(&list, &vbFileList::sig_countChanged);
    dropPaths(list.viewport(), {p});
    dropPaths(list.viewport(), {p});
    QCOMPARE(list.count(), 1);
    QCOMPARE(counts.count(), 2);
    QCOMPARE(counts.at(1).first().toInt(), 1);
    QVERIFY(list.contains(p));
    QVERIFY(!list.contains(p.toUpper()));
}

void tst_FileList::limitOf300_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("299 + 2 refused") << QStringList{"q.jpg", "r.jpg"} << false << 299;
    QTest::newRow("299 + 1 accepted") << QStringList{"q.jpg"} << true << 300;
    QTest::newRow("duplicate counted") << QStringList{"fill_0.jpg", "q.jpg"} << false << 299;
    QTest::newRow("duplicate alone fits") << QStringList{"fill_0.jpg"} << true << 299;
}

void tst_FileList::limitOf300()
{
    QFETCH(QStringList, dropped);
    QFETCH(bool, accepted);
    QFETCH(int, rowsAfter);

    vbFileList list(nullptr, true);
    list.addFiles(fakeFiles(299, QStringLiteral("fill")), false);
    QCOMPARE(list.count(), 299);

    QStringList paths;
    for (const QString& name : dropped)
        paths << m_dir.filePath(name);
    ModalAnswer answer;
    dropPaths(list.viewport(), paths);
    QCOMPARE(list.count(), rowsAfter);
    if (accepted) {
        QCOMPARE(answer.count(), 0);
    } else {
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.text(), QStringLiteral("You can not select more then 300 photos!"));
    }
}

void tst_FileList::pasteUsesTheSameRule()
{
    vbFileList list(nullptr, true);
    const QString a = photo(QStringLiteral("paste/a.jpg"));
    const QString b = photo(QStringLiteral("paste/b.JPG"));
    QGuiApplication::clipboard()->setMimeData(urlMime({a, b, m_dir.filePath(QStringLiteral("paste/x.gif"))}));
    list.pasteFiles();
    QCOMPARE(list.count(), 2);

    // Text without URLs is ignored.
    QGuiApplication::clipboard()->setText(a);
    list.pasteFiles();
    QCOMPARE(list.count(), 2);

    list.addFiles(fakeFiles(297, QStringLiteral("pastefill")), false);
    QGuiApplication::clipboard()->setMimeData(
        urlMime({m_dir.filePath(QStringLiteral("n1.jpg")), m_dir.filePath(QStringLiteral("n2.jpg"))}));
    ModalAnswer answer;
    list.pasteFiles();
    QCOMPARE(answer.count(), 1);
    QCOMPARE(list.count(), 299);
}

void tst_FileList::dropOnAddButton()
{
    vbFileList list(nullptr, true);
    list.resize(600, 400);
    list.show();
    QVERIFY(list.addButton());
    QVERIFY(list.addButton()->isVisible());
    QVERIFY(dropPaths(list.addButton(), {photo(QStringLiteral("button/a.jpg"))}));
    QCOMPARE(list.count(), 1);
    QVERIFY(!list.addButton()->isVisible());
}

void tst_FileList::viewModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("hint");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("qtMode");
    QTest::newRow("list") << 1 << QSize(300, 25) << 1 << int(QListView::ListMode);
    QTest::newRow("small icons") << 2 << QSize(130, 150) << 10 << int(QListView::IconMode);
    QTest::newRow("big icons") << 3 << QSize(260, 300) << 10 << int(QListView::IconMode);
}

void tst_FileList::viewModes()
{
    QFETCH(int, mode);
    QFETCH(QSize, hint);
    QFETCH(int, spacing);
    QFETCH(int, qtMode);

    vbFileList list(nullptr, true);
    list.addFiles(fakeFiles(3, QStringLiteral("mode")), false);
    // Start from another mode so every value really changes.
    list.setViewMode(mode == 3 ? 1 : 3);
    list.setViewMode(mode);
    QCOMPARE(list.viewMode(), mode);
    QCOMPARE(list.spacing(), spacing);
    QCOMPARE(int(list.QListView::viewMode()), qtMode);
    for (vbFileNode* node : list.nodes()) {
        QCOMPARE(node->sizeHint(), hint);
        QCOMPARE(node->viewMode(), mode);
        QCOMPARE(node->tile()->layoutMode(), mode);
    }
    // The tiles are laid out at that size, also on checkable rows (no room
    // is kept for a check box).
    if (mode != 1) {
        list.resize(800, 700);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QTRY_COMPARE(list.node(2)->tile()->size(), hint);
        vbFileList checkable(nullptr, false);
        checkable.addFiles(fakeFiles(2, QStringLiteral("modecheck")), true);
        checkable.setViewMode(mode);
        checkable.resize(800, 700);
        checkable.show();
        QVERIFY(QTest::qWaitForWindowExposed(&checkable));
        QTRY_COMPARE(checkable.node(1)->tile()->geometry(), checkable.visualItemRect(checkable.node(1)));
        QCOMPARE(checkable.node(1)->tile()->size(), hint);
    }
    // Rows added later follow the mode too.
    list.addFiles(fakeFiles(1, QStringLiteral("late")), false);
    QCOMPARE(list.node(3)->sizeHint(), hint);

    // Unknown modes change nothing.
    list.setViewMode(7);
    QCOMPARE(list.viewMode(), mode);
    QCOMPARE(list.spacing(), spacing);
}

void tst_FileList::checkedCounts()
{
    vbFileList list(nullptr, false);
    list.addFiles(fakeFiles(5, QStringLiteral("check")), true);
    QCOMPARE(list.checkedCount(), 0);
    list.node(1)->setCheckState(Qt::Checked);
    list.node(3)->setCheckState(Qt::Checked);
    QCOMPARE(list.checkedCount(), 2);
    QList<QFileInfo> files;
    list.checkedFileInfos(files);
    QCOMPARE(files.size(), 2);
    QCOMPARE(files[0].fileName(), QStringLiteral("check_1.jpg"));
    QCOMPARE(files[1].fileName(), QStringLiteral("check_3.jpg"));

    list.setAllChecked(true);
    QCOMPARE(list.checkedCount(), 5);
    list.setAllChecked(false);
    QCOMPARE(list.checkedCount(), 0);
}

void tst_FileList::removalAndAddButton()
{
    vbFileList list(nullptr, true);
    list.resize(600, 400);
    list.show();
    list.addFiles(fakeFiles(3, QStringLiteral("rm")), false);
    QVERIFY(!list.addButton()->isVisible());

    QSignalSpy counts(&list, &vbFileList::sig_countChanged);
    list.removeNodes({list.node(0), list.node(1)});
    QCOMPARE(list.count(), 1);
    QCOMPARE(counts.count(), 0);
    QCOMPARE(list.node(0)->fileName(), QStringLiteral("rm_2.jpg"));

    QPointer<vbFileNodeUI> tile = list.node(0)->tile();
    list.removeNode(list.node(0));
    QCOMPARE(list.count(), 0);
    QCOMPARE(counts.count(), 1);
    QCOMPARE(counts.last().first().toInt(), 0);
    QVERIFY(tile.isNull());
    QVERIFY(list.addButton()->isVisible());

    list.addFiles(fakeFiles(2, QStringLiteral("rm")), false);
    list.clearAll();
    QCOMPARE(list.count(), 0);
    QVERIFY(list.addButton()->isVisible());
    QCOMPARE(counts.last().first().toInt(), 0);

    // A node of another list is not ours to delete.
    vbFileList other(nullptr, false);
    other.addFiles(fakeFiles(1, QStringLiteral("other")), false);
    list.removeNode(other.node(0));
    QCOMPARE(other.count(), 1);
}

void tst_FileList::removeUploadedKeepsOthers()
{
    vbFileList list(nullptr, true);
    list.addFiles(fakeFiles(4, QStringLiteral("up")), false);
    list.node(0)->setUploadState(vbFileNode::Uploaded);
    list.node(2)->setUploadState(vbFileNode::Uploaded);
    list.node(3)->setUploadState(vbFileNode::Failed);
    list.removeUploaded();
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.node(0)->fileName(), QStringLiteral("up_1.jpg"));
    QCOMPARE(list.node(1)->fileName(), QStringLiteral("up_3.jpg"));
    QList<QPointer<vbFileNode>> all;
    list.allNodes(all);
    QCOMPARE(all.size(), 2);
}

void tst_FileList::tileButtonsReachTheList()
{
    vbFileList list(nullptr, true);
    list.resize(600, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.addFiles(fakeFiles(2, QStringLiteral("tile")), false);
    vbFileNodeUI* tile = list.node(1)->tile();
    QSignalSpy edits(&list, &vbFileList::sig_editNode);
    QSignalSpy infos(&list, &vbFileList::sig_showInfo);

    // The buttons appear while the pointer is over the tile.
    QVERIFY(!tile->removeButton()->isVisible());
    QEnterEvent enter(QPointF(60, 40), QPointF(60, 40), tile->mapToGlobal(QPointF(60, 40)));
    QApplication::sendEvent(tile, &enter);
    QVERIFY(tile->removeButton()->isVisible());
    QTest::mouseClick(tile->removeButton(), Qt::LeftButton);
    QCOMPARE(edits.count(), 1);
    QCOMPARE(edits.last().at(0).value<vbFileNode*>(), list.node(1));
    QCOMPARE(edits.last().at(1).toBool(), true);

    QTest::mouseDClick(list.node(0)->tile(), Qt::LeftButton, {}, QPoint(60, 40));
    QCOMPARE(edits.last().at(0).value<vbFileNode*>(), list.node(0));
    QCOMPARE(edits.last().at(1).toBool(), false);

    QTest::mouseClick(tile->infoButton(), Qt::LeftButton);
    QCOMPARE(infos.count(), 1);
    QCOMPARE(infos.last().at(0).value<vbFileNode*>(), list.node(1));

    // While an upload runs the buttons do nothing.
    m_session.setUploading(true);
    QTest::mouseClick(tile->removeButton(), Qt::LeftButton);
    QTest::mouseClick(tile->infoButton(), Qt::LeftButton);
    m_session.setUploading(false);
    QCOMPARE(edits.count(), 2);
    QCOMPARE(infos.count(), 1);
}

QTEST_MAIN(tst_FileList)
#include "tst_filelist.moc"
