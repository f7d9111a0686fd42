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
    void speedChosenBeforeFirstTickHolds();
    void labelsNameAndFile_data();
    void labelsNameAndFile();
    void closing_data();
    void closing();
    void emptyListDoesNothing();
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
    const struct
    {
        const char* name;
        QColor colour;
        const char* format;
    } photos[] = {{"harbour.jpg", Qt::darkCyan, "JPG"},
                  {"beach.png", QColor(230, 160, 40), "PNG"},
                  {"trip.2008.jpeg", Qt::darkMagenta, "JPG"}};
    for (const auto& photo : photos) {
        const QString path = m_dir.filePath(QLatin1String(photo.name));
        QVERIFY(writeTestPhoto(path, QSize(320, 240), photo.colour, photo.format));
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
    QTest::newRow("first tick alone") << "T"
                                      << "1/3";
    QTest::newRow("pre wraps to the last") << "TP"
                                           << "3/3";
    QTest::newRow("next wraps to the first") << "NNNN"
                                             << "1/3";
    QTest::newRow("pre twice from the start") << "PP"
                                              << "1/3";
    QTest::newRow("ticks and steps mix") << "TTNP"
                                         << "2/3";
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
    QVERIFY(player.isVisible());
    QVERIFY(player.timer()->isActive());
    QCOMPARE(player.timer()->interval(), 1000);
    QCOMPARE(counter(player), QString());

    QSignalSpy ticks(player.timer(), &QTimer::timeout);
    QVERIFY(ticks.wait(2500));
    QCOMPARE(counter(player), QStringLiteral("1/3"));
    QCOMPARE(player.timer()->interval(), 3000);
    QVERIFY(player.timer()->isActive());
    // Steps by hand leave the timer alone.
    click(player, "btnNext");
    QCOMPARE(player.timer()->interval(), 3000);
    QVERIFY(player.timer()->isActive());
}

void tst_vbPlayer::speedChoiceRestartsAndSurvivesPause()
{
    vbPlayer player(nodes());
    auto* speed = player.findChild<QComboBox*>(QStringLiteral("cbxSpeed"));
    QCOMPARE(speed->count(), 5);
    QCOMPARE(speed->currentText(), QStringLiteral("3"));
    // The opening choice of "3" does not restart the one-second first tick.
    QCOMPARE(player.timer()->interval(), 1000);

    player.slot_timeOut();
    QCOMPARE(player.timer()->interval(), 3000);
    speed->setFocus();
    QTest::keyClick(speed, Qt::Key_End);
    QCOMPARE(speed->currentText(), QStringLiteral("5"));
    QCOMPARE(player.timer()->interval(), 5000);
    QVERIFY(player.timer()->isActive());

    click(player, "btnPause");
    QVERIFY(!player.timer()->isActive());
    click(player, "btnPlay");
    QVERIFY(player.timer()->isActive());
    QCOMPARE(player.timer()->interval(), 5000);

    QTest::keyClick(speed, Qt::Key_Home);
    QCOMPARE(player.timer()->interval(), 1000);
    QVERIFY(player.timer()->isActive());
}

void tst_vbPlayer::speedChosenBeforeFirstTickHolds()
{
    vbPlayer player(nodes());
    auto* speed = player.findChild<QComboBox*>(QStringLiteral("cbxSpeed"));
    speed->setFocus();
    QTest::keyClick(speed, Qt::Key_End);
    QCOMPARE(player.timer()->interval(), 5000);
    player.slot_timeOut();
    QCOMPARE(counter(player), QStringLiteral("1/3"));
    QCOMPARE(player.timer()->interval(), 5000);
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
    // The picture is the photo's real file, whatever name is shown.
    QCOMPARE(player.paintWnd()->imagePath(), m_nodes.at(size_t(index))->absoluteFilePath());
    QVERIFY(!player.paintWnd()->pictureRect().isEmpty());
}

void tst_vbPlayer::closing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("closes");
    QTest::newRow("exit button") << "btnExit" << true;
    QTest::newRow("picture") << "paintWnd" << true;
    QTest::newRow("counter label") << "lblNo" << true;
    QTest::newRow("bare window") << "" << true;
    QTest::newRow("speed box") << "cbxSpeed" << false;
    QTest::newRow("pause button") << "btnPause" << false;
}

void tst_vbPlayer::closing()
{
    QFETCH(QString, target);
    QFETCH(bool, closes);
    vbPlayer player(nodes());
    QVERIFY(QTest::qWaitForWindowExposed(&player));
    QWidget* widget = &player;
    // Left end of the button row: no control there.
    QPoint point(2, player.height() - 20);
    if (!target.isEmpty()) {
        widget = player.findChild<QWidget*>(target);
        QVERIFY(widget);
        point = widget->rect().center();
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
    QCOMPARE(player.isVisible(), !closes);
    if (closes)
        QCOMPARE(player.result(), int(QDialog::Accepted));
}

void tst_vbPlayer::emptyListDoesNothing()
{
    vbPlayer player({});
    player.slot_timeOut();
    click(player, "btnNext");
    click(player, "btnPre");
    QCOMPARE(player.current(), -1);
    QCOMPARE(counter(player), QString());
    QVERIFY(player.paintWnd()->imagePath().isEmpty());
}

void tst_vbPlayer::removedPhotoShowsBlack()
{
    auto gone = std::make_unique<vbFileNode>();
    gone->setFileInfo(QFileInfo(m_dir.filePath(QStringLiteral("harbour.jpg"))));
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
