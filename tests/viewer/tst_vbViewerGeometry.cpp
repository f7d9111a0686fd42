#include "vbFitRect.h"
#include "vbFittedImage.h"
#include "vbFullScreen.h"
#include "vbPaintWnd.h"
#include "vbShowImage.h"
#include "vbTestPhotos.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// Where pictures are drawn and placed: fitting, the hover preview's spot,
// decoding only when needed, unreadable files and oriented photos.
class tst_vbViewerGeometry : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:

    void fitRect_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide photo on a wide area")
            << QSize(4000, 3000) << QSize(1000, 700) << QRect(33, 0, 933, 700);
        QTest::newRow("small photo is not enlarged")
            << QSize(640, 480) << QSize(1000, 700) << QRect(180, 110, 640, 480);
        QTest::newRow("panorama") << QSize(6000, 1000) << QSize(1000, 700) << QRect(0, 267, 1000, 166);
        // Touching one side already counts as not fitting: scaled to exactly the area.
        QTest::newRow("same width") << QSize(1000, 300) << QSize(1000, 700) << QRect(0, 200, 1000, 300);
        QTest::newRow("empty picture") << QSize(0, 0) << QSize(1000, 700) << QRect();
        QTest::newRow("empty area") << QSize(640, 480) << QSize(0, 0) << QRect();
    }

    void fitRect()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QFETCH(QRect, expected);
        QCOMPARE(vbFitRect(picture, area), expected);
    }

    void previewPlacement_data()
    {
        QTest::addColumn<QRect>("tile");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1280, 800);
        QTest::newRow("right of the tile")
            << QRect(100, 100, 130, 150) << QSize(244, 162) << screen << QPoint(234, 100);
        QTest::newRow("left when the right is short")
            << QRect(1100, 100, 130, 150) << QSize(244, 162) << screen << QPoint(852, 100);
        QTest::newRow("raised above the task bar")
            << QRect(100, 700, 130, 150) << QSize(244, 162) << QRect(0, 0, 1280, 760) << QPoint(234, 598);
        QTest::newRow("tile partly above the screen")
            << QRect(100, -60, 130, 150) << QSize(162, 244) << screen << QPoint(234, 0);
        QTest::newRow("no room on either side")
            << QRect(40, 100, 200, 150) << QSize(244, 162) << QRect(0, 0, 260, 800) << QPoint(16, 100);
        QTest::newRow("second screen, left when the right is short")
            << QRect(2150, 100, 130, 150) << QSize(244, 162) << QRect(1280, 0, 1024, 768)
            << QPoint(1902, 100);
    }

    void previewPlacement()
    {
        QFETCH(QRect, tile);
        QFETCH(QSize, size);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        const QRect placed = vbShowImage::placement(tile, size, available);
        QCOMPARE(placed.topLeft(), expected);
        QCOMPARE(placed.size(), size);
        // Wherever it goes, a pop-up that fits the screen stays whole on it.
        if (size.width() <= available.width() && size.height() <= available.height())
            QVERIFY(available.contains(placed));
    }

    void decodesOnlyWhenFileOrAreaChange()
    {
        const QString path = m_dir.filePath(QStringLiteral("cached.jpg"));
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(800, 600)));
        vbFittedImage picture;
        QRect target;
        QCOMPARE(picture.image(path, QSize(400, 400), &target).size(), QSize(400, 300));
        QCOMPARE(target, QRect(0, 50, 400, 300));
        picture.image(path, QSize(400, 400));
        QCOMPARE(picture.decodeCount(), 1);
        picture.image(path, QSize(200, 200), &target);
        QCOMPARE(picture.decodeCount(), 2);
        QCOMPARE(target, QRect(0, 25, 200, 150));

        // An edit replaces the file under the same name: the next paint shows the new picture.
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(300, 600)));
        QCOMPARE(picture.image(path, QSize(200, 200), &target).size(), QSize(100, 200));
        QCOMPARE(picture.decodeCount(), 3);
        QCOMPARE(target, QRect(50, 0, 100, 200));

        QVERIFY(QFile::remove(path)); // a deleted file is not drawn from memory
        QVERIFY(picture.image(path, QSize(200, 200), &target).isNull());
        QCOMPARE(target, QRect());
    }

    void unreadableFilesLeaveBlack_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not an image") << QByteArray("plain text, not a photo");
        // A JPEG that stops after its first header segment.
        QTest::newRow("truncated jpeg") << QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000");
    }

    void unreadableFilesLeaveBlack()
    {
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(QStringLiteral("bad_%1.jpg").arg(QTest::currentDataTag()));
        QFile file(path);
        QVERIFY(content.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(content) > 0));
        file.close();
        QImage canvas(60, 40, QImage::Format_RGB32);
        canvas.fill(Qt::green);
        QPainter painter(&canvas);
        vbFittedImage().paint(painter, canvas.rect(), path);
        painter.end();
        for (const QPoint point : {QPoint(0, 0), QPoint(30, 20), QPoint(59, 39)})
            QCOMPARE(canvas.pixelColor(point), QColor(Qt::black));
    }

    void orientedPhotosDrawUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("fullScreen");
        for (int orientation = 1; orientation <= 8; ++orientation) {
            QTest::addRow("slideshow, orientation %d", orientation) << orientation << false;
            QTest::addRow("full screen, orientation %d", orientation) << orientation << true;
        }
    }

    void orientedPhotosDrawUpright()
    {
        QFETCH(int, orientation);
        QFETCH(bool, fullScreen);
        // Taken upright at 300 x 400; in a 200 x 200 view it fills 150 x 200 in the middle.
        const QImage upright = vbTestPhotos::quarters(QSize(300, 400));
        const QString path = m_dir.filePath(QStringLiteral("oriented_%1.jpg").arg(orientation));
        QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, orientation));

        vbFullScreen full;
        vbPaintWnd window;
        full.setImagePath(path);
        window.setImagePath(path);
        QWidget* view = fullScreen ? static_cast<QWidget*>(&full) : &window;
        view->resize(200, 200);
        const QImage shot = view->grab().toImage();
        QCOMPARE(shot.pixelColor(10, 100), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(190, 100), QColor(Qt::black));
        QCOMPARE(vbTestPhotos::quarterColours(shot.copy(25, 0, 150, 200)),
                 vbTestPhotos::quarterColours(upright));
    }
};

QTEST_MAIN(tst_vbViewerGeometry)
#include "tst_vbViewerGeometry.moc"
