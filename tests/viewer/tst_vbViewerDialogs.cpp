#include "_loadThread.h"
#include "vbFileNode.h"
#include "vbFullScreen.h"
#include "vbPhotoInfo.h"
#include "vbPushButton.h"
#include "vbShowImage.h"
#include "vbTestPhotos.h"
#include "vbTitleBar.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The information sheet, the full-screen view and the hover preview.
class tst_vbViewerDialogs : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    _loadThread m_loader;
    const QRect m_tile{100, 120, 130, 150};

    std::unique_ptr<vbFileNode> node(const QString& file, bool load = true)
    {
        auto node = std::make_unique<vbFileNode>();
        node->setFileInfo(QFileInfo(m_dir.filePath(file)));
        node->setLoader(&m_loader);
        // The loader answers on this thread's event loop.
        if (load && (!node->requestThumbnail() ||
                     !QTest::qWaitFor([&] { return node->sourceWidth() >= 0 && !node->isLoading(); }, 5000)))
            return nullptr;
        return node;
    }
    static QString value(const vbPhotoInfo& info, const char* name)
    {
        const auto* label = info.findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
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
        QVERIFY(vbTestPhotos::writeJpeg(m_dir.filePath(QStringLiteral("small.jpg")), QSize(640, 480)));
        QVERIFY(vbTestPhotos::writeGarbage(m_dir.filePath(QStringLiteral("broken.jpg"))));
    }

    void infoSheetValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QStringList>("values"); // name, size, date, company, model
        QTest::newRow("png without exif")
            << "Photos/beach.png" << true << QStringList{"beach.jpg", "64x48pix", "", "", ""};
        QTest::newRow("camera jpeg, texts as written")
            << "camera.jpg" << true
            << QStringList{"camera.jpg", "300x200pix", "2008:07:14 09:30:05", "Canon", "Canon EOS 5D "};
        QTest::newRow("not loaded yet")
            << "camera.jpg" << false << QStringList{"camera.jpg", "-1x-1pix", "", "", ""};
    }
    void infoSheetValues()
    {
        QFETCH(QString, file);
        QFETCH(bool, loaded);
        QFETCH(QStringList, values);
        auto photo = node(file, loaded);
        QVERIFY(photo);
        vbPhotoInfo info;
        info.setNode(photo.get());
        const char* labels[] = {"lblName", "lblSize", "lblDate", "lblCompany", "lblModel"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(value(info, labels[i]), values.at(i));
        QCOMPARE(value(info, "lblPath"), QFileInfo(m_dir.filePath(file)).absolutePath());
        QCOMPARE(value(info, "lblPhotoSize"), QString::number(QFileInfo(m_dir.filePath(file)).size()));
        info.setNode(nullptr); // no photo clears the values
        QCOMPARE(value(info, "lblName"), QString());
        QCOMPARE(value(info, "lblSize"), QString());

        // Both the OK button and the title bar's close button accept.
        for (bool titleBar : {false, true}) {
            info.show();
            QVERIFY(QTest::qWaitForWindowExposed(&info));
            QWidget* button = titleBar ? static_cast<QWidget*>(info.findChild<vbTitleBar*>()->closeButton())
                                       : info.findChild<vbPushButton*>(QStringLiteral("pushButton"));
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(!info.isVisible());
            QCOMPARE(info.result(), int(QDialog::Accepted));
        }
    }

    // Fitting itself is vbFitRect's (tst_vbViewerGeometry); here the view uses it.
    void fullScreenDrawsCentredAndClosesOnClick()
    {
        vbFullScreen view;
        view.setImagePath(m_dir.filePath(QStringLiteral("small.jpg")));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRect area(QPoint(0, 0), view.size());
        QVERIFY2(area.width() > 640 && area.height() > 480, "the view is maximised");
        QCOMPARE(view.pictureRect().size(), QSize(640, 480)); // not enlarged
        QCOMPARE(view.pictureRect().center(), area.center());
        const QImage shot = view.grab().toImage();
        QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::black));
        QVERIFY(shot.pixelColor(area.center()) != QColor(Qt::black));
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(!view.isVisible());
        QCOMPARE(view.result(), int(QDialog::Accepted));
    }

    void previewShowsAndEnds_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"timeout", "click", "hover ended", "photo deleted"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void previewShowsAndEnds()
    {
        QFETCH(QString, how);
        auto photo = node(QStringLiteral("camera.jpg"));
        QVERIFY(photo);
        vbShowImage preview;
        QSignalSpy hidden(&preview, &vbShowImage::sig_previewHidden);
        preview.setHideInterval(how == QLatin1String("timeout") ? 150 : 60000);
        preview.showFor(photo.get(), m_tile);
        QVERIFY(preview.isVisible());
        QCOMPARE(preview.size(), photo->thumbnail().size());
        QCOMPARE(preview.geometry().top(), m_tile.top());
        QVERIFY(preview.geometry().left() > m_tile.right());
        // The picture is the thumbnail itself, from the top left corner.
        const QImage shot = preview.grab().toImage();
        for (const QPoint p : {QPoint(3, 3), QPoint(122, 81)})
            QCOMPARE(shot.pixelColor(p).rgb(), photo->thumbnail().pixelColor(p).rgb());

        if (how == QLatin1String("photo deleted")) {
            photo.reset();
            QVERIFY(!preview.isVisible());
            QCOMPARE(preview.node(), nullptr);
            return;
        }
        if (how == QLatin1String("timeout"))
            QVERIFY(hidden.wait(3000));
        else if (how == QLatin1String("click"))
            QTest::mouseClick(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        else
            preview.hideNow();
        QVERIFY(!preview.isVisible());
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden.at(0).at(0).value<vbFileNode*>(), photo.get());
        QCOMPARE(preview.node(), nullptr);
        preview.showFor(photo.get(), m_tile); // shown again for the next hover
        QVERIFY(preview.isVisible());
    }

    void previewNeedsThumbnail()
    {
        // Not for an unreadable file, an unloaded node or none.
        auto unreadable = node(QStringLiteral("broken.jpg"));
        QVERIFY(unreadable);
        auto unloaded = node(QStringLiteral("camera.jpg"), false);
        vbShowImage preview;
        for (vbFileNode* photo : {unreadable.get(), unloaded.get(), static_cast<vbFileNode*>(nullptr)}) {
            preview.showFor(photo, m_tile);
            QVERIFY(!preview.isVisible());
        }
    }
};

QTEST_MAIN(tst_vbViewerDialogs)
#include "tst_vbViewerDialogs.moc"
