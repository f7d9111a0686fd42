// Caption strip, message box, tool panel and dialog background: buttons by
// flags, results, maximise toggling, dragging, partial repaints.

#include "KitButtonFlags.h"
#include "vbKitDialog.h"
#include "vbKitStyle.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"
#include "vbToolPanel.h"
#include "vbWindowDrag.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

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

// A frameless window with a title bar at the top, as the dialogs build it.
struct Captioned
{
    QWidget window;
    vbTitleBar* bar;
    Captioned()
    {
        window.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
        auto* layout = new QVBoxLayout(&window);
        bar = new vbTitleBar(&window);
        layout->addWidget(bar);
        layout->addStretch();
        window.setGeometry(100, 100, 300, 200);
        window.show();
    }
};

} // namespace

class tst_KitWindows : public QObject
{
    Q_OBJECT
private slots:
    void titleBarButtonsByFlags()
    {
        const std::pair<int, QList<bool>> cases[] = {
            // min, max, close shown
            {CloseButton, {false, false, true}},
            {MinButton | CloseButton, {true, false, true}},
            {OkButton | CancelButton | OkAllButton, {false, false, false}}};
        for (const auto& [flags, shown] : cases) {
            Captioned c;
            c.bar->setButtons(flags);
            const vbPushButton* buttons[] = {c.bar->minButton(), c.bar->maxButton(), c.bar->closeButton()};
            for (int i = 0; i < 3; ++i)
                QVERIFY2(buttons[i]->isVisible() == shown[i] && buttons[i]->isEnabled() == shown[i],
                         qPrintable(QStringLiteral("flags %1, button %2").arg(flags).arg(i)));
        }
    }

    void titleBarMaxRestoreCloseAndDrag()
    {
        Captioned c;
        QVERIFY(QTest::qWaitForWindowExposed(&c.window));
        QTest::mouseClick(c.bar->maxButton(), Qt::LeftButton);
        QTRY_VERIFY(c.window.windowState() & Qt::WindowMaximized);
        QVERIFY(shows(c.bar->maxButton(), QStringLiteral("normal")));
        if (!vbWindowDrag::systemMoveRequired()) { // maximised windows stay put
            const QPoint maximised = c.window.pos();
            drag(c.bar, QPoint(10, 10), QPoint(80, 60));
            QCOMPARE(c.window.pos(), maximised);
        }
        QTest::mouseClick(c.bar->maxButton(), Qt::LeftButton);
        QTRY_VERIFY(!(c.window.windowState() & Qt::WindowMaximized));
        QVERIFY(shows(c.bar->maxButton(), QStringLiteral("max")));

        QSignalSpy closed(c.bar, &vbTitleBar::Closed);
        QTest::mouseClick(c.bar->closeButton(), Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QVERIFY(c.window.isVisible()); // closing is the owner's business

        if (!vbWindowDrag::systemMoveRequired()) {
            const QPoint start = c.window.pos();
            drag(c.bar, QPoint(10, 10), QPoint(50, 40));
            QTRY_COMPARE(c.window.pos(), start + QPoint(40, 30));
            QTest::mouseDClick(c.bar, Qt::LeftButton, {}, QPoint(10, 10)); // does not maximise
            QVERIFY(!(c.window.windowState() & Qt::WindowMaximized));
        }
        QTest::mouseClick(c.bar->minButton(), Qt::LeftButton);
        QTRY_VERIFY(c.window.windowState() & Qt::WindowMinimized);
    }

    void systemMoveOnlyOnWayland()
    {
        for (const char* platform : {"wayland", "wayland-egl", "xcb", "offscreen"})
            QCOMPARE(vbWindowDrag::systemMoveRequired(QLatin1String(platform)), platform[0] == 'w');
    }

    // Flags 8 = Ok, 16 = Cancel, 32 = Ok for all.
    void messageBox_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("notice ok") << 8 << "ok" << 1;
        QTest::newRow("notice escape") << 8 << "escape" << 0;
        QTest::newRow("question cancel") << 24 << "cancel" << 0;
        QTest::newRow("question right-click ok") << 24 << "right ok" << 1;
        QTest::newRow("ok all") << 40 << "okall" << 1;
    }
    void messageBox()
    {
        QFETCH(int, flags);
        QFETCH(QString, action);
        QFETCH(int, result);
        QWidget parent;
        parent.show();
        vbMessageBox box(flags, QStringLiteral("Tips"), QStringLiteral("Upload next time?"), &parent);
        QTimer::singleShot(0, &box, [&] {
            QCOMPARE(box.btnOK->isVisible(), bool(flags & 8));
            QCOMPARE(box.btnCancel->isVisible(), bool(flags & 16));
            QCOMPARE(box.btnOKAll->isVisible(), bool(flags & 32));
            QVERIFY(!box.widget->closeButton()->isVisible());
            if (action == QLatin1String("ok") || action == QLatin1String("right ok"))
                QTest::mouseClick(box.btnOK,
                                  action == QLatin1String("ok") ? Qt::LeftButton : Qt::RightButton);
            else if (action == QLatin1String("okall"))
                QTest::mouseClick(box.btnOKAll, Qt::LeftButton);
            else if (action == QLatin1String("cancel"))
                QTest::mouseClick(box.btnCancel, Qt::LeftButton);
            else
                QTest::keyClick(&box, Qt::Key_Escape);
        });
        QTimer::singleShot(5000, &box, [&] { box.done(-1); }); // a box that never closes fails
        QCOMPARE(box.exec(), result);
    }

    // Only a single Ok (8) or Cancel (16) bit names a button to restyle.
    void messageBoxButtonImages()
    {
        for (int which : {8, 16, 32, 24}) {
            vbMessageBox box(24, QStringLiteral("Tips"), QStringLiteral("Upload next time?"));
            box.setButtonImages(which, QStringLiteral(":/Resources/autoLoad.png"),
                                QStringLiteral(":/Resources/autoLoad_hover.png"));
            QVERIFY2(shows(box.btnOK, which == 8 ? QStringLiteral("autoLoad") : QStringLiteral("ok")), "ok");
            QVERIFY2(
                shows(box.btnCancel, which == 16 ? QStringLiteral("autoLoad") : QStringLiteral("cancel")),
                "cancel");
        }
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
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(1).at(0).toBool(), false);

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

    // The background fills below the inset (the title bar) inside a one-pixel
    // border, also when only a small area in the middle is repainted.
    void dialogBackground()
    {
        const QColor window(10, 20, 30), fill = vbKit::dialogBackground();
        for (int inset : {1, 31}) {
            vbKitDialog dialog(nullptr, inset);
            QPalette palette = dialog.palette();
            palette.setColor(QPalette::Window, window);
            dialog.setPalette(palette);
            dialog.resize(200, 150);
            const QImage shot = dialog.grab().toImage();
            const std::pair<QPoint, QColor> expected[] = {{{100, inset - 1}, window}, {{100, inset}, fill},
                                                          {{1, 100}, fill},           {{0, 100}, window},
                                                          {{199, 100}, window},       {{100, 149}, window}};
            for (const auto& [at, colour] : expected)
                QVERIFY2(QColor(shot.pixel(at)) == colour,
                         qPrintable(QStringLiteral("inset %1 at %2,%3").arg(inset).arg(at.x()).arg(at.y())));
            QImage part(200, 150, QImage::Format_ARGB32);
            part.fill(Qt::white);
            dialog.render(&part, QPoint(50, 60), QRegion(50, 60, 40, 40));
            QCOMPARE(QColor(part.pixel(50, 60)), fill);
            QCOMPARE(QColor(part.pixel(89, 99)), fill);
        }
    }
};

QTEST_MAIN(tst_KitWindows)
#include "tst_kitwindows.moc"
