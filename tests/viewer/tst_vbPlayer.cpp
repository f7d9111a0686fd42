#include "vbFileNode.h"
#include "vbPaintWnd.h"
#include "vbPlayer.h"
#include "vbPushButton.h"
#include "viewerTestPhotos.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

// The slideshow: order of the photos, its timer and speeds, the labels, closing.
class tst_vbPlayer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void stepping_data();
    void stepping();
    void firstTickComesAfterOneSecond();
    void speedChoiceRestartsAndSurvivesPause();
    void labelsNameAndFile_data();
    void labelsNameAndFile();
    void closing();
    void removedPhotoShowsBlack();

private:
    QList<vbFileNode*> nodes();
    static QString counter(const vbPlayer& player);
    static void click(vbPlayer& player, const char* button);

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<vbFileNode>> m_nodes;
};

void tst_vbPlayer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char* name : {"harbour.jpg", "beach.png", "trip.2008.jpeg"}) {
        const QString path = m_dir.filePath(QLatin1String(name));
        QVERIFY(writeTestPhoto(path, QSize(320, 240), Qt::darkCyan, name[0] == 'b' ? "PNG" : "JPG"));
        auto node = std::make_unique<vbFileNode>();
        node->setFileInfo(QFileInfo(path));
        m_nodes.push_back(std::move(node));
    }
}

QList<vbFileNode*> tst_vbPlayer::nodes()
{
    QList<vbFileNode*> list;
    for (const auto& node : m_nodes)
        list.append(node.get());
    return list;
}

QString tst_vbPlayer::counter(const vbPlayer& player)
{
    return player.findChild<QLabel*>(QStringLiteral("lblNo"))->text();
}

void tst_vbPlayer::click(vbPlayer& player, const char* button)
{
    auto* target = player.findChild<vbPushButton*>(QLatin1String(button));
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton);
}

void tst_vbPlayer::stepping_data()
{
    // N = Next, P = Pre, T = a timer tick.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("next before the first tick") << "N"
                                                << "1/3";
    QTest::newRow("first tick after next") << "NT"
                                           << "2/3";
    QTest::newRow("pre before the first tick") << "P"
                                               << "2/3";
    QTest::newRow("pre wraps to the last") << "TP"
                                           << "3/3";
    QTest::newRow("next wraps to the first") << "NNNN"
                                             << "1/3";
}

void tst_vbPlayer::stepping()
{
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    vbPlayer player(nodes());
    // Ticks are driven by hand here; the running timer must not add its own.
    player.timer()->stop();
    for (const QChar step : steps) {
        if (step == QLatin1Char('N'))
            click(player, "btnNext");
        else if (step == QLatin1Char('P'))
            click(player, "btnPre");
        else
            player.slot_timeOut();
    }
    QCOMPARE(counter(player), expected);
    QCOMPARE(player.current(), expected.section(QLatin1Char('/'), 0, 0).toInt() - 1);
    QCOMPARE(player.paintWnd()->imagePath(), m_nodes.at(size_t(player.current()))->absoluteFilePath());
}

void tst_vbPlayer::firstTickComesAfterOneSecond()
{
    vbPlayer player(nodes());
    QCOMPARE(player.timer()->interval(), 1000);

    QSignalSpy ticks(player.timer(), &QTimer::timeout);
    QVERIFY(ticks.wait(2500));
    QCOMPARE(counter(player), QStringLiteral("1/3"));
    QCOMPARE(player.timer()->interval(), 3000);
    click(player, "btnNext"); // steps by hand leave the timer alone
    QCOMPARE(player.timer()->interval(), 3000);
    QVERIFY(player.timer()->isActive());
}

void tst_vbPlayer::speedChoiceRestartsAndSurvivesPause()
{
    vbPlayer player(nodes());
    auto* speed = player.findChild<QComboBox*>(QStringLiteral("cbxSpeed"));
    speed->setFocus();
    QTest::keyClick(speed, Qt::Key_End); // "5", chosen before the first tick, holds
    player.slot_timeOut();
    QCOMPARE(player.timer()->interval(), 5000);
    click(player, "btnPause");
    QVERIFY(!player.timer()->isActive());
    click(player, "btnPlay");
    QVERIFY(player.timer()->isActive());
    QCOMPARE(player.timer()->interval(), 5000);
    QTest::keyClick(speed, Qt::Key_Home);
    QCOMPARE(player.timer()->interval(), 1000);
    QVERIFY(player.timer()->isActive());
}

void tst_vbPlayer::labelsNameAndFile_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("jpeg") << 0 << "harbour.jpg";
    QTest::newRow("png is named as its upload") << 1 << "beach.jpg";
    QTest::newRow("dotted name keeps its first part") << 2 << "trip.jpg";
}

void tst_vbPlayer::labelsNameAndFile()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    vbPlayer player(nodes());
    player.timer()->stop();
    for (int i = 0; i <= index; ++i)
        click(player, "btnNext");
    QCOMPARE(player.findChild<QLabel*>(QStringLiteral("lblName"))->text(), name);
    QCOMPARE(player.paintWnd()->imagePath(), m_nodes.at(size_t(index))->absoluteFilePath());
}

void tst_vbPlayer::closing()
{
    // A click on the picture, the exit button or bare window closes; controls do not.
    const std::pair<const char*, bool> targets[] = {
        {"btnExit", true}, {"paintWnd", true}, {"", true}, {"cbxSpeed", false}};
    for (const auto& [target, closes] : targets) {
        vbPlayer player(nodes());
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        QWidget* widget = *target ? player.findChild<QWidget*>(QLatin1String(target)) : &player;
        QVERIFY(widget);
        // Without a target: the left end of the button row, where no control is.
        const QPoint point = *target ? widget->rect().center() : QPoint(2, player.height() - 20);
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
        QVERIFY2(player.isVisible() != closes, target);
        if (closes)
            QCOMPARE(player.result(), int(QDialog::Accepted));
    }
}

void tst_vbPlayer::removedPhotoShowsBlack()
{
    auto gone = std::make_unique<vbFileNode>();
    gone->setFileInfo(QFileInfo(m_dir.filePath(QStringLiteral("harbour.jpg"))));
    vbPlayer empty({}); // an empty list does nothing
    empty.slot_timeOut();
    click(empty, "btnNext");
    QCOMPARE(empty.current(), -1);
    QVERIFY(empty.paintWnd()->imagePath().isEmpty());

    vbPlayer player({gone.get(), m_nodes.at(1).get()});
    player.timer()->stop();
    gone.reset();
    click(player, "btnNext");
    QCOMPARE(counter(player), QStringLiteral("1/2"));
    QCOMPARE(player.findChild<QLabel*>(QStringLiteral("lblName"))->text(), QString());
    QVERIFY(player.paintWnd()->imagePath().isEmpty());
    click(player, "btnNext");
    QCOMPARE(player.findChild<QLabel*>(QStringLiteral("lblName"))->text(), QStringLiteral("beach.jpg"));
}

QTEST_MAIN(tst_vbPlayer)
#include "tst_vbPlayer.moc"
