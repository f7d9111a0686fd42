// The pure rules of the editor: crop rectangle, print sizes, zoom steps, item
// angles and the scene rectangle.
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
    void cropStart();
    void cropAspect_data();
    void cropAspect();
    void hitZones_data();
    void hitZones();
    void dragEdges_data();
    void dragEdges();
    void dragInside_data();
    void dragInside();
    void bigEnough_data();
    void bigEnough();
    void printSizes();
    void zoomText_data();
    void zoomText();
    void zoomSteps();
    void displaySize_data();
    void displaySize();
    void angleStored_data();
    void angleStored();
    void sceneRectAfterZoom();
};

static const QRectF picture(0, 0, 1000, 800);

void tst_EditorGeometry::cropStart()
{
    QCOMPARE(vbRazor::initialRect(picture), QRectF(100, 80, 800, 640));
}

void tst_EditorGeometry::cropAspect_data()
{
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QRectF>("expected");
    // 1000 x 666.67 fitted into 950 x 760.
    QTest::newRow("wide on 1000x800") << picture << 1.5 << QRectF(25, 83.5, 950, 633);
    // 1000 x 1500 fitted into 950 x 760: the height limits.
    QTest::newRow("tall on 1000x800") << picture << 1.0 / 1.5 << QRectF((1000 - 506) * 0.5, 20, 506, 760);
    QTest::newRow("square on 600x600") << QRectF(0, 0, 600, 600) << 1.0 << QRectF(15, 15, 570, 570);
}

void tst_EditorGeometry::cropAspect()
{
    QFETCH(QRectF, bounds);
    QFETCH(double, ratio);
    QFETCH(QRectF, expected);
    QCOMPARE(vbRazor::aspectRect(bounds, ratio), expected);
}

void tst_EditorGeometry::hitZones_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("outer");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("top");
    QTest::addColumn<bool>("bottom");
    QTest::addColumn<int>("cursor");
    // Crop rectangle (100, 80, 800, 640).
    QTest::newRow("3 inside left, 2 below top")
        << QPointF(103, 82) << true << true << false << true << false << int(Qt::SizeHorCursor);
    QTest::newRow("3 left of left, 2 below top")
        << QPointF(97, 82) << true << true << false << false << false << int(Qt::SizeHorCursor);
    QTest::newRow("top edge only") << QPointF(500, 78) << true << false << false << true << false
                                   << int(Qt::SizeVerCursor);
    QTest::newRow("bottom-right corner")
        << QPointF(898, 718) << true << false << true << false << true << int(Qt::SizeHorCursor);
    QTest::newRow("inside") << QPointF(500, 400) << true << false << false << false << false
                            << int(Qt::SizeAllCursor);
    QTest::newRow("outside") << QPointF(50, 50) << false << false << false << false << false
                             << int(Qt::ArrowCursor);
}

void tst_EditorGeometry::hitZones()
{
    QFETCH(QPointF, point);
    const vbRazor::Zones z = vbRazor::hitZones(QRectF(100, 80, 800, 640), point);
    QTEST(z.outer, "outer");
    QTEST(z.left, "left");
    QTEST(z.right, "right");
    QTEST(z.top, "top");
    QTEST(z.bottom, "bottom");
    QTEST(int(vbRazor::cursorFor(z)), "cursor");
}

void tst_EditorGeometry::dragEdges_data()
{
    QTest::addColumn<QString>("edge");
    QTest::addColumn<QPointF>("delta");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QRectF>("expected");
    // From (100, 80, 800, 640) at ratio 1.25: edge drags keep the ratio and re-centre.
    QTest::newRow("left inwards") << "left" << QPointF(50, 0) << 1.25 << true << QRectF(125, 100, 750, 600);
    QTest::newRow("left past the picture")
        << "left" << QPointF(-101, 0) << 1.25 << false << QRectF(100, 80, 800, 640);
    QTest::newRow("right outwards") << "right" << QPointF(50, 0) << 1.25 << true << QRectF(75, 60, 850, 680);
    QTest::newRow("right past the picture")
        << "right" << QPointF(101, 0) << 1.25 << false << QRectF(100, 80, 800, 640);
    // At a tall ratio the grown rectangle is too high and shrinks to fit.
    QTest::newRow("right too high shrinks to fit")
        << "right" << QPointF(100, 0) << 0.8 << true << QRectF(180, 0, 640, 800);
    QTest::newRow("top inwards") << "top" << QPointF(0, 40) << 1.25 << true << QRectF(125, 100, 750, 600);
    QTest::newRow("bottom past the picture")
        << "bottom" << QPointF(0, 81) << 1.25 << false << QRectF(100, 80, 800, 640);
    QTest::newRow("left through the right edge")
        << "left" << QPointF(850, 0) << 1.25 << false << QRectF(100, 80, 800, 640);
}

void tst_EditorGeometry::dragEdges()
{
    QFETCH(QString, edge);
    QFETCH(QPointF, delta);
    vbRazor::Zones edges;
    edges.outer = true;
    edges.left = edge == "left";
    edges.right = edge == "right";
    edges.top = edge == "top";
    edges.bottom = edge == "bottom";
    QFETCH(double, ratio);
    QRectF r(100, 80, 800, 640);
    QTEST(vbRazor::drag(picture, r, ratio, edges, delta), "applied");
    QTEST(r, "expected");
}

void tst_EditorGeometry::dragInside_data()
{
    QTest::addColumn<QRectF>("start");
    QTest::addColumn<QPointF>("delta");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("free move") << QRectF(100, 80, 800, 640) << QPointF(-30, 20) << QRectF(70, 100, 800, 640);
    // Toward the left edge: x would reach 0, so only the vertical part applies.
    QTest::newRow("stops at the left edge")
        << QRectF(20, 80, 800, 640) << QPointF(-20, 15) << QRectF(20, 95, 800, 640);
    QTest::newRow("stops at the bottom edge")
        << QRectF(100, 80, 800, 640) << QPointF(10, 80) << QRectF(110, 80, 800, 640);
}

void tst_EditorGeometry::dragInside()
{
    QFETCH(QRectF, start);
    QFETCH(QPointF, delta);
    vbRazor::Zones inside;
    inside.outer = true;
    QVERIFY(vbRazor::drag(picture, start, 1.25, inside, delta));
    QTEST(start, "expected");
}

void tst_EditorGeometry::bigEnough_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1024x768 for 6S") << 1 << true << QSize(1024, 768) << false;
    QTest::newRow("1024x768 for 5S") << 0 << true << QSize(1024, 768) << true;
    QTest::newRow("2000x100 for 6S") << 1 << true << QSize(2000, 100) << true;
    QTest::newRow("600x800 vertical 5S") << 0 << false << QSize(600, 800) << false;
    QTest::newRow("601x800 vertical 5S") << 0 << false << QSize(601, 800) << true;
    QTest::newRow("2048x1953 for 16S") << 7 << true << QSize(2048, 1953) << false;
    QTest::newRow("2048x1954 for 18S") << 8 << true << QSize(2048, 1954) << true;
    QTest::newRow("no size chosen") << -1 << true << QSize(9000, 9000) << false;
    QTest::newRow("past the list") << 13 << true << QSize(9000, 9000) << false;
}

void tst_EditorGeometry::bigEnough()
{
    QFETCH(int, index);
    QFETCH(bool, horizontal);
    QFETCH(QSize, photo);
    QTEST(vbRazorDialog::isBigEnough(index, horizontal, photo), "expected");
}

void tst_EditorGeometry::printSizes()
{
    QCOMPARE(vbRazorDialog::sizeCount(), 13);
    QCOMPARE(QString::fromLatin1(vbRazorDialog::sizeName(0)), QStringLiteral("5S"));
    QCOMPARE(vbRazorDialog::sizeRatio(0), 1.4285715f);
    QCOMPARE(QString::fromLatin1(vbRazorDialog::sizeName(12)), QStringLiteral("40S"));
    QCOMPARE(vbRazorDialog::sizeRatio(12), 1.3333334f);
    QCOMPARE(vbRazorDialog::sizeMinimum(9), QSize(2048, 1953));
    QCOMPARE(vbRazorDialog::sizeMinimum(10), QSize(3600, 2400));
}

void tst_EditorGeometry::zoomText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("known");
    QTest::addColumn<double>("factor");
    QTest::newRow("10%") << "10%" << true << double(0.1f);
    QTest::newRow("150%") << "150%" << true << 1.5;
    QTest::newRow("typed 35") << "35" << true << 0.35;
    QTest::newRow("typed 5%") << "5%" << true << double(0.1f);
    QTest::newRow("typed 300%") << "300%" << true << 2.0;
    QTest::newRow("typed 12.5%%") << "12.5%%" << true << 0.125;
    QTest::newRow("not a number") << "abc" << false << 0.0;
}

void tst_EditorGeometry::zoomText()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    double got = 0;
    QTEST(vbZoom::factorForText(text, &got), "known");
    QCOMPARE(got, factor);
}

void tst_EditorGeometry::zoomSteps()
{
    double s = 1.0;
    for (int i = 0; i < 5; ++i)
        s = vbZoom::stepped(s, true);
    QCOMPARE(vbZoom::percentText(s), QStringLiteral("150%"));
    for (int i = 0; i < 10; ++i)
        s = vbZoom::stepped(s, true);
    QCOMPARE(s, 2.0);
    QCOMPARE(vbZoom::percentText(s), QStringLiteral("200%"));
    QCOMPARE(vbZoom::percentText(1.1), QStringLiteral("110%"));
    s = 0.3;
    for (int i = 0; i < 5; ++i)
        s = vbZoom::stepped(s, false);
    QCOMPARE(s, double(0.1f));
    // Fitting never enlarges: 300% of a photo shows it at 1.0.
    QCOMPARE(vbZoom::scaleFor(QSize(800, 600), QSizeF(2400, 1800)), QPointF(1.0, 1.0));
    QCOMPARE(vbZoom::scaleFor(QSize(800, 600), QSizeF(280, 210)), QPointF(0.35, 0.35));
}

void tst_EditorGeometry::displaySize_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("0") << 0 << QSize(1000, 600);
    QTest::newRow("90") << 90 << QSize(600, 1000);
    QTest::newRow("180") << 180 << QSize(1000, 600);
    QTest::newRow("-90") << -90 << QSize(600, 1000);
    QTest::newRow("-180") << -180 << QSize(1000, 600);
    QTest::newRow("270") << 270 << QSize(600, 1000);
}

void tst_EditorGeometry::displaySize()
{
    QFETCH(int, angle);
    vbImageItem item;
    item.setImage(QImage(1000, 600, QImage::Format_RGB32));
    item.setAngle(angle);
    QTEST(item.displaySize(), "expected");
}

void tst_EditorGeometry::angleStored_data()
{
    QTest::addColumn<QList<int>>("turns");
    QTest::addColumn<int>("stored");
    QTest::newRow("450") << QList<int>{450} << 90;
    QTest::newRow("-90") << QList<int>{-90} << -90;
    QTest::newRow("four lefts") << QList<int>{-90, -180, -270, -360} << 0;
    QTest::newRow("five rights") << QList<int>{90, 180, 270, 360, 450} << 90;
}

void tst_EditorGeometry::angleStored()
{
    QFETCH(QList<int>, turns);
    vbImageItem item;
    item.setImage(QImage(100, 50, QImage::Format_RGB32));
    for (int a : turns)
        item.setAngle(a);
    QTEST(item.angle(), "stored");
    // The transform follows the turns: the item's centre never moves.
    QCOMPARE(item.mapToScene(QPointF(50, 25)), QPointF(50, 25));
}

void tst_EditorGeometry::sceneRectAfterZoom()
{
    vbCanvasScene scene;
    scene.setPhoto(QImage(1000, 600, QImage::Format_RGB32));
    QCOMPARE(scene.sceneRect(), QRectF(-500, -300, 1000, 600));
    scene.rotatePhoto(90);
    QCOMPARE(scene.photoDisplaySize(), QSize(600, 1000));
    scene.zoomTo(0.5, 0.5);
    QCOMPARE(scene.sceneRect(), QRectF(-150, -250, 300, 500));
    // The turned, zoomed photo covers exactly the scene rectangle.
    QCOMPARE(scene.photoItem()->sceneBoundingRect(), QRectF(-150, -250, 300, 500));
}

QTEST_MAIN(tst_EditorGeometry)
#include "tst_editorgeometry.moc"
