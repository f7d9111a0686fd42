// Pictures of the editor in each mode and of its three dialogs, in English
// and Chinese, written to the build folder for a person to look at. The
// checks make sure each shows what it should; the starter element pictures
// are drawn by the library generator itself and checked for transparency.
#include "_loadThread.h"
#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbCanvasScene.h"
#include "vbCanvasView.h"
#include "vbCavas.h"
#include "vbElementArt.h"
#include "vbFileNode.h"
#include "vbImageItem.h"
#include "vbRazorDialog.h"
#include "vbTestPhotos.h"
#include "vbTextItem.h"

#include <QApplication>
#include <QComboBox>
#include <QDial>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>
#include <memory>

class tst_EditorShots : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void starterElements();
    void shots_data();
    void shots();

private:
    void save(QWidget* widget, const QString& name);

    QTemporaryDir m_dir;
    QString m_oldCurrent;
    QString m_outDir;
    QString m_photo;
    _loadThread m_loader;
};

void tst_EditorShots::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const QByteArray build = qgetenv("PV_BUILD_DIR");
    m_outDir =
        (build.isEmpty() ? m_oldCurrent : QString::fromLocal8Bit(build)) + QStringLiteral("/screenshots");
    QVERIFY(QDir().mkpath(m_outDir));
    m_photo = m_dir.filePath(QStringLiteral("lake.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(m_photo, QSize(1600, 1000)));
    const QList<vbElementArt::Picture> pictures = vbElementArt::allPictures();
    for (const vbElementArt::Picture& p : pictures) {
        QVERIFY(QDir().mkpath(QStringLiteral("Elements/") + p.type));
        QVERIFY(p.image.save(QStringLiteral("Elements/%1/%2.png").arg(p.type, p.name)));
    }
}

void tst_EditorShots::cleanupTestCase()
{
    QDir::setCurrent(m_oldCurrent);
}

void tst_EditorShots::starterElements()
{
    const QList<vbElementArt::Picture> pictures = vbElementArt::allPictures();
    QSet<QString> types;
    for (const vbElementArt::Picture& p : pictures) {
        types.insert(p.type);
        QVERIFY2(p.image.hasAlphaChannel(), qPrintable(p.name));
        // Transparent round the drawing, and a good share of it drawn.
        QCOMPARE(qAlpha(p.image.pixel(0, p.image.height() - 1)), 0);
        int drawn = 0;
        for (int y = 0; y < p.image.height(); y += 4)
            for (int x = 0; x < p.image.width(); x += 4)
                drawn += qAlpha(p.image.pixel(x, y)) > 200 ? 1 : 0;
        const int samples = (p.image.width() / 4) * (p.image.height() / 4);
        QVERIFY2(drawn > samples / 30, qPrintable(p.name));
    }
    QVERIFY(types.size() >= 5);
    vbAddElement dialog;
    QCOMPARE(dialog.comboBox->count(), types.size());
    QVERIFY(dialog.listWidget->count() >= 3);
}

void tst_EditorShots::save(QWidget* widget, const QString& name)
{
    const QPixmap shot = widget->grab();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(m_outDir + QStringLiteral("/editor-") + name + QStringLiteral(".png")));
}

void tst_EditorShots::shots_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("fit");
    QTest::addColumn<QString>("tooSmall");
    QTest::newRow("en") << "en"
                        << "Fit"
                        << "Can razor because image is too small";
    QTest::newRow("zh") << "zh" << QString::fromUtf8("适合窗口") << QString::fromUtf8("照片太小，无法裁剪");
}

void tst_EditorShots::shots()
{
    QFETCH(QString, language);
    QFETCH(QString, fit);
    QTranslator translator;
    if (language == "zh") {
        const QByteArray build = qgetenv("PV_BUILD_DIR");
        if (build.isEmpty())
            QSKIP("the compiled translation is found through PV_BUILD_DIR");
        QVERIFY(translator.load(QString::fromLocal8Bit(build) + QStringLiteral("/tr/pixvane_zh.qm")));
        QCoreApplication::installTranslator(&translator);
    }
    const QString lang = language;

    vbFileNode node;
    node.setLoader(&m_loader);
    node.setFileInfo(QFileInfo(m_photo));
    vbCavas editor(&node);
    editor.resize(1124, 700);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QTRY_VERIFY(editor.scene()->hasPhoto());
    QCOMPARE(editor.comboBox->itemText(7), fit);
    editor.comboBox->setCurrentIndex(7);
    save(&editor, lang + "-normal");

    // Crop mode with the size dialog over it.
    editor.scene()->photoItem()->setRazorMode(true);
    vbRazorDialog razor(1024, 768, editor.view);
    razor.selectSize(1, true);
    QFETCH(QString, tooSmall);
    QCOMPARE(razor.lblTips->text(), tooSmall);
    editor.view->slot_aspectChanged(1.5f, true); // the frame's ratio, and the hint below it
    razor.show();
    save(&razor, lang + "-crop-dialog");
    save(&editor, lang + "-crop");
    razor.hide();
    editor.scene()->endRazor(false);

    // Text and elements, one selected, the overlay controls out.
    QFont font(QStringLiteral("Sans"), 36);
    font.setBold(true);
    editor.slot_addText(QStringLiteral("Summer 2026\n2026/07/14 18:30:00"), font, Qt::yellow);
    editor.scene()->overlays().first()->graphicsItem()->setPos(-330, 90);
    editor.slot_addElement(QDir::current().absoluteFilePath("Elements/Frames/frame-gold.png"));
    editor.slot_addElement(QDir::current().absoluteFilePath("Elements/Hearts/heart-red.png"));
    vbBaseItem* heart = editor.scene()->selectedBaseItem();
    QVERIFY(heart);
    heart->graphicsItem()->setPos(150, -180);
    editor.dial->setValue(20);
    QVERIFY(editor.dial->isVisible());
    save(&editor, lang + "-overlays");

    editor.on_btnRight_clicked();
    QCOMPARE(editor.scene()->photoAngle(), 90);
    save(&editor, lang + "-turned");
    const QImage out = editor.scene()->renderImage();
    QCOMPARE(out.size(), QSize(1000, 1600));
    QVERIFY(out.save(m_outDir + "/editor-" + lang + "-output.jpg"));

    vbAddText text(editor.view);
    text.textEdit->setPlainText(QStringLiteral("Summer 2026"));
    text.show();
    save(&text, lang + "-text-dialog");

    vbAddElement elements(editor.view);
    elements.comboBox->setCurrentIndex(elements.comboBox->findText("Hearts"));
    elements.show();
    QVERIFY(QTest::qWaitForWindowExposed(&elements));
    QCOMPARE(elements.listWidget->count(), 4);
    save(&elements, lang + "-element-dialog");

    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(tst_EditorShots)
#include "tst_editorshots.moc"
