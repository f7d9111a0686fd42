// The editor's rules (crop rectangle, print sizes, zoom, turns) and the canvas:
// output composition through zoom, turns and crops, and states for undo.
#include "vbBaseItem.h"
#include "vbCanvasScene.h"
#include "vbImageItem.h"
#include "vbRazorDialog.h"
#include "vbRazorGeometry.h"
#include "vbTextItem.h"
#include "vbZoom.h"

#include <QTemporaryDir>
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
    void renderKeepsFullResolution();
    void renderMatchesTheCanvas();
    void cropCutsAndCentres();
    void stateRoundTrip();

private:
    QString elementFile(const QSize& size, QColor colour);
    QTemporaryDir m_dir;
    int m_files = 0;
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
    QTest::addColumn<QPointF>("delta");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QRectF>("expected");
    // Edge drags keep the ratio and re-centre; past the picture they do nothing.
    QTest::newRow("left in") << "left" << QPointF(50, 0) << 1.25 << true << QRectF(125, 100, 750, 600);
    QTest::newRow("left out") << "left" << QPointF(-101, 0) << 1.25 << false << frame;
    QTest::newRow("too high shrinks")
        << "right" << QPointF(100, 0) << 0.8 << true << QRectF(180, 0, 640, 800);
    QTest::newRow("left crosses right") << "left" << QPointF(850, 0) << 1.25 << false << frame;
    // Inside drags move; the part that would reach the picture's edge is dropped.
    QTest::newRow("move") << "" << QPointF(-30, 20) << 1.25 << true << QRectF(70, 100, 800, 640);
    QTest::newRow("move to the left edge")
        << "" << QPointF(-100, 20) << 1.25 << true << QRectF(100, 100, 800, 640);
    QTest::newRow("move to the bottom") << "" << QPointF(10, 80) << 1.25 << true << QRectF(110, 80, 800, 640);
}

void tst_EditorGeometry::drag()
{
    QFETCH(QString, edge);
    QFETCH(QPointF, delta);
    QFETCH(double, ratio);
    vbRazor::Zones z;
    z.outer = true;
    z.left = edge == "left";
    z.right = edge == "right";
    QRectF r = frame;
    QTEST(vbRazor::drag(picture, r, ratio, z, delta), "applied");
    QTEST(r, "expected");
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
    QTest::newRow("vertical, one more") << 0 << false << QSize(601, 800) << true;
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
    // Stored angles stay within one turn; the turned, zoomed photo covers the scene rectangle.
    vbImageItem item;
    item.setImage(QImage(100, 50, QImage::Format_RGB32));
    item.setAngle(450);
    QCOMPARE(item.angle(), 90);
    QCOMPARE(item.displaySize(), QSize(50, 100));
    item.setAngle(-360);
    QCOMPARE(item.angle(), 0);
    vbCanvasScene scene;
    scene.setPhoto(QImage(1000, 600, QImage::Format_RGB32));
    scene.rotatePhoto(90);
    scene.zoomTo(0.5, 0.5);
    QCOMPARE(scene.sceneRect(), QRectF(-150, -250, 300, 500));
    QCOMPARE(scene.photoItem()->sceneBoundingRect(), QRectF(-150, -250, 300, 500));
}

QString tst_EditorGeometry::elementFile(const QSize& size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = m_dir.filePath(QStringLiteral("element%1.png").arg(++m_files));
    image.save(path);
    return path;
}

static QImage filled(const QSize& size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

static bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 8 && qAbs(qGreen(a) - b.green()) < 8 && qAbs(qBlue(a) - b.blue()) < 8;
}

void tst_EditorGeometry::renderKeepsFullResolution()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(800, 400), Qt::blue));
    scene.zoomTo(0.25, 0.25);
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(40, 40), Qt::red));
    // Where the user sees it: 50 units right of the photo's left edge, 25 below its top.
    const QRectF photo = scene.photoItem()->sceneBoundingRect();
    const QRectF seen = element->sceneBoundingRect();
    element->moveBy(photo.left() + 50 - seen.left(), photo.top() + 25 - seen.top());

    const QImage out = scene.renderImage();
    QCOMPARE(out.size(), QSize(800, 400));
    // At full size the 40x40 element covers (200, 100) to (240, 140).
    for (QPoint p : {QPoint(201, 120), QPoint(238, 138)})
        QVERIFY(near(out.pixel(p), Qt::red));
    for (QPoint p : {QPoint(198, 120), QPoint(242, 120), QPoint(220, 98), QPoint(220, 142)})
        QVERIFY(near(out.pixel(p), Qt::blue));
}

void tst_EditorGeometry::renderMatchesTheCanvas()
{
    // A zoomed, turned, scaled overlay on a turned photo lands where the canvas shows it.
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(900, 500), Qt::white));
    scene.zoomTo(0.5, 0.5);
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(80, 40), Qt::red));
    element->setPos(60, -80);
    element->setAngle(30);
    element->setItemScale(0.75, 0.75);
    scene.rotatePhoto(90);
    scene.zoomTo(0.3, 0.3);
    const QImage out = scene.renderImage();
    QCOMPARE(out.size(), QSize(500, 900));
    // The overlay's centre, through the photo's own pixels, into the turned output.
    const QPointF onPhoto =
        scene.photoItem()->mapFromScene(element->mapToScene(element->boundingRect().center()));
    const QPointF expected = QImage::trueMatrix(QTransform().rotate(90), 900, 500).map(onPhoto);
    QVERIFY(near(out.pixel(expected.toPoint()), Qt::red));
}

void tst_EditorGeometry::cropCutsAndCentres()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(1000, 800), Qt::white));
    scene.zoomTo(0.5, 0.5);
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(10, 10), Qt::green));
    element->setPos(100, 50);
    const QPointF elementOnPhoto = scene.photoItem()->mapFromScene(element->sceneBoundingRect().center());
    scene.beginRazor();
    scene.setRazorAspect(1.5f); // frame (25, 83.5, 950, 633)
    scene.endRazor(true);
    QVERIFY(!scene.isRazorMode());
    QCOMPARE(scene.photoItem()->image().size(), QSize(950, 633));
    QCOMPARE(scene.sceneRect(), QRectF(-237, -158, 475, 316));
    // Centred on the origin, and the overlay still on the same photo pixels.
    QVERIFY(scene.photoItem()->sceneBoundingRect().center().manhattanLength() < 1.0);
    const QPointF after = scene.photoItem()->mapFromScene(element->sceneBoundingRect().center());
    QVERIFY((after - (elementOnPhoto - QPointF(25, 84))).manhattanLength() < 1.0);

    // Cancelled crops leave the picture alone.
    scene.beginRazor();
    scene.endRazor(false);
    QCOMPARE(scene.photoItem()->image().size(), QSize(950, 633));
}

void tst_EditorGeometry::stateRoundTrip()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(600, 400), Qt::white));
    vbTextItem* text =
        scene.addTextOverlay(QStringLiteral("Date"), QFont(QStringLiteral("Sans"), 20), Qt::cyan);
    text->setPos(30, 40);
    text->setAngle(30);
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(20, 20), Qt::red));
    element->setItemScale(1.5, 1.5);
    const vbSceneState saved = scene.snapshot();
    const QImage before = scene.renderImage();

    scene.rotatePhoto(90);
    scene.removeSelected();
    scene.restore(saved);
    QCOMPARE(scene.overlays().size(), 2);
    QCOMPARE(scene.photoAngle(), 0);
    QCOMPARE(scene.renderImage(), before);
    QVERIFY(scene.selectedBaseItem()); // the element was selected

    // Restored at another zoom: the overlays follow the zoom shown now.
    scene.zoomTo(0.5, 0.5);
    scene.restore(saved);
    QCOMPARE(scene.scaleX(), 0.5);
    QCOMPARE(scene.renderImage(), before);
}

QTEST_MAIN(tst_EditorGeometry)
#include "tst_editorgeometry.moc"
