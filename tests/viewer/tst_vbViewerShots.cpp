#include "_loadThread.h"
#include "vbFileNode.h"
#include "vbFullScreen.h"
#include "vbPaintWnd.h"
#include "vbPhotoInfo.h"
#include "vbPlayer.h"
#include "vbShowImage.h"
#include "viewerTestPhotos.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <memory>
#include <vector>

// Pictures of every viewer in English and Chinese, written to the build folder
// for a person to look at; the checks make sure they show what they should.
class tst_vbViewerShots : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void shots_data();
    void shots();

private:
    void save(QWidget* widget, const QString& name);

    QTemporaryDir m_dir;
    QString m_outDir;
    _loadThread m_loader;
    std::vector<std::unique_ptr<vbFileNode>> m_nodes;
};

void tst_vbViewerShots::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QByteArray build = qgetenv("PV_BUILD_DIR");
    m_outDir = (build.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(build)) +
               QStringLiteral("/screenshots");
    QVERIFY(QDir().mkpath(m_outDir));
    const struct
    {
        const char* name;
        QSize size;
        QColor colour;
    } photos[] = {{"harbour.jpg", QSize(1600, 1200), Qt::darkCyan},
                  {"beach.png", QSize(900, 1200), QColor(230, 160, 40)},
                  {"forest.jpg", QSize(640, 480), Qt::darkGreen}};
    for (const auto& photo : photos) {
        const QString path = m_dir.filePath(QLatin1String(photo.name));
        QVERIFY(writeTestPhoto(path, photo.size, photo.colour));
        auto node = std::make_unique<vbFileNode>();
        node->setFileInfo(QFileInfo(path));
        node->setLoader(&m_loader);
        QVERIFY(node->requestThumbnail());
        m_nodes.push_back(std::move(node));
    }
    for (const auto& node : m_nodes)
        QTRY_VERIFY_WITH_TIMEOUT(node->sourceWidth() > 0 && !node->thumbnail().isNull(), 5000);
}

void tst_vbViewerShots::save(QWidget* widget, const QString& name)
{
    const QPixmap shot = widget->grab();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(m_outDir + QLatin1Char('/') + name + QStringLiteral(".png")));
}

void tst_vbViewerShots::shots_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("speedText");
    QTest::addColumn<QString>("pixText");
    QTest::newRow("en") << "en"
                        << "Speed:"
                        << "pix";
    QTest::newRow("zh") << "zh" << QString::fromUtf8("速度：") << QString::fromUtf8("像素");
}

void tst_vbViewerShots::shots()
{
    QFETCH(QString, language);
    QFETCH(QString, speedText);
    QFETCH(QString, pixText);
    QTranslator translator;
    if (language == QLatin1String("zh")) {
        QVERIFY(translator.load(QStringLiteral(PV_VIEWER_QM)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
    }
    QList<vbFileNode*> nodes;
    for (const auto& node : m_nodes)
        nodes.append(node.get());

    {
        vbPlayer player(nodes);
        player.timer()->stop();
        player.resize(1024, 700);
        player.slot_timeOut();
        QCOMPARE(player.findChild<QLabel*>(QStringLiteral("label"))->text(), speedText);
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        const QImage picture = player.paintWnd()->grab().toImage();
        QVERIFY(picture.pixelColor(picture.rect().center()) != QColor(Qt::black));
        save(&player, QStringLiteral("viewer_player_") + language);
    }
    {
        vbFullScreen view;
        view.setImagePath(m_nodes.at(1)->absoluteFilePath());
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        save(&view, QStringLiteral("viewer_fullscreen_") + language);
    }
    {
        vbPhotoInfo info;
        info.setNode(m_nodes.at(0).get());
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        QCOMPARE(info.findChild<QLabel*>(QStringLiteral("lblSize"))->text(),
                 QStringLiteral("1600x1200") + pixText);
        // Every caption fits its row.
        for (const char* caption :
             {"label", "label_2", "label_3", "label_4", "label_5", "label_6", "label_7"}) {
            const auto* label = info.findChild<QLabel*>(QLatin1String(caption));
            QVERIFY(label->width() >= label->sizeHint().width());
        }
        save(&info, QStringLiteral("viewer_info_") + language);
    }
    {
        vbShowImage preview;
        preview.showFor(m_nodes.at(1).get(), QRect(100, 100, 130, 150));
        QVERIFY(preview.isVisible());
        save(&preview, QStringLiteral("viewer_preview_") + language);
    }
    if (language == QLatin1String("zh"))
        QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(tst_vbViewerShots)
#include "tst_vbViewerShots.moc"
