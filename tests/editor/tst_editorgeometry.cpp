// The pure rules of the editor: crop rectangle, print sizes, zoom and turns.
#include "vbCanvasScene.h"
#include "vbImageItem.h"
#include "vbRazorDialog.h"
#include "vbRazorGeometry.h"
#include "vbZoom.h"

#include <QtTest>

class tst_EditorGeometry : public QObject
{
    Q_OBJECT
private slots:
    void cropAspect_data();
    void cropAspect();
    void drag_data();
    void drag();
    void bigEnough_data();
    void bigEnough();
    void zoomText_data();
    void zoomText();
    void zoomStepsAndFit();
    void turns();
};

static const QRectF picture(0, 0, 1000, 800);
static const QRectF frame(100, 80, 800, 640); // the initial crop of picture

void tst_EditorGeometry::cropAspect_data()
{
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QRectF>("expected");
    // Fitted into 95% of the bounds, limited by the width or by the height.
    QTest::newRow("wide") << picture << 1.5 << QRectF(25, 83.5, 950, 633);
    QTest::newRow("tall") << picture << 1.0 / 1.5 << QRectF(247, 20, 506, 760);
    QTest::newRow("square") << QRectF(0, 0, 600, 600) << 1.0 << QRectF(15, 15, 570, 570);
}

void tst_EditorGeometry::cropAspect()
{
    QFETCH(QRectF, bounds);
    QFETCH(double, ratio);
    QCOMPARE(vbRazor::initialRect(picture), frame);
    QTEST(vbRazor::aspectRect(bounds, ratio), "expected");
}

void tst_EditorGeometry::drag_data()
{
    QTest::addColumn<QString>("edge"); // empty: a drag inside the frame
    QTest::addColumn<QRectF>("start");
    QTest::addColumn<QPointF>("delta");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QRectF>("expected");
    // Edge drags keep the ratio and re-centre; past the picture they do nothing.
    QTest::newRow("left in") << "left" << frame << QPointF(50, 0) << 1.25 << true
                             << QRectF(125, 100, 750, 600);
    QTest::newRow("left out") << "left" << frame << QPointF(-101, 0) << 1.25 << false << frame;
    QTest::newRow("too high shrinks")
        << "right" << frame << QPointF(100, 0) << 0.8 << true << QRectF(180, 0, 640, 800);
    QTest::newRow("bottom out") << "bottom" << frame << QPointF(0, 81) << 1.25 << false << frame;
    QTest::newRow("left crosses right") << "left" << frame << QPointF(850, 0) << 1.25 << false << frame;
    // Inside drags move; the part that would leave the picture is dropped.
    QTest::newRow("move") << "" << frame << QPointF(-30, 20) << 1.25 << true << QRectF(70, 100, 800, 640);
    QTest::newRow("move at left") << "" << QRectF(20, 80, 800, 640) << QPointF(-20, 15) << 1.25 << true
                                  << QRectF(20, 95, 800, 640);
}

void tst_EditorGeometry::drag()
{
    QFETCH(QString, edge);
    QFETCH(QRectF, start);
    QFETCH(QPointF, delta);
    QFETCH(double, ratio);
    vbRazor::Zones z;
    z.outer = true;
    z.left = edge == "left";
    z.right = edge == "right";
    z.top = edge == "top";
    z.bottom = edge == "bottom";
    QTEST(vbRazor::drag(picture, start, ratio, z, delta), "applied");
    QTEST(start, "expected");
}

void tst_EditorGeometry::bigEnough_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<bool>("expected");
    QTest::newRow("too small for 6S") << 1 << true << QSize(1024, 768) << false;
    QTest::newRow("long side only") << 1 << true << QSize(2000, 100) << true;
    QTest::newRow("vertical, one short") << 0 << false << QSize(600, 800) << false;
    QTest::newRow("vertical, exact") << 0 << false << QSize(601, 800) << true;
    QTest::newRow("no size chosen") << -1 << true << QSize(9000, 9000) << false;
}

void tst_EditorGeometry::bigEnough()
{
    QFETCH(int, index);
    QFETCH(bool, horizontal);
    QFETCH(QSize, photo);
    QTEST(vbRazorDialog::isBigEnough(index, horizontal, photo), "expected");
}

void tst_EditorGeometry::zoomText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("known");
    QTest::addColumn<double>("factor");
    QTest::newRow("typed 35") << "35" << true << 0.35;
    QTest::newRow("below 10%") << "5%" << true << double(0.1f);
    QTest::newRow("above 200%") << "300%" << true << 2.0;
    QTest::newRow("not a number") << "abc" << false << 0.0;
}

void tst_EditorGeometry::zoomText()
{
    QFETCH(QString, text);
    double got = 0;
    QTEST(vbZoom::factorForText(text, &got), "known");
    QTEST(got, "factor");
}

void tst_EditorGeometry::zoomStepsAndFit()
{
    double s = 1.0;
    for (int i = 0; i < 5; ++i)
        s = vbZoom::stepped(s, true);
    QCOMPARE(vbZoom::percentText(s), QStringLiteral("150%"));
    for (int i = 0; i < 10; ++i)
        s = vbZoom::stepped(s, true);
    QCOMPARE(s, 2.0);
    for (int i = 0; i < 25; ++i)
        s = vbZoom::stepped(s, false);
    QCOMPARE(s, double(0.1f));
    // Fitting never enlarges.
    QCOMPARE(vbZoom::scaleFor(QSize(800, 600), QSizeF(2400, 1800)), QPointF(1.0, 1.0));
    QCOMPARE(vbZoom::scaleFor(QSize(800, 600), QSizeF(280, 210)), QPointF(0.35, 0.35));
}

void tst_EditorGeometry::turns()
{
    // Stored angles stay within one turn; the item turns about its centre.
    vbImageItem item;
    item.setImage(QImage(100, 50, QImage::Format_RGB32));
    item.setAngle(450);
    QCOMPARE(item.angle(), 90);
    QCOMPARE(item.displaySize(), QSize(50, 100));
    for (int a : {-90, -180, -270, -360})
        item.setAngle(a);
    QCOMPARE(item.angle(), 0);
    QCOMPARE(item.displaySize(), QSize(100, 50));
    QCOMPARE(item.mapToScene(QPointF(50, 25)), QPointF(50, 25));

    vbCanvasScene scene;
    scene.setPhoto(QImage(1000, 600, QImage::Format_RGB32));
    QCOMPARE(scene.sceneRect(), QRectF(-500, -300, 1000, 600));
    scene.rotatePhoto(90);
    scene.zoomTo(0.5, 0.5);
    // The turned, zoomed photo covers exactly the scene rectangle.
    QCOMPARE(scene.sceneRect(), QRectF(-150, -250, 300, 500));
    QCOMPARE(scene.photoItem()->sceneBoundingRect(), QRectF(-150, -250, 300, 500));
}

QTEST_MAIN(tst_EditorGeometry)
#include "tst_editorgeometry.moc"
