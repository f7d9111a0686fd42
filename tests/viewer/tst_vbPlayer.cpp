#include "vbFileNode.h"
#include "vbPaintWnd.h"
#include "vbPlayer.h"
#include "vbPushButton.h"
#include "vbTestPhotos.h"

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
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<vbFileNode>> m_nodes;

    QList<vbFileNode*> nodes() const
    {
        QList<vbFileNode*> list;
        for (const auto& node : m_nodes)
            list.append(node.get());
        return list;
    }
    static QString label(const vbPlayer& player, const char* name)
    {
        return player.findChild<QLabel*>(QLatin1String(name))->text();
    }
    static void click(vbPlayer& player, const char* button)
    {
        auto* target = player.findChild<vbPushButton*>(QLatin1String(button));
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        for (const char* name : {"harbour.jpg", "beach.png", "trip.2008.jpeg"}) {
            const QString path = m_dir.filePath(QLatin1String(name));
            QVERIFY(vbTestPhotos::picture(QSize(320, 240)).save(path, name[0] == 'b' ? "PNG" : "JPG"));
            m_nodes.push_back(std::make_unique<vbFileNode>());
            m_nodes.back()->setFileInfo(QFileInfo(path));
        }
    }

    // N = Next, P = Pre, T = a timer tick.
    void stepping_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("shown");
        QTest::newRow("next before the first tick") << "N" << 1;
        QTest::newRow("first tick after next") << "NT" << 2;
        QTest::newRow("pre before the first tick") << "P" << 2;
        QTest::newRow("pre wraps to the last") << "TP" << 3;
        QTest::newRow("next wraps to the first") << "NNNN" << 1;
    }
    void stepping()
    {
        QFETCH(QString, steps);
        QFETCH(int, shown);
        vbPlayer player(nodes());
        player.timer()->stop(); // ticks are driven by hand here
        for (const QChar step : steps) {
            if (step == QLatin1Char('T'))
                player.slot_timeOut();
            else
                click(player, step == QLatin1Char('N') ? "btnNext" : "btnPre");
        }
        QCOMPARE(label(player, "lblNo"), QStringLiteral("%1/3").arg(shown));
        QCOMPARE(player.current(), shown - 1);
        QCOMPARE(player.paintWnd()->imagePath(), m_nodes.at(size_t(shown - 1))->absoluteFilePath());
        // A png is named as its upload; a dotted name keeps its first part.
        const char* names[] = {"harbour.jpg", "beach.jpg", "trip.jpg"};
        QCOMPARE(label(player, "lblName"), QLatin1String(names[shown - 1]));
    }

    void timerAndSpeeds()
    {
        vbPlayer player(nodes());
        QCOMPARE(player.timer()->interval(), 1000); // the first tick comes after a second
        QSignalSpy ticks(player.timer(), &QTimer::timeout);
        QVERIFY(ticks.wait(2500));
        QCOMPARE(label(player, "lblNo"), QStringLiteral("1/3"));
        QCOMPARE(player.timer()->interval(), 3000);
        click(player, "btnNext"); // steps by hand leave the timer alone
        QCOMPARE(player.timer()->interval(), 3000);
        QVERIFY(player.timer()->isActive());

        vbPlayer chosen(nodes());
        auto* speed = chosen.findChild<QComboBox*>(QStringLiteral("cbxSpeed"));
        speed->setFocus();
        QTest::keyClick(speed, Qt::Key_End); // "5", chosen before the first tick, holds
        chosen.slot_timeOut();
        QCOMPARE(chosen.timer()->interval(), 5000);
        click(chosen, "btnPause");
        QVERIFY(!chosen.timer()->isActive());
        click(chosen, "btnPlay");
        QVERIFY(chosen.timer()->isActive());
        QCOMPARE(chosen.timer()->interval(), 5000);
        QTest::keyClick(speed, Qt::Key_Home);
        QCOMPARE(chosen.timer()->interval(), 1000);
        QVERIFY(chosen.timer()->isActive());
    }

    void closing()
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

    void missingPhotosShowBlack()
    {
        vbPlayer empty({}); // an empty list does nothing
        empty.slot_timeOut();
        click(empty, "btnNext");
        QCOMPARE(empty.current(), -1);
        QVERIFY(empty.paintWnd()->imagePath().isEmpty());

        auto gone = std::make_unique<vbFileNode>();
        gone->setFileInfo(QFileInfo(m_dir.filePath(QStringLiteral("harbour.jpg"))));
        vbPlayer player({gone.get(), m_nodes.at(1).get()});
        player.timer()->stop();
        gone.reset(); // removed from the list while the slideshow runs
        click(player, "btnNext");
        QCOMPARE(label(player, "lblNo"), QStringLiteral("1/2"));
        QCOMPARE(label(player, "lblName"), QString());
        QVERIFY(player.paintWnd()->imagePath().isEmpty());
        click(player, "btnNext");
        QCOMPARE(label(player, "lblName"), QStringLiteral("beach.jpg"));
    }
};

QTEST_MAIN(tst_vbPlayer)
#include "tst_vbPlayer.moc"
