// The editor: the dialog on a real photo node, its element library, its rules and the canvas.
#include "_loadThread.h"
#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbCanvasScene.h"
#include "vbCavas.h"
#include "vbFileNode.h"
#include "vbImageItem.h"
#include "vbModalAnswer.h"
#include "vbPushButton.h"
#include "vbRazorDialog.h"
#include "vbRazorGeometry.h"
#include "vbTestPhotos.h"
#include "vbTestUi.h"
#include "vbZoom.h"

#include <QTcpServer>
#include <QtTest>
#include <QtWidgets>
#include <memory>

using vbTestUi::click;

namespace {

const QRectF kPicture(0, 0, 1000, 800);
const QRectF kFrame(100, 80, 800, 640); // the initial crop of kPicture

QImage filled(const QSize& size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A picture file, relative to the current folder.
QString writePicture(const QString& path, QColor colour, const QSize& size = QSize(30, 20))
{
    QDir().mkpath(QFileInfo(path).path());
    return filled(size, colour).save(path) ? QFileInfo(path).absoluteFilePath() : QString();
}

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 8 && qAbs(qGreen(a) - b.green()) < 8 && qAbs(qBlue(a) - b.blue()) < 8;
}

} // namespace

class tst_Editor : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<vbFileNode> m_node;
    QString m_photo;

    // The editor on m_photo (written first when size is given), once its picture arrived.
    std::unique_ptr<vbCavas> openEditor(const QSize& size = {})
    {
        if (size.isValid() && !vbTestPhotos::writeJpeg(m_photo, size))
            return nullptr;
        m_node = std::make_unique<vbFileNode>();
        m_node->setLoader(m_loader.get());
        m_node->setFileInfo(QFileInfo(m_photo));
        auto editor = std::make_unique<vbCavas>(m_node.get());
        editor->resize(1100, 700);
        editor->show();
        editor->activateWindow();
        if (!QTest::qWaitForWindowActive(editor.get()) ||
            !QTest::qWaitFor([&] { return editor->scene()->hasPhoto(); }, 5000))
            return nullptr;
        return editor;
    }
    QString saved() const { return vbCavas::outputPath(m_node.get()); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_loader = std::make_unique<_loadThread>();
        m_photo = m_dir->filePath(QStringLiteral("holiday.jpg"));
    }
    void cleanup()
    {
        m_node.reset();
        m_loader.reset();
        QDir::setCurrent(m_oldCurrent);
        m_dir.reset();
    }

    void okCropsThenSaves()
    {
        auto editor = openEditor(QSize(1000, 800));
        QVERIFY(editor);
        QVERIFY(m_node->bigImage().isNull()); // the editor has the picture; the node drops its copy
        vbModalAnswer answers;
        answers.expect<vbRazorDialog>([](vbRazorDialog* d) {
            d->comboBox->setCurrentIndex(1); // 6S across
            click(d->btnOk);
        });
        click(editor->btnRazor);
        // The first Ok cuts and leaves the editor open; the second saves.
        click(editor->btnOk);
        QVERIFY(!editor->scene()->isRazorMode() && editor->isVisible());
        const QString output = saved();
        // Full quality up to 1 MiB of photo file: the source file's size, not the picture's.
        QCOMPARE(vbCavas::outputQuality(1048576), 100);
        QCOMPARE(vbCavas::outputQuality(1048577), 80);
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(100);
        QVERIFY(writer.write(editor->scene()->renderImage()));
        click(editor->btnOk);
        QCOMPARE(editor->result(), int(QDialog::Accepted));
        QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(output).absoluteFilePath());
        QCOMPARE(m_node->sourcePath(), QFileInfo(m_photo).absoluteFilePath());
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
        QCOMPARE(QImage(output).size(), QSize(950, 633));
        QCOMPARE(saved(), output); // a second edit writes to the same file
    }

    void okBeforeThePicture()
    {
        QVERIFY(vbTestPhotos::writeJpeg(m_photo, QSize(300, 200)));
        m_node = std::make_unique<vbFileNode>(); // no loader: the picture never comes
        m_node->setFileInfo(QFileInfo(m_photo));
        vbCavas editor(m_node.get());
        editor.show();
        click(editor.btnLeft);
        click(editor.btnRazor);
        QVERIFY(!editor.scene()->isRazorMode());
        click(editor.btnOk);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(saved()));
    }

    // Every orientation is the loader's business; the editor only has to use it.
    void orientedPhotoOpensUpright()
    {
        const QImage upright = vbTestPhotos::quarters(QSize(300, 400));
        vbTestPhotos::Exif exif;
        exif.make = QStringLiteral("Phone Maker");
        QVERIFY(vbTestPhotos::writeOrientedJpeg(m_photo, upright, 7, exif)); // turned and mirrored
        auto editor = openEditor();
        QVERIFY(editor);
        // Turned right and saved: upright pixels of the new shape, the EXIF saying so.
        click(editor->btnRight);
        click(editor->btnOk);
        QImageReader reader(saved());
        reader.setAutoTransform(false);
        const QImage stored = reader.read();
        QCOMPARE(stored.size(), QSize(400, 300));
        QCOMPARE(vbTestPhotos::quarterColours(stored),
                 vbTestPhotos::quarterColours(upright.transformed(QTransform().rotate(90))));
        const QMap<QString, QString> metadata = vbTestPhotos::metadata(saved());
        QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Make")), QStringLiteral("Phone Maker"));
        QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Orientation")), QStringLiteral("1"));
    }

    void undoRedo()
    {
        auto editor = openEditor(QSize(600, 400));
        QVERIFY(editor);
        vbCanvasScene* scene = editor->scene();
        const QImage original = scene->renderImage();
        vbModalAnswer answers;
        answers.expect<vbAddText>([](vbAddText* d) {
            QTest::keyClicks(d->textEdit, QStringLiteral("Summer"));
            click(d->btnOk);
        });
        click(editor->btnAddText);
        QCOMPARE(scene->overlays().size(), 1);
        click(editor->btnRight);

        click(editor->btnUndo);
        QCOMPARE(scene->photoAngle(), 0);
        QCOMPARE(scene->overlays().size(), 1);
        editor->activateWindow(); // the text dialog took the focus
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(scene->renderImage(), original);
        QVERIFY(!editor->btnUndo->isEnabled());
        click(editor->btnRedo);
        QTest::keyClick(editor.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(scene->photoAngle(), 90);
        QVERIFY(!editor->btnRedo->isEnabled());
        click(editor->btnOk); // saves what is shown
        QCOMPARE(QImage(saved()).size(), QSize(400, 600));
    }

    void elementImportKeepsExisting()
    {
        writePicture("Elements/Stars/a.png", Qt::red);
        const QStringList picked{writePicture("outside/a.png", Qt::blue),
                                 writePicture("outside/new.png", Qt::green)};
        vbAddElement dialog{vbEndpoints()};
        dialog.setFilePicker(
            [&](QWidget*, const QString&, const QString&, const QString&) { return picked; });
        dialog.show();
        click(dialog.btnImport);
        // The existing name keeps its picture; the new one is copied and listed.
        QCOMPARE(QImage("Elements/Stars/a.png").pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(dialog.listWidget->count(), 2);
        QCOMPARE(dialog.listWidget->item(1)->data(Qt::UserRole).toString(),
                 QDir::current().absoluteFilePath("Elements/Stars/new.png"));
    }

    // A failed download removes what it began, never an earlier download of the same day.
    void elementUpdate()
    {
        const QString today = "Elements/" + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        writePicture("Elements/Stars/a.png", Qt::red);
        writePicture(today + "/old.png", Qt::red);
        vbEndpoints nowhere;
        nowhere.setUpdateFtp(QStringLiteral("127.0.0.1"));
        {
            QTcpServer server; // a port nobody listens on any more
            QVERIFY(server.listen(QHostAddress::LocalHost));
            nowhere.setFtpPort(server.serverPort());
        }
        vbAddElement dialog(nowhere);
        dialog.show();
        click(dialog.btnUpdate);
        QVERIFY(dialog.isDownloading() && !dialog.btnUpdate->isEnabled()); // one download at a time
        QTRY_VERIFY(!dialog.isDownloading());
        QVERIFY(dialog.btnUpdate->isEnabled());
        QVERIFY(QFile::exists(today + "/old.png"));
    }

    void drag_data()
    {
        QTest::addColumn<QString>("edge"); // empty: a drag inside the frame
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QRectF>("expected");
        // Edge drags keep the ratio and re-centre; past the picture they do nothing.
        QTest::newRow("left in") << "left" << QPointF(50, 0) << 1.25 << true << QRectF(125, 100, 750, 600);
        QTest::newRow("left out") << "left" << QPointF(-101, 0) << 1.25 << false << kFrame;
        QTest::newRow("too high") << "right" << QPointF(100, 0) << 0.8 << true << QRectF(180, 0, 640, 800);
        QTest::newRow("left crosses right") << "left" << QPointF(850, 0) << 1.25 << false << kFrame;
        // Inside drags move; the part that would reach the picture's edge is dropped.
        QTest::newRow("move") << "" << QPointF(-30, 20) << 1.25 << true << QRectF(70, 100, 800, 640);
        QTest::newRow("to left edge")
            << "" << QPointF(-100, 20) << 1.25 << true << QRectF(100, 100, 800, 640);
        QTest::newRow("to bottom") << "" << QPointF(10, 80) << 1.25 << true << QRectF(110, 80, 800, 640);
    }
    void drag()
    {
        QFETCH(QString, edge);
        QFETCH(QPointF, delta);
        QFETCH(double, ratio);
        vbRazor::Zones z;
        z.outer = true;
        z.left = edge == "left";
        z.right = edge == "right";
        QRectF r = vbRazor::initialRect(kPicture); // kFrame, or the unchanged rows fail
        QTEST(vbRazor::drag(kPicture, r, ratio, z, delta), "applied");
        QTEST(r, "expected");
    }

    void bigEnough()
    {
        using D = vbRazorDialog;
        QVERIFY(!D::isBigEnough(1, true, QSize(1024, 768))); // 6S across
        QVERIFY(D::isBigEnough(1, true, QSize(2000, 100)));  // the long side alone counts
        QVERIFY(!D::isBigEnough(0, false, QSize(600, 800))); // upright, one pixel short
        QVERIFY(D::isBigEnough(0, false, QSize(601, 800)));
        QVERIFY(!D::isBigEnough(-1, true, QSize(9000, 9000))); // no size chosen
    }

    void zoomTextStepsAndFit()
    {
        const auto typed = [](const char* text) {
            double factor = -1;
            return vbZoom::factorForText(QString::fromLatin1(text), &factor) ? factor : -1.0;
        };
        QCOMPARE(typed("35"), 0.35);
        QCOMPARE(typed("5%"), double(0.1f)); // kept within 10% and 200%
        QCOMPARE(typed("300%"), 2.0);
        QCOMPARE(typed("abc"), -1.0);

        double s = 1.0;
        const auto step = [&s](int times, bool in) {
            while (times-- > 0)
                s = vbZoom::stepped(s, in);
            return s;
        };
        QCOMPARE(vbZoom::percentText(step(5, true)), QStringLiteral("150%"));
        QCOMPARE(step(10, true), 2.0);
        QCOMPARE(step(25, false), double(0.1f));
        // Fitting never enlarges.
        QCOMPARE(vbZoom::scaleFor(QSize(800, 600), QSizeF(2400, 1800)), QPointF(1.0, 1.0));
        QCOMPARE(vbZoom::scaleFor(QSize(800, 600), QSizeF(280, 210)), QPointF(0.35, 0.35));
    }

    // The output is the photo at full size whatever the zoom, with each overlay where the canvas shows it.
    void renderMatchesTheCanvas()
    {
        vbCanvasScene scene;
        scene.setPhoto(filled(QSize(800, 400), Qt::blue));
        scene.zoomTo(0.25, 0.25);
        vbImageItem* element = scene.addElementOverlay(writePicture("e.png", Qt::red, QSize(40, 40)));
        // Where the user sees it: 50 units right of the photo's left edge, 25 below its top.
        const QRectF photo = scene.photoItem()->sceneBoundingRect();
        const QRectF seen = element->sceneBoundingRect();
        element->moveBy(photo.left() + 50 - seen.left(), photo.top() + 25 - seen.top());
        QImage out = scene.renderImage();
        QCOMPARE(out.size(), QSize(800, 400));
        // At full size the 40x40 element covers (200, 100) to (240, 140).
        for (QPoint p : {QPoint(201, 120), QPoint(238, 138)})
            QVERIFY(near(out.pixel(p), Qt::red));
        for (QPoint p : {QPoint(198, 120), QPoint(242, 120), QPoint(220, 98), QPoint(220, 142)})
            QVERIFY(near(out.pixel(p), Qt::blue));

        // Turned and scaled, on a turned photo at another zoom: its centre through the photo's pixels.
        element->setAngle(390); // stored within one turn
        QCOMPARE(element->angle(), 30);
        element->setItemScale(0.75, 0.75);
        scene.rotatePhoto(90);
        scene.zoomTo(0.3, 0.3);
        QCOMPARE(scene.sceneRect(), QRectF(-60, -120, 120, 240)); // the turned photo at 0.3
        out = scene.renderImage();
        QCOMPARE(out.size(), QSize(400, 800));
        const QPointF onPhoto =
            scene.photoItem()->mapFromScene(element->mapToScene(element->boundingRect().center()));
        QVERIFY(near(out.pixel(QImage::trueMatrix(QTransform().rotate(90), 800, 400).map(onPhoto).toPoint()),
                     Qt::red));
    }

    void cropCutsAndCentres()
    {
        vbCanvasScene scene;
        scene.setPhoto(filled(QSize(1000, 800), Qt::white));
        scene.zoomTo(0.5, 0.5);
        vbImageItem* element = scene.addElementOverlay(writePicture("e.png", Qt::green, QSize(10, 10)));
        element->setPos(100, 50);
        const QPointF elementOnPhoto = scene.photoItem()->mapFromScene(element->sceneBoundingRect().center());
        scene.beginRazor();
        scene.setRazorAspect(1.5f); // frame (25, 83.5, 950, 633)
        scene.endRazor(true);
        QCOMPARE(scene.photoItem()->image().size(), QSize(950, 633));
        QCOMPARE(scene.sceneRect(), QRectF(-237, -158, 475, 316));
        // Centred on the origin, and the overlay still on the same photo pixels.
        QVERIFY(scene.photoItem()->sceneBoundingRect().center().manhattanLength() < 1.0);
        const QPointF after = scene.photoItem()->mapFromScene(element->sceneBoundingRect().center());
        QVERIFY((after - (elementOnPhoto - QPointF(25, 84))).manhattanLength() < 1.0);
        scene.beginRazor(); // cancelled crops leave the picture alone
        scene.endRazor(false);
        QCOMPARE(scene.photoItem()->image().size(), QSize(950, 633));
        // A tall frame is fitted into 95% of the bounds.
        QCOMPARE(vbRazor::aspectRect(kPicture, 1.0 / 1.5), QRectF(247, 20, 506, 760));
    }
};

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
