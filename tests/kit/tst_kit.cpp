// The window kit and its bitmaps: click, hover and disabled rules of the image button and the click
// label, driven by mouse and crossing events the way a window system delivers them; caption strip,
// message box, tool panel and dialog background; every bitmap the programs name, in English and Chinese.
#include "KitButtonFlags.h"
#include "vbClickLabel.h"
#include "vbKitDialog.h"
#include "vbKitStyle.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"
#include "vbToolPanel.h"
#include "vbWindowDrag.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEnterEvent>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kOk = QStringLiteral(":/Resources/ok.png");
const QString kOkHover = QStringLiteral(":/Resources/ok_hover.png");

void enter(QWidget* w)
{
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QEnterEvent event(local, local, w->mapToGlobal(local));
    QApplication::sendEvent(w, &event);
}

void leave(QWidget* w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
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

const QLocale kChinese(QLocale::Chinese, QLocale::China);

QImage bitmap(const QString& name, const QLocale& locale)
{
    QLocale::setDefault(locale);
    return QImage(QStringLiteral(":/Resources/") + name);
}

bool captioned(const QString& name)
{
    static const QStringList bases = {"login",    "register",     "task",       "help",
                                      "viewMode", "ok",           "cancel",     "yes",
                                      "no",       "allYes",       "allNo",      "reUpload",
                                      "autoLoad", "noLoad",       "addPhoto",   "import",
                                      "download", "addTextDate",  "addElement", "removeTextDate",
                                      "upload",   "cancelUpload", "close",      "addPhotoBig",
                                      "undo",     "redo"};
    QString base = name;
    base.remove(QStringLiteral("_hover")).remove(QStringLiteral(".png"));
    return bases.contains(base) || name == QLatin1String("loading.png") ||
           name == QLatin1String("noSelectImage.PNG");
}

} // namespace

class tst_Kit : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Steps: E enter, L leave, D disable, N enable, C left click in the middle,
    // O press in the middle and release far outside, R right click.
    void hoverAndClickRules_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<int>("clicks");

        QTest::newRow("enter shows hover") << "E" << true << 0;
        QTest::newRow("disabled while over keeps hover") << "EDL" << true << 0;
        QTest::newRow("keeps it until re-enabled, entered and left") << "EDLNEL" << false << 0;
        QTest::newRow("enabled while over shows normal") << "DEN" << false << 0;
        QTest::newRow("until the pointer leaves and enters again") << "DENLE" << true << 0;
        QTest::newRow("disabled click") << "DC" << false << 0;
        QTest::newRow("press, move off, release") << "O" << false << 1;
        QTest::newRow("right click") << "R" << false << 1;
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
                c == 'E' ? enter(button) : leave(button);
            else if (c == 'D' || c == 'N')
                button->setEnabled(c == 'N');
            else if (c == 'C' || c == 'R')
                QTest::mouseClick(button, c == 'C' ? Qt::LeftButton : Qt::RightButton, {}, middle);
            else {
                QTest::mousePress(button, Qt::LeftButton, {}, middle);
                QTest::mouseMove(button, QPoint(250, 150));
                QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(250, 150));
            }
        }
        QCOMPARE(button->isHovered(), hovered);
        QCOMPARE(kitClicks.count(), clicks);
        // The toolkit's own click never fires: owners listen to Clicked() only.
        QCOMPARE(baseClicks.count(), 0);
        QVERIFY(!button->isDown());
    }

    void paintsTheImageOfItsState()
    {
        vbPushButton button(85, 25, kOk, kOkHover);
        button.setText(QStringLiteral("Ok")); // the form may set a text; it is never drawn
        const QImage normal = pixels(button.grab());
        QCOMPARE(normal, shown(kOk));
        enter(&button);
        QCOMPARE(pixels(button.grab()), shown(kOkHover));
        leave(&button);
        QCOMPARE(pixels(button.grab()), normal);
        button.setEnabled(false); // disabled looks faded
        QVERIFY(pixels(button.grab()).pixel(42, 12) != normal.pixel(42, 12));
        button.setEnabled(true);
        QCOMPARE(pixels(button.grab()), normal);
    }

    void setImages()
    {
        vbPushButton button(85, 25, kOk, kOkHover);
        enter(&button);
        button.setImages(QStringLiteral(":/Resources/cancel.png"), QString());
        QVERIFY(!button.isHovered()); // new images drop the hover state
        const QImage normal = pixels(button.grab());
        QCOMPARE(normal, shown(QStringLiteral(":/Resources/cancel.png")));
        enter(&button); // an empty hover path reuses the normal image
        QVERIFY(button.isHovered());
        QCOMPARE(pixels(button.grab()), normal);

        QWidget back; // a missing bitmap draws nothing over the background
        back.resize(40, 40);
        back.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(1, 2, 3));
        back.setPalette(palette);
        new vbPushButton(30, 20, QStringLiteral(":/Resources/no-such.png"), QString(), &back);
        QCOMPARE(QColor(back.grab().toImage().pixel(15, 10)), QColor(1, 2, 3));
    }

    // Any button clicks, even released outside; a disabled label does not.
    void clickLabel()
    {
        const std::tuple<bool, Qt::MouseButton, QPoint, int> cases[] = {
            {true, Qt::RightButton, QPoint(5, 5), 1},
            {true, Qt::LeftButton, QPoint(500, 5), 1},
            {false, Qt::LeftButton, QPoint(5, 5), 0}};
        for (const auto& [enabled, button, releaseAt, clicks] : cases) {
            vbClickLabel label;
            label.resize(100, 20);
            label.setEnabled(enabled);
            QSignalSpy spy(&label, &vbClickLabel::Clicked);
            QTest::mousePress(&label, button, {}, QPoint(5, 5));
            QTest::mouseRelease(&label, button, {}, releaseAt);
            QCOMPARE(spy.count(), clicks);
        }
    }

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

    void everyNamedBitmapExists()
    {
        // A typo or a bitmap nobody drew shows up here rather than as an empty button.
        const QDir source(qEnvironmentVariable("PV_SOURCE_DIR"));
        QVERIFY(source.exists(QStringLiteral("kit")));
        const QRegularExpression name(QStringLiteral(R"(:/+Resources/([A-Za-z0-9_]+\.(?:png|PNG)))"));
        int found = 0;
        QStringList missing;
        for (const char* folder :
             {"kit", "app", "service", "photos", "upload", "editor", "viewer", "update"}) {
            QDirIterator it(source.filePath(QLatin1String(folder)),
                            {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                for (auto m = name.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext(); ++found) {
                    const QString bitmap = m.next().captured(1);
                    if (QPixmap(QStringLiteral(":/Resources/") + bitmap).isNull())
                        missing << source.relativeFilePath(file.fileName()) + QStringLiteral(": ") + bitmap;
                }
            }
        }
        QVERIFY(found > 20);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
    }

    void everyBitmapInBothLocales()
    {
        const QDir resources(QStringLiteral(":/Resources"));
        const QStringList all = resources.entryList(QDir::Files);
        QVERIFY(all.size() > 60);
        for (const QString& name : all) {
            const QImage english = bitmap(name, QLocale::c());
            const QImage chinese = bitmap(name, kChinese);
            QVERIFY2(!english.isNull() && !chinese.isNull(), qPrintable(name));
            QCOMPARE(chinese.size(), english.size());
            QVERIFY2((chinese != english) == captioned(name), qPrintable(name));
            // Same button family: the corner and top edge are untouched by the caption.
            QCOMPARE(chinese.pixel(0, 0), english.pixel(0, 0));
            QCOMPARE(chinese.pixel(chinese.width() / 2, 1), english.pixel(english.width() / 2, 1));
            if (!name.contains(QLatin1String("_hover")))
                continue;
            for (const QLocale& locale : {QLocale::c(), kChinese}) {
                const QImage normal = bitmap(QString(name).remove(QStringLiteral("_hover")), locale);
                const QImage hover = bitmap(name, locale);
                QCOMPARE(normal.size(), hover.size());
                QVERIFY2(normal != hover, qPrintable(name));
            }
        }
        QLocale::setDefault(kChinese); // the Chinese listing names no file of its own
        QCOMPARE(resources.entryList(QDir::Files), all);
    }

    void chineseFollowsTheDefaultLocale()
    {
        const QImage english = bitmap(QStringLiteral("ok.png"), QLocale::c());
        const QImage chinese = bitmap(QStringLiteral("ok.png"), kChinese);
        for (const QLocale& locale :
             {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Chinese, QLocale::Taiwan)}) {
            const QImage got = bitmap(QStringLiteral("ok.png"), locale);
            QCOMPARE(got, locale.language() == QLocale::Chinese ? chinese : english);
            // The empty-scheme spelling some callers use resolves alike.
            QCOMPARE(QImage(QStringLiteral("://Resources/ok.png")), got);
        }
    }
};

QTEST_MAIN(tst_Kit)
#include "tst_kit.moc"
