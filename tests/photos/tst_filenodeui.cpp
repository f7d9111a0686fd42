// Photo tile: where the thumbnail is drawn, marks and progress, name editing.
#include "photoTestUtil.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbSession.h"
#include "vbTestPhotos.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QValidator>

class tst_FileNodeUI : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void thumbnailRect_data();
    void thumbnailRect();
    void paintedThumbnail();
    void paintedOrientedThumbnail_data();
    void paintedOrientedThumbnail();
    void progressPercent_data();
    void progressPercent();
    void listRowProgressBar();
    void stateLook_data();
    void stateLook();
    void stateShownInsideTile_data();
    void stateShownInsideTile();
    void checkedMarkWins();
    void clickTogglesCheck();

    void validator_data();
    void validator();
    void typedDotIsRefused();
    void renameByEditing();
    void failedRenameRestoresName();
    void emptyNameKeepsEditing();

private:
    // The tile's own painting, without the name field and buttons on top.
    static QImage paintOnly(QWidget* tile);
    // A shown list with one row for a photo file of the given colour.
    vbFileNode* addPhoto(vbFileList& list, const QString& name, const QSize& size, bool checkable = false);

    QTemporaryDir m_dir;
    vbSession m_session;
};

void tst_FileNodeUI::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

vbFileNode* tst_FileNodeUI::addPhoto(vbFileList& list, const QString& name, const QSize& size, bool checkable)
{
    const QString path = m_dir.filePath(name);
    QImage red(size, QImage::Format_RGB32);
    red.fill(Qt::red);
    if (!red.save(path, "JPG", 95))
        return nullptr;
    list.resize(700, 500);
    list.show();
    list.addFiles({QFileInfo(path)}, checkable);
    vbFileNode* node = list.node(list.count() - 1);
    return node;
}

QImage tst_FileNodeUI::paintOnly(QWidget* tile)
{
    QImage image(tile->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    tile->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

void tst_FileNodeUI::thumbnailRect_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("thumbnail");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("mode 2 landscape") << 2 << QSize(244, 162) << QRect(3, 24, 124, 82);
    QTest::newRow("mode 2 portrait") << 2 << QSize(162, 244) << QRect(24, 3, 82, 124);
    QTest::newRow("mode 2 small") << 2 << QSize(100, 80) << QRect(15, 25, 100, 80);
    QTest::newRow("mode 3 kept") << 3 << QSize(244, 162) << QRect(8, 49, 244, 162);
}

void tst_FileNodeUI::thumbnailRect()
{
    QFETCH(int, mode);
    QFETCH(QSize, thumbnail);
    QFETCH(QRect, expected);
    QCOMPARE(vbFileNodeUI::thumbnailRect(mode, thumbnail), expected);
}

void tst_FileNodeUI::paintedThumbnail()
{
    vbFileList list(nullptr, true);
    vbFileNode* node = addPhoto(list, QStringLiteral("red.jpg"), QSize(3000, 2000));
    QVERIFY(node);
    QTRY_COMPARE(node->thumbnail().size(), QSize(244, 162));
    const QImage shot = node->tile()->grab().toImage();
    QCOMPARE(shot.size(), QSize(130, 150));
    auto isRed = [&](int x, int y) {
        const QColor c = shot.pixelColor(x, y);
        return c.red() > 200 && c.green() < 60 && c.blue() < 60;
    };
    // Drawn at 124 x 82 from (3, 24).
    QVERIFY(isRed(4, 25));
    QVERIFY(isRed(125, 104));
    QVERIFY(!isRed(4, 22));
    QVERIFY(!isRed(64, 107));
}

void tst_FileNodeUI::paintedOrientedThumbnail_data()
{
    QTest::addColumn<int>("orientation");
    for (int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << orientation;
}

void tst_FileNodeUI::paintedOrientedThumbnail()
{
    QFETCH(int, orientation);
    const QImage upright = vbTestPhotos::quarters(QSize(300, 400));
    const QString path = m_dir.filePath(QStringLiteral("phone_%1.jpg").arg(orientation));
    QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, orientation));
    vbFileList list(nullptr, true);
    list.resize(700, 500);
    list.show();
    list.addFiles({QFileInfo(path)}, false);
    vbFileNode* node = list.node(0);
    QTRY_COMPARE(node->thumbnail().size(), QSize(183, 244));
    const QRect drawn = vbFileNodeUI::thumbnailRect(node->viewMode(), node->thumbnail().size());
    QCOMPARE(vbTestPhotos::quarterColours(paintOnly(node->tile()).copy(drawn)),
             vbTestPhotos::quarterColours(upright));
}

void tst_FileNodeUI::progressPercent_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("percent");
    QTest::newRow("37 %") << qint64(37) << qint64(100) << 37;
    QTest::newRow("truncated") << qint64(999) << qint64(1000) << 99;
    QTest::newRow("nothing to send") << qint64(0) << qint64(0) << 0;
    QTest::newRow("big files") << qint64(3) * 1024 * 1024 * 1024 << qint64(4) * 1024 * 1024 * 1024 << 75;
}

void tst_FileNodeUI::progressPercent()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(int, percent);
    QCOMPARE(vbFileNodeUI::progressPercent(done, total), percent);
}

void tst_FileNodeUI::listRowProgressBar()
{
    vbFileList list(nullptr, true);
    list.addFiles({QFileInfo(m_dir.filePath(QStringLiteral("none.jpg")))}, false);
    list.setViewMode(1);
    vbFileNode* node = list.node(0);
    vbFileNodeUI* tile = node->tile();
    tile->resize(400, 25);
    node->setUploadState(vbFileNode::Transferring);
    tile->setProgress(37, 100);
    const QImage shot = paintOnly(tile);
    const int start = tile->nameEdit()->width() + 1;
    const int end = start + int(0.37 * 400);
    auto isBlue = [&](int x) { return shot.pixelColor(x, 12) == QColor(Qt::blue); };
    QVERIFY(!isBlue(start - 2));
    QVERIFY(isBlue(start + 1));
    QVERIFY(isBlue(end - 2));
    QVERIFY(!isBlue(end + 2));
}

void tst_FileNodeUI::stateLook_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("inRun");
    QTest::addColumn<bool>("before"); // the log has the photo as uploaded
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("alarm"); // drawn in red

    QTest::newRow("new photo") << int(vbFileNode::Waiting) << false << false << "" << false;
    QTest::newRow("new photo uploaded before")
        << int(vbFileNode::Waiting) << false << true << "Photo had uploaded!" << false;
    QTest::newRow("waiting") << int(vbFileNode::Waiting) << true << true << "Waiting" << false;
    QTest::newRow("key asked") << int(vbFileNode::RequestingKey) << true << false << "Preparing" << false;
    QTest::newRow("key to ask again") << int(vbFileNode::KeyFailed) << true << false << "Preparing" << false;
    QTest::newRow("sending") << int(vbFileNode::Transferring) << true << false << "Sending 42%" << false;
    QTest::newRow("committing") << int(vbFileNode::Committing) << true << false << "Finishing" << false;
    QTest::newRow("commit to send again")
        << int(vbFileNode::CommitFailed) << true << false << "Finishing" << false;
    QTest::newRow("uploaded") << int(vbFileNode::Uploaded) << true << true << "Photo uploaded!" << false;
    QTest::newRow("failed") << int(vbFileNode::Failed) << true << false << "Photo upload failed!" << true;
    QTest::newRow("failed, run over")
        << int(vbFileNode::Failed) << false << true << "Photo upload failed!" << true;
    QTest::newRow("stopped") << int(vbFileNode::Stopped) << false << false << "Stopped" << false;
    QTest::newRow("cancelled mid-step") << int(vbFileNode::KeyReady) << false << false << "" << false;
}

void tst_FileNodeUI::stateLook()
{
    QFETCH(int, state);
    QFETCH(bool, inRun);
    QFETCH(bool, before);
    QFETCH(QString, text);
    QFETCH(bool, alarm);
    const vbFileNodeUI::StateLook look = vbFileNodeUI::stateLook(state, inRun, before, 42);
    QCOMPARE(look.text, text);
    const QColor c = look.colour;
    if (!text.isEmpty())
        QCOMPARE(c.red() > 150 && c.green() < 80 && c.blue() < 80, alarm);
}

void tst_FileNodeUI::stateShownInsideTile_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("state");
    const QList<QPair<const char*, int>> states{
        {"waiting", vbFileNode::Waiting},      {"preparing", vbFileNode::RequestingKey},
        {"sending", vbFileNode::Transferring}, {"finishing", vbFileNode::Committing},
        {"uploaded", vbFileNode::Uploaded},    {"failed", vbFileNode::Failed}};
    for (int mode = 1; mode <= 3; ++mode) {
        for (const auto& [name, state] : states)
            QTest::addRow("mode %d %s", mode, name) << mode << state;
    }
}

void tst_FileNodeUI::stateShownInsideTile()
{
    QFETCH(int, mode);
    QFETCH(int, state);
    vbFileList list(nullptr, true);
    // A square photo: its thumbnail lies under the state text.
    vbFileNode* node = addPhoto(list, QStringLiteral("state.jpg"), QSize(400, 400));
    QVERIFY(node);
    QTRY_VERIFY(!node->thumbnail().isNull());
    list.setViewMode(mode);
    vbFileNodeUI* tile = node->tile();
    if (mode == 1)
        tile->resize(400, 25);
    const QImage idle = paintOnly(tile);

    node->setInUploadRun(true);
    node->setUploadState(state);
    tile->setProgress(1, 100); // the list row's bar stays short of the mark
    const QImage shot = paintOnly(tile);
    QVERIFY(shot != idle);

    // A few columns before the badge (or the tile's frame) stay untouched:
    // long texts are cut, not drawn under the badge or past the edge.
    const int w = mode == 1 ? tile->width() : vbFileNodeUI::cellSize(mode).width();
    const QPixmap mark(state == vbFileNode::Failed ? QStringLiteral(":/Resources/uploadfailed.png")
                                                   : QStringLiteral(":/Resources/checked.png"));
    const bool marked = state == vbFileNode::Failed || state == vbFileNode::Uploaded;
    const int clearEnd = mode == 1 ? w - 26 : (marked ? w - mark.width() - 2 : w - 3);
    const int bottom = mode == 1 ? tile->height() - 4 : 20;
    for (int x = clearEnd - 4; x < clearEnd; ++x) {
        for (int y = 3; y <= bottom; ++y)
            QVERIFY2(shot.pixel(x, y) == idle.pixel(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
}

void tst_FileNodeUI::checkedMarkWins()
{
    vbFileList list(nullptr, false);
    list.addFiles({QFileInfo(m_dir.filePath(QStringLiteral("m1.jpg"))),
                   QFileInfo(m_dir.filePath(QStringLiteral("m2.jpg"))),
                   QFileInfo(m_dir.filePath(QStringLiteral("m3.jpg")))},
                  true);
    QTRY_VERIFY(!list.node(2)->isLoading());
    list.node(0)->setCheckState(Qt::Checked);
    list.node(0)->setUploadState(vbFileNode::Failed);
    list.node(1)->setCheckState(Qt::Checked);
    list.node(2)->setUploadState(vbFileNode::Failed);
    const QImage checkedFailed = paintOnly(list.node(0)->tile());
    const QImage checkedOnly = paintOnly(list.node(1)->tile());
    const QImage failedOnly = paintOnly(list.node(2)->tile());
    QCOMPARE(checkedFailed, checkedOnly);
    QVERIFY(checkedFailed != failedOnly);
}

void tst_FileNodeUI::clickTogglesCheck()
{
    vbFileList list(nullptr, false);
    vbFileNode* node = addPhoto(list, QStringLiteral("check.jpg"), QSize(40, 30), true);
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy checks(&list, &vbFileList::sig_checkStatusChanged);
    QTest::mouseClick(node->tile(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(node->checkState(), Qt::Checked);
    QCOMPARE(checks.count(), 1);
    QCOMPARE(checks.last().at(0).toInt(), 1);
    QCOMPARE(checks.last().at(1).toInt(), 1);
    QVERIFY(node->isSelected());
    QTest::mouseClick(node->tile(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(node->checkState(), Qt::Unchecked);
    QCOMPARE(checks.last().at(0).toInt(), 0);
    // No name editing in the selection dialog's list.
    QTest::mouseDClick(node->tile()->nameEdit(), Qt::LeftButton);
    QVERIFY(!node->tile()->nameEdit()->isEnabled());
}

void tst_FileNodeUI::validator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("plain") << "Summer 2008" << true;
    QTest::newRow("chinese") << QString::fromUtf8("\xE5\x8C\x97\xE4\xBA\xAC") << true;
    QTest::newRow("dot") << "a.b" << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("colon") << "a:b" << false;
    QTest::newRow("star and question") << "a*?" << false;
    QTest::newRow("quote and angles") << "\"<>" << false;
    QTest::newRow("bar") << "a|b" << false;
    QTest::newRow("line feed") << "a\nb" << false;
}

void tst_FileNodeUI::validator()
{
    QFETCH(QString, text);
    QFETCH(bool, acceptable);
    vbFileNode node;
    vbFileNodeUI tile(&node);
    int pos = 0;
    QCOMPARE(tile.nameEdit()->validator()->validate(text, pos) == QValidator::Acceptable, acceptable);
}

void tst_FileNodeUI::typedDotIsRefused()
{
    vbFileList list(nullptr, true);
    vbFileNode* node = addPhoto(list, QStringLiteral("typed.jpg"), QSize(40, 30));
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QLineEdit* edit = node->tile()->nameEdit();
    QVERIFY(!edit->isEnabled());
    QTest::mouseDClick(edit, Qt::LeftButton);
    QVERIFY(edit->isEnabled());
    QVERIFY(!edit->isReadOnly());
    QTest::keyClicks(edit, QStringLiteral("a.b/c\\d"));
    QCOMPARE(edit->text(), QStringLiteral("abcd"));
}

void tst_FileNodeUI::renameByEditing()
{
    vbFileList list(nullptr, true);
    vbFileNode* node = addPhoto(list, QStringLiteral("before.jpg"), QSize(40, 30));
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QLineEdit* edit = node->tile()->nameEdit();
    QTest::mouseDClick(edit, Qt::LeftButton);
    QTest::keyClicks(edit, QStringLiteral("after"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(node->fileName(), QStringLiteral("after.jpg"));
    QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("after.jpg"))));
    QCOMPARE(edit->text(), QStringLiteral("after"));
    QVERIFY(!edit->isEnabled());
    QVERIFY(edit->isReadOnly());
}

void tst_FileNodeUI::failedRenameRestoresName()
{
    vbFileList list(nullptr, true);
    vbFileNode* node = addPhoto(list, QStringLiteral("mine.jpg"), QSize(40, 30));
    QVERIFY(vbTestPhotos::writeJpeg(m_dir.filePath(QStringLiteral("taken.jpg")), QSize(8, 8)));
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QLineEdit* edit = node->tile()->nameEdit();
    QTest::mouseDClick(edit, Qt::LeftButton);
    QTest::keyClicks(edit, QStringLiteral("taken"));
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(edit->text(), QStringLiteral("mine"));
    QCOMPARE(node->fileName(), QStringLiteral("mine.jpg"));
    QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("mine.jpg"))));
}

void tst_FileNodeUI::emptyNameKeepsEditing()
{
    vbFileList list(nullptr, true);
    vbFileNode* node = addPhoto(list, QStringLiteral("keep.jpg"), QSize(40, 30));
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QLineEdit* edit = node->tile()->nameEdit();
    QTest::mouseDClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QString());
    ModalAnswer answer;
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(answer.count(), 1);
    QCOMPARE(answer.text(), QStringLiteral("Photo name can't be empty!"));
    QVERIFY(edit->isEnabled());
    QVERIFY(!edit->isReadOnly());
    QCOMPARE(node->fileName(), QStringLiteral("keep.jpg"));
    // Still editing: a name typed now is taken.
    QTest::keyClicks(edit, QStringLiteral("kept"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(node->fileName(), QStringLiteral("kept.jpg"));
}

QTEST_MAIN(tst_FileNodeUI)
#include "tst_filenodeui.moc"
