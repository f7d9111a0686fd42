// The canvas: output composition, overlays through zoom, turns and crops,
// crop drags through the view, and states for undo.
#include "vbBaseItem.h"
#include "vbCanvasScene.h"
#include "vbCanvasView.h"
#include "vbImageItem.h"
#include "vbTextItem.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_Canvas : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void renderKeepsFullResolution();
    void renderTurnedPhoto_data();
    void renderTurnedPhoto();
    void overlaysStayOnThePhoto_data();
    void overlaysStayOnThePhoto();
    void renderMatchesTheCanvas();
    void renderTextLines();
    void cropCutsAndCentres();
    void cropDragThroughTheView();
    void removeSelected();
    void nothingWithoutPhoto();
    void stateRoundTrip();

private:
    QString elementFile(const QSize& size, QColor colour);
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_Canvas::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString tst_Canvas::elementFile(const QSize& size, QColor colour)
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

void tst_Canvas::renderKeepsFullResolution()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(800, 400), Qt::blue));
    scene.zoomTo(0.25, 0.25);
    QCOMPARE(scene.sceneRect(), QRectF(-100, -50, 200, 100));
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(40, 40), Qt::red));
    QCOMPARE(element->scaleX(), 0.25);
    // Where the user sees it: 50 units right of the photo's left edge, 25 below its top.
    const QRectF photo = scene.photoItem()->sceneBoundingRect();
    const QRectF seen = element->sceneBoundingRect();
    element->moveBy(photo.left() + 50 - seen.left(), photo.top() + 25 - seen.top());

    const QImage out = scene.renderImage();
    QCOMPARE(out.size(), QSize(800, 400));
    QVERIFY(near(out.pixel(198, 120), Qt::blue));
    QVERIFY(near(out.pixel(201, 120), Qt::red));
    QVERIFY(near(out.pixel(238, 120), Qt::red));
    QVERIFY(near(out.pixel(242, 120), Qt::blue));
    QVERIFY(near(out.pixel(220, 98), Qt::blue));
    QVERIFY(near(out.pixel(220, 102), Qt::red));
}

void tst_Canvas::renderTurnedPhoto_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("markAt");
    // A red mark in the photo's top-left corner goes round with the turn.
    QTest::newRow("right") << 90 << QSize(200, 300) << QPoint(195, 5);
    QTest::newRow("left") << -90 << QSize(200, 300) << QPoint(5, 295);
    QTest::newRow("half") << 180 << QSize(300, 200) << QPoint(295, 195);
}

void tst_Canvas::renderTurnedPhoto()
{
    QFETCH(int, angle);
    QFETCH(QPoint, markAt);
    QImage photo = filled(QSize(300, 200), Qt::blue);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            photo.setPixel(x, y, qRgb(255, 0, 0));
    vbCanvasScene scene;
    scene.setPhoto(photo);
    scene.rotatePhoto(angle);
    scene.zoomTo(0.5, 0.5);
    const QImage out = scene.renderImage();
    QTEST(out.size(), "size");
    QVERIFY(near(out.pixel(markAt), Qt::red));
}

void tst_Canvas::overlaysStayOnThePhoto_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("zoom out") << "zoom";
    QTest::newRow("turn right") << "turn";
    QTest::newRow("turn left then zoom") << "turn-zoom";
}

void tst_Canvas::overlaysStayOnThePhoto()
{
    QFETCH(QString, action);
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(1000, 600), Qt::white));
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(100, 60), Qt::green));
    element->setPos(250, 120);
    vbTextItem* text = scene.addTextOverlay(QStringLiteral("Hello"), QFont(), Qt::yellow);
    text->setPos(-400, -250);
    // Photo pixels under each overlay's centre, and the overlay's size in photo pixels.
    auto onPhoto = [&](QGraphicsItem* item) {
        const QPointF c = item->mapToScene(item->boundingRect().center());
        return scene.photoItem()->mapFromScene(c);
    };
    auto widthOnPhoto = [&](QGraphicsItem* item) {
        return item->sceneBoundingRect().width() / scene.photoItem()->sceneBoundingRect().width();
    };
    const QPointF elementBefore = onPhoto(element);
    const QPointF textBefore = onPhoto(text);
    const double widthBefore = widthOnPhoto(element);

    if (action.startsWith("turn")) {
        scene.rotatePhoto(action == "turn" ? 90 : -90);
        QCOMPARE(element->angle(), action == "turn" ? 90 : -90);
    }
    if (action.endsWith("zoom"))
        scene.zoomTo(0.4, 0.4);

    QVERIFY((onPhoto(element) - elementBefore).manhattanLength() < 1.0);
    QVERIFY((onPhoto(text) - textBefore).manhattanLength() < 1.0);
    if (action == "zoom")
        QVERIFY(qAbs(widthOnPhoto(element) - widthBefore) < 1e-9);
}

void tst_Canvas::renderMatchesTheCanvas()
{
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
    // Its length along its own turned axis: 80 x (0.75 / 0.5) = 120 photo pixels.
    const QPointF end = QImage::trueMatrix(QTransform().rotate(90), 900, 500)
                            .map(scene.photoItem()->mapFromScene(element->mapToScene(QPointF(78, 20))));
    QVERIFY(near(out.pixel(end.toPoint()), Qt::red));
    QLineF along(expected, end);
    QVERIFY(qAbs(along.length() - 38 * 1.5) < 2.0);
}

void tst_Canvas::renderTextLines()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(600, 400), Qt::black));
    QFont font;
    font.setPixelSize(40);
    vbTextItem* text = scene.addTextOverlay(QStringLiteral("Line one\nLine two"), font, Qt::white);
    text->setPos(-300, -200);
    const QImage out = scene.renderImage();
    // Rows with text: two bands, one per line, not one long line.
    QList<int> rows;
    for (int y = 0; y < out.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < out.width() && !ink; ++x)
            ink = qGray(out.pixel(x, y)) > 128;
        rows.append(ink ? 1 : 0);
    }
    int bands = 0;
    for (int y = 1; y < rows.size(); ++y)
        bands += (rows[y] == 1 && rows[y - 1] == 0) ? 1 : 0;
    QCOMPARE(bands, 2);
    // No text ink right of what one line needs.
    int rightmost = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (qGray(out.pixel(x, y)) > 128)
                rightmost = qMax(rightmost, x);
    QVERIFY(rightmost < QFontMetrics(font).horizontalAdvance(QStringLiteral("Line one")) + 20);
}

void tst_Canvas::cropCutsAndCentres()
{
    vbCanvasScene scene;
    QImage photo = filled(QSize(1000, 800), Qt::white);
    photo.setPixel(500, 400, qRgb(255, 0, 0));
    scene.setPhoto(photo);
    scene.zoomTo(0.5, 0.5);
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(10, 10), Qt::green));
    element->setPos(100, 50);
    const QPointF elementOnPhoto = scene.photoItem()->mapFromScene(element->sceneBoundingRect().center());
    scene.beginRazor();
    QVERIFY(scene.isRazorMode());
    QCOMPARE(scene.photoItem()->razorRect(), QRectF(100, 80, 800, 640));
    scene.setRazorAspect(1.5f);
    QCOMPARE(scene.photoItem()->razorRect(), QRectF(25, 83.5, 950, 633));
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

void tst_Canvas::cropDragThroughTheView()
{
    vbCanvasScene scene;
    vbCanvasView view;
    view.setCanvas(&scene);
    scene.setView(nullptr); // no size dialog: the test sets the ratio itself
    scene.setPhoto(filled(QSize(400, 300), Qt::white));
    view.resize(520, 420);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    scene.beginRazor();
    scene.setRazorAspect(4.0f / 3.0f); // (10, 7.5, 380, 285)
    vbImageItem* photo = scene.photoItem();
    auto at = [&](QPointF p) { return view.mapFromScene(photo->mapToScene(p)); };

    // Hover over the left edge near the top-left corner: the horizontal cursor.
    QTest::mouseMove(view.viewport(), at(QPointF(12, 9.5)));
    QTRY_COMPARE(photo->cursor().shape(), Qt::SizeHorCursor);

    // Inside drag: left by 30 (only 10 possible, so x stays), down by 5.
    const QRectF start = photo->razorRect();
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at(QPointF(200, 150)));
    QTest::mouseMove(view.viewport(), at(QPointF(170, 155)));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at(QPointF(170, 155)));
    QCOMPARE(photo->razorRect().x(), start.x());
    QVERIFY(qAbs(photo->razorRect().y() - (start.y() + 5)) <= 1.0);
}

void tst_Canvas::removeSelected()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(100, 100), Qt::white));
    QCOMPARE(scene.removeSelected(), 0);
    QVERIFY(scene.photoItem());
    scene.addTextOverlay(QStringLiteral("a"), QFont(), Qt::red);
    scene.addTextOverlay(QStringLiteral("b"), QFont(), Qt::red);
    QCOMPARE(scene.overlays().size(), 2);
    QCOMPARE(scene.removeSelected(), 1); // only the newest is selected
    QCOMPARE(scene.overlays().size(), 1);
    QVERIFY(!scene.selectedBaseItem());
}

void tst_Canvas::nothingWithoutPhoto()
{
    vbCanvasScene scene;
    QCOMPARE(scene.scaleX(), 1.0);
    QVERIFY(scene.renderImage().isNull());
    scene.zoomTo(0.5, 0.5);
    scene.beginRazor();
    QVERIFY(!scene.isRazorMode());
    // Later items stack above earlier ones.
    const int a = nextZ();
    QVERIFY(nextZ() > a);
}

void tst_Canvas::stateRoundTrip()
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

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
