// The window kit, driven by mouse and crossing events as a window system delivers them, and its bitmaps.
#include "vbPushButton.h"
#include "vbTitleBar.h"
#include "vbToolPanel.h"
#include "vbWindowDrag.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString kOk = QStringLiteral(":/Resources/ok.png");
const QString kOkHover = QStringLiteral(":/Resources/ok_hover.png");

// The pointer crossing into or out of w, as the window system reports it.
void cross(QWidget* w, bool in)
{
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QEnterEvent enter(local, local, w->mapToGlobal(local));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, in ? static_cast<QEvent*>(&enter) : &leave);
}

QImage pixels(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// What a button showing only this bitmap looks like on screen.
QImage shown(const QString& path, QSize size = QSize(85, 25))
{
    vbPushButton reference(size.width(), size.height(), path, path);
    return pixels(reference.grab());
}

bool shows(const vbPushButton* button, const QString& name)
{
    const auto img = [](const QString& n) { return QPixmap(QStringLiteral(":/Resources/") + n).toImage(); };
    return button->normalImage().toImage() == img(name + QStringLiteral(".png")) &&
           button->hoverImage().toImage() == img(name + QStringLiteral("_hover.png"));
}

// Press at one point, move to another and release there.
void drag(QWidget* w, QPoint from, QPoint to)
{
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

} // namespace

class tst_Kit : public QObject
{
    Q_OBJECT
private slots:
    // Steps: E enter, L leave, D disable, N enable, C left click in the middle,
    // O press in the middle and release far outside, R right click.
    void hoverAndClickRules_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<int>("clicks");

        QTest::newRow("disabled while over keeps hover") << "EDL" << true << 0;
        QTest::newRow("keeps it until re-enabled, entered and left") << "EDLNEL" << false << 0;
        QTest::newRow("enabled while over shows normal") << "DEN" << false << 0;
        QTest::newRow("until the pointer leaves and enters again") << "DENLE" << true << 0;
        QTest::newRow("disabled click") << "DC" << false << 0;
        QTest::newRow("press, move off, release") << "O" << false << 1;
        QTest::newRow("clicks add up") << "CCR" << false << 3;
    }

    void hoverAndClickRules()
    {
        QFETCH(QString, steps);
        QFETCH(bool, hovered);
        QFETCH(int, clicks);

        QWidget window;
        window.resize(300, 200);
        auto* button = new vbPushButton(85, 25, kOk, kOkHover, &window);
        window.show();

        QSignalSpy kitClicks(button, &vbPushButton::Clicked);
        QSignalSpy baseClicks(button, &QPushButton::clicked);
        const QPoint middle = button->rect().center();
        for (const QChar step : steps) {
            const char c = step.toLatin1();
            if (c == 'E' || c == 'L')
                cross(button, c == 'E');
            else if (c == 'D' || c == 'N')
                button->setEnabled(c == 'N');
            else if (c == 'C' || c == 'R')
                QTest::mouseClick(button, c == 'C' ? Qt::LeftButton : Qt::RightButton, {}, middle);
            else
                drag(button, middle, QPoint(250, 150));
        }
        QCOMPARE(button->isHovered(), hovered);
        if (button->isEnabled()) // a disabled button is drawn faded
            QCOMPARE(pixels(button->grab()), shown(hovered ? kOkHover : kOk));
        QCOMPARE(kitClicks.count(), clicks);
        // The toolkit's own click never fires: owners listen to Clicked() only.
        QCOMPARE(baseClicks.count(), 0);
        QVERIFY(!button->isDown());
    }

    void titleBarMaxRestoreClose()
    {
        QWidget window; // frameless, with a title bar at the top, as the dialogs build it
        auto* bar = new vbTitleBar(&window);
        window.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
        (new QVBoxLayout(&window))->addWidget(bar, 0, Qt::AlignTop);
        window.setGeometry(100, 100, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(bar->maxButton(), Qt::LeftButton);
        QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
        QVERIFY(shows(bar->maxButton(), QStringLiteral("normal")));
        QTest::mouseClick(bar->maxButton(), Qt::LeftButton);
        QTRY_VERIFY(!(window.windowState() & Qt::WindowMaximized));
        QVERIFY(shows(bar->maxButton(), QStringLiteral("max")));

        QSignalSpy closed(bar, &vbTitleBar::Closed);
        QTest::mouseClick(bar->closeButton(), Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QVERIFY(window.isVisible()); // closing is the owner's business

        QTest::mouseClick(bar->minButton(), Qt::LeftButton);
        QTRY_VERIFY(window.windowState() & Qt::WindowMinimized);
    }

    void toolPanelTogglesDragsAndMinimises()
    {
        QWidget window;
        window.setWindowFlags(Qt::FramelessWindowHint);
        auto* panel = new vbToolPanel(&window);
        window.setGeometry(50, 60, 900, 300);
        panel->setGeometry(0, 0, 900, 88);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy spy(panel, &vbToolPanel::showMax);

        QTest::mouseClick(panel->btnNormal, Qt::LeftButton);
        QVERIFY(panel->isMaximised() && shows(panel->btnNormal, QStringLiteral("normal")));
        QVERIFY(!(window.windowState() & Qt::WindowMaximized)); // the panel only asks
        QPoint spot(-1, -1);                                    // on the panel itself, not on a child
        for (int x = 210; x < panel->width() && spot.x() < 0; x += 5)
            if (!panel->childAt(x, 80))
                spot = QPoint(x, 80);
        QVERIFY(spot.x() >= 0);
        QTest::mouseDClick(panel, Qt::LeftButton, {}, spot);
        QVERIFY(!panel->isMaximised() && shows(panel->btnNormal, QStringLiteral("max")));
        QCOMPARE(QList<QList<QVariant>>(spy), QList<QList<QVariant>>({{true}, {false}}));

        if (!vbWindowDrag::systemMoveRequired()) {
            drag(panel, QPoint(300, 80), QPoint(320, 90));
            QTRY_COMPARE(window.pos(), QPoint(70, 70));
            panel->slot_normal(); // maximised: dragging does nothing
            drag(panel, QPoint(300, 80), QPoint(400, 85));
            QCOMPARE(window.pos(), QPoint(70, 70));
        }
        QTest::mouseClick(panel->btnMin, Qt::LeftButton);
        QTRY_VERIFY(window.windowState() & Qt::WindowMinimized);
    }
};

QTEST_MAIN(tst_Kit)
#include "tst_kit.moc"
