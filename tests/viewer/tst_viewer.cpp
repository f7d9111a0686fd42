// The viewers: picture placement and decoding, the information sheet, full screen, hover preview, slideshow.
#include "_loadThread.h"
#include "vbFileNode.h"
#include "vbFitRect.h"
#include "vbFittedImage.h"
#include "vbFullScreen.h"
#include "vbPaintWnd.h"
#include "vbPhotoInfo.h"
#include "vbPlayer.h"
#include "vbPushButton.h"
#include "vbShowImage.h"
#include "vbTestPhotos.h"
#include "vbTestUi.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

using vbTestUi::formChild;

class tst_Viewer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    _loadThread m_loader;
    const QRect m_tile{100, 120, 130, 150};
    QList<vbFileNode*> m_nodes; // the slideshow's

    std::unique_ptr<vbFileNode> node(const QString& file)
    {
        auto node = std::make_unique<vbFileNode>();
        node->setFileInfo(QFileInfo(m_dir.filePath(file)));
        node->setLoader(&m_loader);
        // The loader answers on this thread's event loop.
        if (!node->requestThumbnail() ||
            !QTest::qWaitFor([&] { return node->sourceWidth() >= 0 && !node->isLoading(); }, 5000))
            return nullptr;
        return node;
    }
    static QString label(QWidget& form, const char* name) { return formChild<QLabel>(&form, name)->text(); }
    static void click(QWidget& form, const char* name)
    {
        vbTestUi::click(formChild<vbPushButton>(&form, name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Photos")));
        QVERIFY(
            vbTestPhotos::picture(QSize(64, 48)).save(m_dir.filePath(QStringLiteral("Photos/beach.png"))));
        const QString camera = m_dir.filePath(QStringLiteral("camera.jpg"));
        QVERIFY(vbTestPhotos::writeJpeg(camera, QSize(300, 200)));
        vbTestPhotos::Exif exif;
        exif.make = QStringLiteral("Canon");
        exif.model = QStringLiteral("Canon EOS 5D ");
        exif.dateTime = QStringLiteral("2008:07:14 09:30:05");
        QVERIFY(vbTestPhotos::writeExif(camera, exif));
        QVERIFY(vbTestPhotos::writeGarbage(m_dir.filePath(QStringLiteral("broken.jpg"))));
        for (const char* name : {"harbour.jpg", "beach.png", "trip.2008.jpeg"}) {
            const QString path = m_dir.filePath(QLatin1String(name));
            QVERIFY(vbTestPhotos::picture(QSize(320, 240)).save(path, name[0] == 'b' ? "PNG" : "JPG"));
            m_nodes.append(new vbFileNode);
            m_nodes.last()->setFileInfo(QFileInfo(path));
        }
    }
    void cleanupTestCase() { qDeleteAll(m_nodes); }

    void fitRect_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide photo on a wide area")
            << QSize(4000, 3000) << QSize(1000, 700) << QRect(33, 0, 933, 700);
        QTest::newRow("small photo is not enlarged")
            << QSize(640, 480) << QSize(1000, 700) << QRect(180, 110, 640, 480);
        QTest::newRow("empty picture") << QSize(0, 0) << QSize(1000, 700) << QRect();
    }
    void fitRect()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QTEST(vbFitRect(picture, area), "expected");
    }

    void previewPlacement_data()
    {
        QTest::addColumn<QRect>("tile");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1280, 800);
        const QSize wide(244, 162);
        QTest::newRow("right of the tile") << QRect(100, 100, 130, 150) << wide << screen << QPoint(234, 100);
        QTest::newRow("left when the right is short")
            << QRect(1100, 100, 130, 150) << wide << screen << QPoint(852, 100);
        QTest::newRow("raised above the task bar")
            << QRect(100, 700, 130, 150) << wide << QRect(0, 0, 1280, 760) << QPoint(234, 598);
        QTest::newRow("tile partly above the screen")
            << QRect(100, -60, 130, 150) << QSize(162, 244) << screen << QPoint(234, 0);
        QTest::newRow("no room on either side")
            << QRect(40, 100, 200, 150) << wide << QRect(0, 0, 260, 800) << QPoint(16, 100);
        QTest::newRow("second screen, left when the right is short")
            << QRect(2150, 100, 130, 150) << wide << QRect(1280, 0, 1024, 768) << QPoint(1902, 100);
    }
    void previewPlacement()
    {
        QFETCH(QRect, tile);
        QFETCH(QSize, size);
        QFETCH(QRect, available);
        QTEST(vbShowImage::placement(tile, size, available).topLeft(), "expected");
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
        picture.image(path, QSize(200, 200));
        QCOMPARE(picture.decodeCount(), 2);

        // An edit replaces the file under the same name: the next paint shows the new picture, the way
        // the camera held it (taken upright at 300 x 400, stored turned and mirrored).
        const QImage upright = vbTestPhotos::quarters(QSize(300, 400));
        QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, 5));
        QCOMPARE(vbTestPhotos::quarterColours(picture.image(path, QSize(200, 200), &target)),
                 vbTestPhotos::quarterColours(upright));
        QCOMPARE(target, QRect(25, 0, 150, 200));

        QVERIFY(QFile::remove(path)); // a deleted file is not drawn from memory
        QVERIFY(picture.image(path, QSize(200, 200), &target).isNull());
        QCOMPARE(target, QRect());
        // Nor is a JPEG that stops after its first header segment.
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(64, 64)) && QFile::resize(path, 20));
        QVERIFY(picture.image(path, QSize(200, 200)).isNull());
    }

    void infoSheetValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("values"); // name, size, date, company, model
        QTest::newRow("png without exif")
            << "Photos/beach.png" << QStringList{"beach.jpg", "64x48pix", "", "", ""};
        QTest::newRow("camera jpeg, texts as written")
            << "camera.jpg"
            << QStringList{"camera.jpg", "300x200pix", "2008:07:14 09:30:05", "Canon", "Canon EOS 5D "};
    }
    void infoSheetValues()
    {
        QFETCH(QString, file);
        auto photo = node(file);
        QVERIFY(photo);
        vbPhotoInfo info;
        info.setNode(photo.get());
        QStringList values;
        for (const char* name : {"lblName", "lblSize", "lblDate", "lblCompany", "lblModel"})
            values << label(info, name);
        QTEST(values, "values");
        info.setNode(nullptr); // no photo clears the values
        QCOMPARE(label(info, "lblSize"), QString());
    }

    void fullScreenClosesOnClick()
    {
        vbFullScreen view;
        view.setImagePath(m_dir.filePath(QStringLiteral("camera.jpg")));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(!view.isVisible());
        QCOMPARE(view.result(), int(QDialog::Accepted));
    }

    void previewShowsAndEnds()
    {
        auto photo = node(QStringLiteral("camera.jpg"));
        auto unreadable = node(QStringLiteral("broken.jpg"));
        QVERIFY(photo && unreadable);
        vbShowImage preview;
        // Nothing to show for an unreadable file, an unloaded node or none.
        for (vbFileNode* none : {unreadable.get(), m_nodes.at(0), static_cast<vbFileNode*>(nullptr)}) {
            preview.showFor(none, m_tile);
            QVERIFY(!preview.isVisible());
        }
        QSignalSpy hidden(&preview, &vbShowImage::sig_previewHidden);
        preview.setHideInterval(60000);
        preview.showFor(photo.get(), m_tile);
        QVERIFY(preview.isVisible());
        QCOMPARE(preview.size(), photo->thumbnail().size());
        QTest::mouseClick(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QVERIFY(!preview.isVisible() && !preview.node());
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden.at(0).at(0).value<vbFileNode*>(), photo.get());

        // Shown again for the next hover, it hides by itself.
        preview.setHideInterval(150);
        preview.showFor(photo.get(), m_tile);
        QVERIFY(hidden.wait(3000));
        QVERIFY(!preview.isVisible() && !preview.node());
        preview.showFor(photo.get(), m_tile);
        photo.reset(); // the photo is deleted while shown
        QVERIFY(!preview.isVisible() && !preview.node());
    }

    // N = Next, P = Pre, T = a timer tick.
    void stepping_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("shown");
        QTest::newRow("next before the first tick") << "N" << 1;
        QTest::newRow("first tick after next") << "NT" << 2;
        QTest::newRow("pre before the first tick") << "P" << 2;
        QTest::newRow("pre wraps to the last") << "TP" << 3;
        QTest::newRow("next wraps to the first") << "NNNN" << 1;
    }
    void stepping()
    {
        QFETCH(QString, steps);
        QFETCH(int, shown);
        vbPlayer player(m_nodes);
        player.timer()->stop(); // ticks are driven by hand here
        for (const QChar step : steps) {
            if (step == QLatin1Char('T'))
                player.slot_timeOut();
            else
                click(player, step == QLatin1Char('N') ? "btnNext" : "btnPre");
        }
        QCOMPARE(label(player, "lblNo"), QStringLiteral("%1/3").arg(shown));
        QCOMPARE(player.paintWnd()->imagePath(), m_nodes.at(shown - 1)->absoluteFilePath());
        // A png is named as its upload; a dotted name keeps its first part.
        const char* names[] = {"harbour.jpg", "beach.jpg", "trip.jpg"};
        QCOMPARE(label(player, "lblName"), QLatin1String(names[shown - 1]));
    }

    void timerAndSpeeds()
    {
        vbPlayer player(m_nodes);
        QSignalSpy ticks(player.timer(), &QTimer::timeout);
        QVERIFY(ticks.wait(2500));
        QCOMPARE(label(player, "lblNo"), QStringLiteral("1/3"));
        click(player, "btnNext"); // steps by hand leave the timer alone
        QCOMPARE(player.timer()->interval(), 3000);

        vbPlayer chosen(m_nodes);
        auto* speed = formChild<QComboBox>(&chosen, "cbxSpeed");
        speed->setFocus();
        QTest::keyClick(speed, Qt::Key_End); // "5", chosen before the first tick, holds
        chosen.slot_timeOut();
        QCOMPARE(chosen.timer()->interval(), 5000);
        click(chosen, "btnPause");
        QVERIFY(!chosen.timer()->isActive());
        click(chosen, "btnPlay");
        QVERIFY(chosen.timer()->isActive());
        QTest::keyClick(speed, Qt::Key_Home);
        QCOMPARE(chosen.timer()->interval(), 1000);
    }

    void closing()
    {
        // A click on the picture, the exit button or bare window closes; controls do not.
        const std::pair<const char*, bool> targets[] = {
            {"btnExit", true}, {"paintWnd", true}, {"", true}, {"cbxSpeed", false}};
        for (const auto& [target, closes] : targets) {
            vbPlayer player(m_nodes);
            QVERIFY(QTest::qWaitForWindowExposed(&player));
            QWidget* widget = *target ? formChild<QWidget>(&player, target) : &player;
            // Without a target: the left end of the button row, where no control is.
            const QPoint point = *target ? widget->rect().center() : QPoint(2, player.height() - 20);
            QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
            QVERIFY2(player.isVisible() != closes, target);
        }
    }

    void missingPhotosShowBlack()
    {
        vbPlayer empty({}); // an empty list does nothing
        empty.slot_timeOut();
        click(empty, "btnNext");
        QCOMPARE(empty.current(), -1);

        auto gone = std::make_unique<vbFileNode>();
        gone->setFileInfo(QFileInfo(m_dir.filePath(QStringLiteral("harbour.jpg"))));
        vbPlayer player({gone.get(), m_nodes.at(1)});
        player.timer()->stop();
        gone.reset(); // removed from the list while the slideshow runs
        click(player, "btnNext");
        QCOMPARE(label(player, "lblNo"), QStringLiteral("1/2"));
        QVERIFY(player.paintWnd()->imagePath().isEmpty());
        click(player, "btnNext");
        QCOMPARE(label(player, "lblName"), QStringLiteral("beach.jpg"));
    }
};

QTEST_MAIN(tst_Viewer)
#include "tst_viewer.moc"
