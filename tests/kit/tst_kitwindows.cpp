// The caption strip, message box, tool panel, status bar and dialog
// background: buttons by flags, results, maximise toggling, dragging, paint.

#include "KitButtonFlags.h"
#include "vbClickLabel.h"
#include "vbKitDialog.h"
#include "vbKitStyle.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbStatusBar.h"
#include "vbTitleBar.h"
#include "vbToolPanel.h"
#include "vbWindowDrag.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QImage bitmap(const QString& name)
{
    return QPixmap(QStringLiteral(":/Resources/") + name).toImage();
}

bool shows(const vbPushButton* button, const QString& normal, const QString& hover)
{
    return button->normalImage().toImage() == bitmap(normal) &&
           button->hoverImage().toImage() == bitmap(hover);
}

bool near(QColor actual, QColor expected)
{
    const int tolerance = 3;
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
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
        layout->setContentsMargins(1, 1, 1, 1);
        bar = new vbTitleBar(&window);
        layout->addWidget(bar);
        layout->addStretch();
        window.setGeometry(100, 100, 300, 200);
    }
};

} // namespace

class tst_KitWindows : public QObject
{
    Q_OBJECT
private slots:
    void titleBarButtonsByFlags_data();
    void titleBarButtonsByFlags();
    void titleBarMaxRestoreAndClose();
    void titleBarDrag();
    void titleBarPaint();
    void systemMoveOnlyWhereWindowsCannotPlaceThemselves_data();
    void systemMoveOnlyWhereWindowsCannotPlaceThemselves();

    void messageBoxButtons_data();
    void messageBoxButtons();
    void messageBoxResults_data();
    void messageBoxResults();
    void messageBoxButtonImages_data();
    void messageBoxButtonImages();

    void toolPanelNormalToggles();
    void toolPanelDoubleClick();
    void toolPanelMinimisesAndDrags();
    void toolPanelViewModeMenu();
    void statusBarStartsWithoutRemoveAll();

    void dialogBackground_data();
    void dialogBackground();
    void dialogBackgroundOnPartialRepaint();
};

void tst_KitWindows::titleBarButtonsByFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("min");
    QTest::addColumn<bool>("max");
    QTest::addColumn<bool>("close");

    QTest::newRow("none") << 0 << false << false << false;
    QTest::newRow("close only") << int(CloseButton) << false << false << true;
    QTest::newRow("all three") << (MinButton | MaxButton | CloseButton) << true << true << true;
    QTest::newRow("min and close") << (MinButton | CloseButton) << true << false << true;
    QTest::newRow("message box bits only")
        << (OkButton | CancelButton | OkAllButton) << false << false << false;
}

void tst_KitWindows::titleBarButtonsByFlags()
{
    QFETCH(int, flags);
    QFETCH(bool, min);
    QFETCH(bool, max);
    QFETCH(bool, close);

    Captioned c;
    c.window.show();
    QVERIFY(c.bar->minButton()->isVisible() && c.bar->maxButton()->isVisible() &&
            c.bar->closeButton()->isVisible());
    c.bar->setButtons(flags);
    const std::pair<vbPushButton*, bool> expected[] = {
        {c.bar->minButton(), min}, {c.bar->maxButton(), max}, {c.bar->closeButton(), close}};
    for (const auto& [button, on] : expected) {
        QCOMPARE(button->isVisible(), on);
        QCOMPARE(button->isEnabled(), on);
    }
    // Turning them back on works too.
    c.bar->setButtons(MinButton | MaxButton | CloseButton);
    QVERIFY(c.bar->minButton()->isVisible() && c.bar->maxButton()->isVisible() &&
            c.bar->closeButton()->isVisible());
}

void tst_KitWindows::titleBarMaxRestoreAndClose()
{
    Captioned c;
    c.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.window));
    QCOMPARE(c.bar->height(), 30);
    // Right-aligned, in the order minimise, maximise, close.
    QVERIFY(c.bar->minButton()->x() < c.bar->maxButton()->x());
    QVERIFY(c.bar->maxButton()->x() < c.bar->closeButton()->x());
    QCOMPARE(c.bar->closeButton()->geometry().right(), c.bar->width() - 1);
    QCOMPARE(c.bar->closeButton()->size(), QSize(25, 20));

    QTest::mouseClick(c.bar->maxButton(), Qt::LeftButton);
    QVERIFY(c.bar->isMaximised());
    QTRY_VERIFY(c.window.windowState() & Qt::WindowMaximized);
    QVERIFY(shows(c.bar->maxButton(), QStringLiteral("normal.png"), QStringLiteral("normal_hover.png")));

    QTest::mouseClick(c.bar->maxButton(), Qt::LeftButton);
    QVERIFY(!c.bar->isMaximised());
    QTRY_VERIFY(!(c.window.windowState() & Qt::WindowMaximized));
    QVERIFY(shows(c.bar->maxButton(), QStringLiteral("max.png"), QStringLiteral("max_hover.png")));

    QSignalSpy closed(c.bar, &vbTitleBar::Closed);
    QTest::mouseClick(c.bar->closeButton(), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    QVERIFY(c.window.isVisible()); // closing is the owner's business

    QTest::mouseClick(c.bar->minButton(), Qt::LeftButton);
    QTRY_VERIFY(c.window.windowState() & Qt::WindowMinimized);
}

void tst_KitWindows::titleBarDrag()
{
    if (vbWindowDrag::systemMoveRequired())
        QSKIP("the window system moves windows here");
    Captioned c;
    c.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.window));
    const QPoint start = c.window.pos();

    QTest::mousePress(c.bar, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(c.bar, QPoint(50, 40));
    QTRY_COMPARE(c.window.pos(), start + QPoint(40, 30));
    QTest::mouseRelease(c.bar, Qt::LeftButton, {}, QPoint(10, 10));

    // A double-click does nothing on the bar.
    QTest::mouseDClick(c.bar, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!c.bar->isMaximised());
    QVERIFY(!(c.window.windowState() & Qt::WindowMaximized));

    // While maximised the window stays put.
    c.bar->showMaxRestore();
    QTRY_VERIFY(c.window.windowState() & Qt::WindowMaximized);
    const QPoint maximised = c.window.pos();
    QTest::mousePress(c.bar, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(c.bar, QPoint(80, 60));
    QTest::mouseRelease(c.bar, Qt::LeftButton, {}, QPoint(80, 60));
    QCOMPARE(c.window.pos(), maximised);
}

void tst_KitWindows::titleBarPaint()
{
    QWidget owner;
    vbTitleBar bar(&owner);
    bar.resize(200, 30);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    bar.setFont(font);
    QPalette palette = bar.palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    bar.setPalette(palette);
    bar.setButtons(0);

    // Gradient from top to bottom.
    const QImage empty = bar.grab().toImage();
    QVERIFY(near(empty.pixel(100, 0), QColor(244, 253, 253)));
    QVERIFY(near(empty.pixel(100, 29), QColor(208, 229, 247)));
    QVERIFY(near(empty.pixel(100, 15), QColor(226, 241, 250)));

    bar.setTitle(QStringLiteral("HH"));
    QCOMPARE(bar.title(), QStringLiteral("HH"));
    const QImage titled = bar.grab().toImage();
    int left = titled.width(), lowest = -1;
    for (int y = 0; y < titled.height(); ++y)
        for (int x = 0; x < titled.width(); ++x)
            if (qGray(titled.pixel(x, y)) < 80) {
                left = qMin(left, x);
                lowest = qMax(lowest, y);
            }
    // "H" sits on the baseline (y = 25) and starts just right of x = 5.
    QCOMPARE(lowest, 24);
    QVERIFY2(left >= 5 && left <= 7, qPrintable(QString::number(left)));
}

void tst_KitWindows::systemMoveOnlyWhereWindowsCannotPlaceThemselves_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("systemMove");

    QTest::newRow("wayland") << "wayland" << true;
    QTest::newRow("wayland-egl") << "wayland-egl" << true;
    QTest::newRow("xcb") << "xcb" << false;
    QTest::newRow("windows") << "windows" << false;
    QTest::newRow("cocoa") << "cocoa" << false;
    QTest::newRow("offscreen") << "offscreen" << false;
}

void tst_KitWindows::systemMoveOnlyWhereWindowsCannotPlaceThemselves()
{
    QFETCH(QString, platform);
    QFETCH(bool, systemMove);
    QCOMPARE(vbWindowDrag::systemMoveRequired(platform), systemMove);
}

void tst_KitWindows::messageBoxButtons_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("okAll");
    QTest::addColumn<bool>("cancel");

    QTest::newRow("notice") << 8 << true << false << false;
    QTest::newRow("question") << 24 << true << false << true;
    QTest::newRow("ok all") << 40 << true << true << false;
    QTest::newRow("cancel only") << 16 << false << false << true;
}

void tst_KitWindows::messageBoxButtons()
{
    QFETCH(int, flags);
    QFETCH(bool, ok);
    QFETCH(bool, okAll);
    QFETCH(bool, cancel);

    vbMessageBox box(flags, QStringLiteral("Tips"), QStringLiteral("Photo name can't be empty!"));
    box.show();
    QCOMPARE(box.btnOK->isVisible(), ok);
    QCOMPARE(box.btnOKAll->isVisible(), okAll);
    QCOMPARE(box.btnCancel->isVisible(), cancel);
    // Message boxes never show the caption buttons.
    QVERIFY(!box.widget->minButton()->isVisible());
    QVERIFY(!box.widget->maxButton()->isVisible());
    QVERIFY(!box.widget->closeButton()->isVisible());
    QCOMPARE(box.widget->title(), QStringLiteral("Tips"));
    QCOMPARE(box.label->text(), QStringLiteral("Photo name can't be empty!"));
    QVERIFY(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(shows(box.btnOK, QStringLiteral("ok.png"), QStringLiteral("ok_hover.png")));
    QVERIFY(shows(box.btnCancel, QStringLiteral("cancel.png"), QStringLiteral("cancel_hover.png")));
}

void tst_KitWindows::messageBoxResults_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");

    QTest::newRow("notice ok") << 8 << "ok" << 1;
    QTest::newRow("notice escape") << 8 << "escape" << 0;
    QTest::newRow("question ok") << 24 << "ok" << 1;
    QTest::newRow("question cancel") << 24 << "cancel" << 0;
    QTest::newRow("question escape") << 24 << "escape" << 0;
    QTest::newRow("question right-click ok") << 24 << "right ok" << 1;
    QTest::newRow("ok all") << 40 << "okall" << 1;
}

void tst_KitWindows::messageBoxResults()
{
    QFETCH(int, flags);
    QFETCH(QString, action);
    QFETCH(int, result);

    QWidget parent;
    parent.show();
    vbMessageBox box(flags, QStringLiteral("Tips"), QStringLiteral("Do you want upload photos next time?"),
                     &parent);
    QTimer::singleShot(0, &box, [&] {
        if (action == QLatin1String("ok"))
            QTest::mouseClick(box.btnOK, Qt::LeftButton);
        else if (action == QLatin1String("right ok"))
            QTest::mouseClick(box.btnOK, Qt::RightButton);
        else if (action == QLatin1String("okall"))
            QTest::mouseClick(box.btnOKAll, Qt::LeftButton);
        else if (action == QLatin1String("cancel"))
            QTest::mouseClick(box.btnCancel, Qt::LeftButton);
        else
            QTest::keyClick(&box, Qt::Key_Escape);
    });
    // A box that never closes would hang here; make that a failure instead.
    QTimer::singleShot(5000, &box, [&] { box.done(-1); });
    QCOMPARE(box.exec(), result);
}

void tst_KitWindows::messageBoxButtonImages_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("okChanged");
    QTest::addColumn<bool>("cancelChanged");

    QTest::newRow("ok") << 8 << true << false;
    QTest::newRow("cancel") << 16 << false << true;
    QTest::newRow("ok all") << 32 << false << false;
    QTest::newRow("both bits") << 24 << false << false;
    QTest::newRow("zero") << 0 << false << false;
}

void tst_KitWindows::messageBoxButtonImages()
{
    QFETCH(int, which);
    QFETCH(bool, okChanged);
    QFETCH(bool, cancelChanged);

    vbMessageBox box(24, QStringLiteral("Tips"), QStringLiteral("Do you want upload photos next time?"));
    box.setButtonImages(which, QStringLiteral(":/Resources/autoLoad.png"),
                        QStringLiteral(":/Resources/autoLoad_hover.png"));
    const QString ok = okChanged ? QStringLiteral("autoLoad") : QStringLiteral("ok");
    const QString cancel = cancelChanged ? QStringLiteral("autoLoad") : QStringLiteral("cancel");
    QVERIFY(shows(box.btnOK, ok + QStringLiteral(".png"), ok + QStringLiteral("_hover.png")));
    QVERIFY(shows(box.btnCancel, cancel + QStringLiteral(".png"), cancel + QStringLiteral("_hover.png")));
}

void tst_KitWindows::toolPanelNormalToggles()
{
    QWidget window;
    auto* panel = new vbToolPanel(&window);
    window.resize(900, 88);
    window.show();
    QSignalSpy spy(panel, &vbToolPanel::showMax);

    QTest::mouseClick(panel->btnNormal, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QVERIFY(panel->isMaximised());
    QVERIFY(shows(panel->btnNormal, QStringLiteral("normal.png"), QStringLiteral("normal_hover.png")));
    // The panel only asks; the window reacts to showMax itself.
    QVERIFY(!(window.windowState() & Qt::WindowMaximized));

    QTest::mouseClick(panel->btnNormal, Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
    QVERIFY(!panel->isMaximised());
    QVERIFY(shows(panel->btnNormal, QStringLiteral("max.png"), QStringLiteral("max_hover.png")));
}

void tst_KitWindows::toolPanelDoubleClick()
{
    QWidget window;
    auto* panel = new vbToolPanel(&window);
    window.resize(900, 88);
    panel->resize(900, 88);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Somewhere on the panel itself, not on one of its children.
    QPoint spot(-1, -1);
    for (int x = 210; x < panel->width() && spot.x() < 0; x += 5)
        if (!panel->childAt(x, 80))
            spot = QPoint(x, 80);
    QVERIFY(spot.x() >= 0);

    QSignalSpy spy(panel, &vbToolPanel::showMax);
    QTest::mouseDClick(panel, Qt::LeftButton, {}, spot);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QTest::mouseDClick(panel, Qt::LeftButton, {}, spot);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
}

void tst_KitWindows::toolPanelMinimisesAndDrags()
{
    if (vbWindowDrag::systemMoveRequired())
        QSKIP("the window system moves windows here");
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    auto* panel = new vbToolPanel(&window);
    window.setGeometry(50, 60, 900, 300);
    panel->setGeometry(0, 0, 900, 88);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(300, 80));
    QTest::mouseMove(panel, QPoint(320, 90));
    QTRY_COMPARE(window.pos(), QPoint(70, 70));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(320, 90));

    panel->slot_normal(); // maximised state: dragging does nothing
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(300, 80));
    QTest::mouseMove(panel, QPoint(400, 85));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(400, 85));
    QCOMPARE(window.pos(), QPoint(70, 70));

    QTest::mouseClick(panel->btnMin, Qt::LeftButton);
    QTRY_VERIFY(window.windowState() & Qt::WindowMinimized);
}

void tst_KitWindows::toolPanelViewModeMenu()
{
    QWidget window;
    vbToolPanel panel(&window);
    QMenu* menu = panel.viewModeMenu();
    QCOMPARE(panel.btnViewMode->menu(), menu);
    QCOMPARE(menu->parent(), &panel);

    const QList<QAction*> actions = menu->actions();
    const QList<QAction*> named = {panel.actionSmallIcon(), panel.actionBigIcon(), panel.actionList(),
                                   panel.actionPlay()};
    QCOMPARE(actions, named);
    const QStringList texts = {QStringLiteral("Samll Icon mode"), QStringLiteral("Big Icon mode"),
                               QStringLiteral("List mode"), QStringLiteral("Play mode")};
    const bool checkable[] = {true, true, true, false};
    const bool checked[] = {true, false, false, false};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(actions.at(i)->text(), texts.at(i));
        QCOMPARE(actions.at(i)->isCheckable(), checkable[i]);
        QCOMPARE(actions.at(i)->isChecked(), checked[i]);
        QVERIFY(!actions.at(i)->actionGroup());
    }

    QCOMPARE(panel.lblSelectCount->text(), QStringLiteral("You have no select photo!"));
    QCOMPARE(panel.lblCreate->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(panel.lblCreate->font().underline());
    QVERIFY(!panel.lblLogo->pixmap().isNull());
    QCOMPARE(panel.lblLogo->size(), QSize(200, 45));
}

void tst_KitWindows::statusBarStartsWithoutRemoveAll()
{
    QWidget window;
    auto* bar = new vbStatusBar(&window);
    window.show();
    QVERIFY(!bar->lblDeleteAll->isVisible());
    QVERIFY(bar->btnUpload->isVisible());
    QVERIFY(shows(bar->btnUpload, QStringLiteral("upload.png"), QStringLiteral("upload_hover.png")));
    QVERIFY(shows(bar->btnClose, QStringLiteral("close.png"), QStringLiteral("close_hover.png")));
    QCOMPARE(bar->lblDeleteAll->text(), QStringLiteral("Remove All"));
    bar->lblDeleteAll->show();
    QSignalSpy spy(bar->lblDeleteAll, &vbClickLabel::Clicked);
    QTest::mouseClick(bar->lblDeleteAll, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

void tst_KitWindows::dialogBackground_data()
{
    QTest::addColumn<int>("inset");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("filled");

    QTest::newRow("below the title bar") << 31 << QPoint(100, 100) << true;
    QTest::newRow("first row below the bar") << 31 << QPoint(100, 31) << true;
    QTest::newRow("left edge") << 31 << QPoint(0, 100) << false;
    QTest::newRow("right edge") << 31 << QPoint(199, 100) << false;
    QTest::newRow("bottom edge") << 31 << QPoint(100, 149) << false;
    QTest::newRow("inset 1: top row") << 1 << QPoint(100, 0) << false;
    QTest::newRow("inset 1: just below it") << 1 << QPoint(100, 1) << true;
}

void tst_KitWindows::dialogBackground()
{
    QFETCH(int, inset);
    QFETCH(QPoint, at);
    QFETCH(bool, filled);

    vbKitDialog dialog(nullptr, inset);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    dialog.setPalette(palette);
    dialog.resize(200, 150);
    QVERIFY(dialog.windowFlags().testFlag(Qt::Dialog));
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(dialog.windowFlags().testFlag(Qt::CustomizeWindowHint));
    const QImage shot = dialog.grab().toImage();
    QCOMPARE(QColor(shot.pixel(at)), filled ? vbKit::dialogBackground() : QColor(10, 20, 30));
}

void tst_KitWindows::dialogBackgroundOnPartialRepaint()
{
    // A repaint of a small area in the middle (behind a child, say) must not
    // leave a band of window colour at the top of that area.
    vbKitDialog dialog;
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    dialog.setPalette(palette);
    dialog.resize(200, 150);
    QImage image(200, 150, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const QRect area(50, 60, 40, 40);
    dialog.render(&image, area.topLeft(), QRegion(area));
    QCOMPARE(QColor(image.pixel(area.topLeft())), vbKit::dialogBackground());
    QCOMPARE(QColor(image.pixel(area.bottomRight())), vbKit::dialogBackground());
}

QTEST_MAIN(tst_KitWindows)
#include "tst_kitwindows.moc"
