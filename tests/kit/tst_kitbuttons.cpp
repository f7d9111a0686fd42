// Click, hover and disabled rules of the image button and the click label,
// driven by mouse and crossing events the way a window system delivers them.

#include "vbClickLabel.h"
#include "vbPushButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

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

} // namespace

class tst_KitButtons : public QObject
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
};

QTEST_MAIN(tst_KitButtons)
#include "tst_kitbuttons.moc"
