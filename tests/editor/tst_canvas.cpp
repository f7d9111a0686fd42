// The canvas: output composition through zoom, turns and crops, and states for undo.
#include "vbBaseItem.h"
#include "vbCanvasScene.h"
#include "vbImageItem.h"
#include "vbTextItem.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_Canvas : public QObject
{
    Q_OBJECT
private slots:
    void renderKeepsFullResolution();
    void renderMatchesTheCanvas();
    void cropCutsAndCentres();
    void stateRoundTrip();

private:
    QString elementFile(const QSize& size, QColor colour);
    QTemporaryDir m_dir;
    int m_files = 0;
};

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
    // At full size the 40x40 element covers (200, 100) to (240, 140).
    for (auto [x, y, c] : {std::tuple{198, 120, Qt::blue},
                           {201, 120, Qt::red},
                           {238, 138, Qt::red},
                           {242, 120, Qt::blue},
                           {220, 98, Qt::blue},
                           {220, 142, Qt::blue}})
        QVERIFY2(near(out.pixel(x, y), c), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void tst_Canvas::renderMatchesTheCanvas()
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

void tst_Canvas::cropCutsAndCentres()
{
    vbCanvasScene scene;
    scene.setPhoto(filled(QSize(1000, 800), Qt::white));
    scene.zoomTo(0.5, 0.5);
    vbImageItem* element = scene.addElementOverlay(elementFile(QSize(10, 10), Qt::green));
    element->setPos(100, 50);
    const QPointF elementOnPhoto = scene.photoItem()->mapFromScene(element->sceneBoundingRect().center());
    scene.beginRazor();
    QVERIFY(scene.isRazorMode());
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
