#include "_loadThread.h"
#include "vbFileNode.h"
#include "vbFullScreen.h"
#include "vbPhotoInfo.h"
#include "vbPushButton.h"
#include "vbShowImage.h"
#include "vbTestPhotos.h"
#include "vbTitleBar.h"
#include "viewerTestPhotos.h"

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
private slots:
    void initTestCase();
    void infoSheetValues_data();
    void infoSheetValues();
    void infoSheetCloses_data();
    void infoSheetCloses();
    void fullScreenDrawsFittedAndClosesOnClick_data();
    void fullScreenDrawsFittedAndClosesOnClick();
    void previewAppearsBesideTile();
    void previewEnds_data();
    void previewEnds();
    void previewNeedsThumbnail();
    void previewGoesWithItsPhoto();
    void orientedPhotoInPreviewAndSheet_data();
    void orientedPhotoInPreviewAndSheet();

private:
    std::unique_ptr<vbFileNode> loadedNode(const QString& path);
    static QString value(const vbPhotoInfo& info, const char* name);

    QTemporaryDir m_dir;
    _loadThread m_loader;
};

void tst_vbViewerDialogs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Photos")));
    QVERIFY(writeTestPhoto(m_dir.filePath(QStringLiteral("Photos/beach.png")), QSize(64, 48),
                           QColor(230, 160, 40), "PNG"));
    const QString camera = m_dir.filePath(QStringLiteral("camera.jpg"));
    QVERIFY(writeTestPhoto(camera, QSize(300, 200), Qt::darkGreen));
    vbTestPhotos::Exif exif;
    exif.make = QStringLiteral("Canon");
    exif.model = QStringLiteral("Canon EOS 5D ");
    exif.dateTime = QStringLiteral("2008:07:14 09:30:05");
    QVERIFY(vbTestPhotos::writeExif(camera, exif));
    QVERIFY(writeTestPhoto(m_dir.filePath(QStringLiteral("small.jpg")), QSize(640, 480), Qt::darkBlue));
    QVERIFY(writeTestPhoto(m_dir.filePath(QStringLiteral("big.jpg")), QSize(4000, 3000), Qt::darkRed));
}

std::unique_ptr<vbFileNode> tst_vbViewerDialogs::loadedNode(const QString& path)
{
    auto node = std::make_unique<vbFileNode>();
    node->setFileInfo(QFileInfo(path));
    node->setLoader(&m_loader);
    if (!node->requestThumbnail())
        return nullptr;
    // The loader answers on this thread's event loop.
    if (!QTest::qWaitFor([&] { return node->sourceWidth() >= 0 && !node->isLoading(); }, 5000))
        return nullptr;
    return node;
}

QString tst_vbViewerDialogs::value(const vbPhotoInfo& info, const char* name)
{
    const auto* label = info.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

void tst_vbViewerDialogs::infoSheetValues_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QStringList>("values"); // name, size, date, company, model
    QTest::newRow("png without exif")
        << "Photos/beach.png" << true << QStringList{"beach.jpg", "64x48pix", "", "", ""};
    QTest::newRow("camera jpeg, texts as written")
        << "camera.jpg" << true
        << QStringList{"camera.jpg", "300x200pix", "2008:07:14 09:30:05", "Canon", "Canon EOS 5D "};
    QTest::newRow("not loaded yet") << "camera.jpg" << false
                                    << QStringList{"camera.jpg", "-1x-1pix", "", "", ""};
}

void tst_vbViewerDialogs::infoSheetValues()
{
    QFETCH(QString, file);
    QFETCH(bool, loaded);
    QFETCH(QStringList, values);
    const QString path = m_dir.filePath(file);
    std::unique_ptr<vbFileNode> node;
    if (loaded) {
        node = loadedNode(path);
        QVERIFY(node);
    } else {
        node = std::make_unique<vbFileNode>();
        node->setFileInfo(QFileInfo(path));
    }
    vbPhotoInfo info;
    info.setNode(node.get());
    const char* labels[] = {"lblName", "lblSize", "lblDate", "lblCompany", "lblModel"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(value(info, labels[i]), values.at(i));
    QCOMPARE(value(info, "lblPath"), QFileInfo(path).absolutePath());
    QCOMPARE(value(info, "lblPhotoSize"), QString::number(QFileInfo(path).size()));
    info.setNode(nullptr); // no photo clears the values
    QCOMPARE(value(info, "lblName"), QString());
    QCOMPARE(value(info, "lblSize"), QString());
}

void tst_vbViewerDialogs::infoSheetCloses_data()
{
    QTest::addColumn<bool>("titleBar");
    QTest::newRow("OK button") << false;
    QTest::newRow("title bar close") << true;
}

void tst_vbViewerDialogs::infoSheetCloses()
{
    QFETCH(bool, titleBar);
    vbPhotoInfo info;
    info.show();
    QVERIFY(QTest::qWaitForWindowExposed(&info));
    QWidget* button = titleBar ? static_cast<QWidget*>(info.findChild<vbTitleBar*>()->closeButton())
                               : info.findChild<vbPushButton*>(QStringLiteral("pushButton"));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!info.isVisible());
    QCOMPARE(info.result(), int(QDialog::Accepted));
}

void tst_vbViewerDialogs::fullScreenDrawsFittedAndClosesOnClick_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("source");
    QTest::newRow("small photo is not enlarged") << "small.jpg" << QSize(640, 480);
    QTest::newRow("large photo is fitted") << "big.jpg" << QSize(4000, 3000);
    QTest::newRow("missing file stays black") << "nothing.jpg" << QSize(0, 0);
}

void tst_vbViewerDialogs::fullScreenDrawsFittedAndClosesOnClick()
{
    QFETCH(QString, file);
    QFETCH(QSize, source);
    vbFullScreen view;
    view.setImagePath(m_dir.filePath(file));
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QSize area = view.size();
    QVERIFY2(area.width() >= 640 && area.height() >= 480, "the view is maximised");

    // Centred; a photo smaller than the screen keeps its own size.
    const QRect drawn = view.pictureRect();
    QCOMPARE(drawn.isEmpty(), source.isEmpty());
    if (!source.isEmpty())
        QCOMPARE(drawn.center(), QRect(QPoint(0, 0), area).center());
    if (source.width() < area.width() && source.height() < area.height())
        QCOMPARE(drawn.size(), source);
    const QImage shot = view.grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(area.width() / 2, area.height() / 2) == QColor(Qt::black), source.isEmpty());

    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(!view.isVisible());
    QCOMPARE(view.result(), int(QDialog::Accepted));
}

void tst_vbViewerDialogs::previewAppearsBesideTile()
{
    auto node = loadedNode(m_dir.filePath(QStringLiteral("camera.jpg")));
    QVERIFY(node);
    vbShowImage preview;
    const QRect tile(100, 120, 130, 150);
    preview.showFor(node.get(), tile);
    QVERIFY(preview.isVisible());
    QCOMPARE(preview.size(), node->thumbnail().size());
    QCOMPARE(preview.geometry().top(), tile.top());
    QVERIFY(preview.geometry().left() > tile.right());
    // The picture is the thumbnail itself, from the top left corner.
    const QImage shot = preview.grab().toImage();
    const QImage thumb = node->thumbnail();
    QCOMPARE(shot.pixelColor(122, 81).rgb(), thumb.pixelColor(122, 81).rgb());
    QCOMPARE(shot.pixelColor(3, 3).rgb(), thumb.pixelColor(3, 3).rgb());
}

void tst_vbViewerDialogs::previewEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("timeout") << "timeout";
    QTest::newRow("click") << "click";
    QTest::newRow("hover ended") << "hover ended";
}

void tst_vbViewerDialogs::previewEnds()
{
    QFETCH(QString, how);
    auto node = loadedNode(m_dir.filePath(QStringLiteral("camera.jpg")));
    QVERIFY(node);
    vbShowImage preview;
    QSignalSpy hidden(&preview, &vbShowImage::sig_previewHidden);
    preview.setHideInterval(how == QLatin1String("timeout") ? 150 : 60000);
    preview.showFor(node.get(), QRect(100, 120, 130, 150));
    QVERIFY(preview.isVisible());

    if (how == QLatin1String("timeout"))
        QVERIFY(hidden.wait(3000));
    else if (how == QLatin1String("click"))
        QTest::mouseClick(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    else
        preview.hideNow();
    QVERIFY(!preview.isVisible());
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(hidden.at(0).at(0).value<vbFileNode*>(), node.get());
    QCOMPARE(preview.node(), nullptr);
    preview.showFor(node.get(), QRect(100, 120, 130, 150));
    QVERIFY(preview.isVisible());
}

void tst_vbViewerDialogs::previewNeedsThumbnail()
{
    // Not for an unreadable file, an unloaded node or none.
    const QString broken = m_dir.filePath(QStringLiteral("broken.jpg"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a photo");
    file.close();
    auto unreadable = loadedNode(broken);
    QVERIFY(unreadable);
    auto unloaded = std::make_unique<vbFileNode>();
    unloaded->setFileInfo(QFileInfo(m_dir.filePath(QStringLiteral("camera.jpg"))));

    vbShowImage preview;
    for (vbFileNode* node : {unreadable.get(), unloaded.get(), static_cast<vbFileNode*>(nullptr)}) {
        preview.showFor(node, QRect(100, 120, 130, 150));
        QVERIFY(!preview.isVisible());
    }
}

void tst_vbViewerDialogs::previewGoesWithItsPhoto()
{
    auto node = loadedNode(m_dir.filePath(QStringLiteral("camera.jpg")));
    QVERIFY(node);
    vbShowImage preview;
    preview.showFor(node.get(), QRect(100, 120, 130, 150));
    QVERIFY(preview.isVisible());
    node.reset();
    QVERIFY(!preview.isVisible());
    QCOMPARE(preview.node(), nullptr);
}

void tst_vbViewerDialogs::orientedPhotoInPreviewAndSheet_data()
{
    QTest::addColumn<int>("orientation");
    for (int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << orientation;
}

void tst_vbViewerDialogs::orientedPhotoInPreviewAndSheet()
{
    QFETCH(int, orientation);
    const QImage upright = vbTestPhotos::quarters(QSize(300, 400));
    const QString path = m_dir.filePath(QStringLiteral("phone_%1.jpg").arg(orientation));
    QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, orientation));
    auto node = loadedNode(path);
    QVERIFY(node);

    vbShowImage preview;
    preview.showFor(node.get(), QRect(100, 120, 130, 150));
    QCOMPARE(preview.size(), QSize(183, 244));
    QCOMPARE(vbTestPhotos::quarterColours(preview.grab().toImage()), vbTestPhotos::quarterColours(upright));

    vbPhotoInfo info;
    info.setNode(node.get());
    QCOMPARE(value(info, "lblSize"), QStringLiteral("300x400pix"));
}

QTEST_MAIN(tst_vbViewerDialogs)
#include "tst_vbViewerDialogs.moc"
