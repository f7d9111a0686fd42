// The editor dialog on a real photo node: loading whole, zoom list and
// buttons, crop through Ok with its hint, saving with its quality rule and the
// photo's metadata, oriented photos, and undo / redo by button and key.
#include "_loadThread.h"
#include "vbAddText.h"
#include "vbCanvasScene.h"
#include "vbCanvasView.h"
#include "vbCavas.h"
#include "vbFileNode.h"
#include "vbImageItem.h"
#include "vbPushButton.h"
#include "vbRazorDialog.h"
#include "vbTestPhotos.h"
#include "vbTextItem.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDial>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>

// Runs action on the next modal dialog of type T that opens.
template <typename T> static void answerModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

// Ctrl+Z / Ctrl+Y as the user presses them on the editor window.
static void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, key, modifiers);
}

// The same picture, give or take the edge shading of text drawn anew.
static bool looksSame(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 12 || qAbs(qGreen(p) - qGreen(q)) > 12 ||
                qAbs(qBlue(p) - qBlue(q)) > 12)
                return false;
        }
    }
    return true;
}

static void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

class tst_Cavas : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensWholeAtFit();
    void zoomListKeepsNine();
    void zoomButtons();
    void turnsSwapTheSides();
    void okCropsThenSaves();
    void saveQuality_data();
    void saveQuality();
    void okBeforeThePicture();
    void orientedPhotoOpensUpright_data();
    void orientedPhotoOpensUpright();
    void cancelLeavesTheNode();
    void undoRedo();
    void undoMergesDialTurns();
    void undoInCropModeUndoesTheLastEdit();

private:
    std::unique_ptr<vbCavas> openEditor(const QSize& size, qint64 bytes = 0);
    // The editor on m_photo, once its picture arrived.
    std::unique_ptr<vbCavas> openEditorOnPhoto();
    QTemporaryDir* m_dir = nullptr;
    QString m_oldCurrent;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<vbFileNode> m_node;
    QString m_photo;
};

void tst_Cavas::init()
{
    m_dir = new QTemporaryDir();
    QVERIFY(m_dir->isValid());
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_loader = std::make_unique<_loadThread>();
}

void tst_Cavas::cleanup()
{
    m_node.reset();
    m_loader.reset();
    QDir::setCurrent(m_oldCurrent);
    delete m_dir;
    m_dir = nullptr;
}

std::unique_ptr<vbCavas> tst_Cavas::openEditor(const QSize& size, qint64 bytes)
{
    m_photo = m_dir->filePath(QStringLiteral("holiday.jpg"));
    const bool written = bytes > 0 ? vbTestPhotos::writeJpegOfSize(m_photo, size, bytes)
                                   : vbTestPhotos::writeJpeg(m_photo, size);
    if (!written)
        return nullptr;
    return openEditorOnPhoto();
}

std::unique_ptr<vbCavas> tst_Cavas::openEditorOnPhoto()
{
    m_node = std::make_unique<vbFileNode>();
    m_node->setLoader(m_loader.get());
    m_node->setFileInfo(QFileInfo(m_photo));
    auto editor = std::make_unique<vbCavas>(m_node.get());
    editor->resize(1100, 700);
    editor->show();
    editor->activateWindow();
    if (!QTest::qWaitForWindowActive(editor.get()))
        return nullptr;
    if (!QTest::qWaitFor([&] { return editor->scene()->hasPhoto(); }, 5000))
        return nullptr;
    return editor;
}

void tst_Cavas::opensWholeAtFit()
{
    // A large photo opens whole, without scroll bars, and the box says "Fit";
    // a small one is never enlarged.
    auto big = openEditor(QSize(3000, 2000));
    QVERIFY(big);
    QCOMPARE(big->comboBox->currentText(), QStringLiteral("Fit"));
    QVERIFY(m_node->bigImage().isNull()); // dropped once the canvas has it
    const QSize viewport = big->view->viewport()->size();
    QVERIFY(big->scene()->sceneRect().width() <= viewport.width());
    QVERIFY(big->scene()->sceneRect().height() <= viewport.height());
    QVERIFY(big->scene()->scaleX() < 1.0);
    QVERIFY(!big->view->horizontalScrollBar()->isVisible());
    QVERIFY(!big->view->verticalScrollBar()->isVisible());

    auto small = openEditor(QSize(300, 200));
    QVERIFY(small);
    QCOMPARE(small->comboBox->currentText(), QStringLiteral("Fit"));
    QCOMPARE(small->scene()->scaleX(), 1.0);
}

void tst_Cavas::zoomListKeepsNine()
{
    auto editor = openEditor(QSize(400, 300));
    QVERIFY(editor);
    QCOMPARE(editor->comboBox->count(), 8);
    QLineEdit* edit = editor->comboBox->lineEdit();
    // Typed zooms apply at once; above 100% the photo is never enlarged.
    for (const auto& [value, scale] : {std::pair{"30", 0.3}, {"300%", 1.0}, {"40", 0.4}}) {
        edit->selectAll();
        QTest::keyClicks(edit, QLatin1String(value));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(editor->comboBox->count() <= 9);
        QVERIFY(qAbs(editor->scene()->scaleX() - scale) < 1e-6);
        QVERIFY(qAbs(editor->scene()->scaleY() - scale) < 1e-6);
    }
    QCOMPARE(editor->comboBox->count(), 9);
    QCOMPARE(editor->comboBox->itemText(7), QStringLiteral("Fit"));
    QCOMPARE(editor->comboBox->itemText(8), QStringLiteral("40"));
}

void tst_Cavas::zoomButtons()
{
    auto editor = openEditor(QSize(400, 300));
    QVERIFY(editor);
    for (int i = 0; i < 5; ++i)
        click(editor->btnBig);
    QVERIFY(qAbs(editor->scene()->scaleX() - 1.5) < 1e-6);
    QCOMPARE(editor->comboBox->currentText(), QStringLiteral("150%"));
    QCOMPARE(editor->comboBox->currentIndex(), 7); // still "Fit": only the text shows the zoom
    for (int i = 0; i < 8; ++i)
        click(editor->btnBig);
    QCOMPARE(editor->scene()->scaleX(), 2.0);
    QCOMPARE(editor->comboBox->currentText(), QStringLiteral("200%"));
    for (int i = 0; i < 25; ++i)
        click(editor->btnSmall);
    QVERIFY(qAbs(editor->scene()->scaleX() - 0.1) < 1e-6);
    QCOMPARE(editor->comboBox->currentText(), QStringLiteral("10%"));
    // Zoom is no edit.
    QCOMPARE(editor->undoStack()->count(), 0);
}

void tst_Cavas::turnsSwapTheSides()
{
    auto editor = openEditor(QSize(400, 300));
    QVERIFY(editor);
    click(editor->btnLeft);
    QCOMPARE(editor->scene()->photoAngle(), -90);
    QCOMPARE(editor->scene()->sceneRect(), QRectF(-150, -200, 300, 400));
    for (int i = 0; i < 3; ++i)
        click(editor->btnLeft);
    QCOMPARE(editor->scene()->photoAngle(), 0);
    click(editor->btnRight);
    QCOMPARE(editor->scene()->photoAngle(), 90);
    QCOMPARE(editor->scene()->renderImage().size(), QSize(300, 400));
}

void tst_Cavas::okCropsThenSaves()
{
    auto editor = openEditor(QSize(1000, 800));
    QVERIFY(editor);
    // The size dialog opens over the view: choose "6S" across and close it with Ok.
    answerModal<vbRazorDialog>([](vbRazorDialog* d) {
        d->comboBox->setCurrentIndex(1);
        click(d->btnOk);
    });
    click(editor->btnRazor);
    QVERIFY(editor->scene()->isRazorMode());
    QCOMPARE(editor->scene()->photoItem()->razorRect(), QRectF(25, 83.5, 950, 633));
    // The frame waits for the editor's own Ok, and the tips line says so.
    QCOMPARE(editor->tips(), QStringLiteral("Drag the frame, then OK to crop"));

    click(editor->btnOk);
    QVERIFY(!editor->scene()->isRazorMode());
    QCOMPARE(editor->tips(), QString());
    QCOMPARE(editor->scene()->photoItem()->image().size(), QSize(950, 633));
    QVERIFY(editor->isVisible());
    QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(m_photo).absoluteFilePath());

    const QString output = vbCavas::outputPath(m_node.get());
    QVERIFY(output.startsWith(m_node->tempFolder()));
    QVERIFY(output.endsWith(QStringLiteral("/holiday.jpg")));
    click(editor->btnOk);
    QCOMPARE(editor->result(), int(QDialog::Accepted));
    QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(output).absoluteFilePath());
    QCOMPARE(m_node->sourcePath(), QFileInfo(m_photo).absoluteFilePath());
    QCOMPARE(QImage(output).size(), QSize(950, 633));
    // A second edit of the photo writes to the same file.
    QCOMPARE(vbCavas::outputPath(m_node.get()), output);
}

void tst_Cavas::saveQuality_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("quality");
    QTest::newRow("exactly 1 MiB") << qint64(1048576) << 100;
    QTest::newRow("one byte more") << qint64(1048577) << 80;
    QTest::newRow("small") << qint64(0) << 100;
}

void tst_Cavas::saveQuality()
{
    QFETCH(qint64, bytes);
    QFETCH(int, quality);
    auto editor = openEditor(QSize(1200, 900), bytes);
    QVERIFY(editor);
    if (bytes > 0)
        QCOMPARE(QFileInfo(m_photo).size(), bytes);
    const QImage composed = editor->scene()->renderImage();
    QByteArray expected;
    QBuffer buffer(&expected);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    QVERIFY(writer.write(composed));
    click(editor->btnOk);
    QFile saved(vbCavas::outputPath(m_node.get()));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), expected);
}

void tst_Cavas::okBeforeThePicture()
{
    m_photo = m_dir->filePath(QStringLiteral("slow.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(m_photo, QSize(200, 100)));
    m_node = std::make_unique<vbFileNode>(); // no loader: the picture never comes
    m_node->setFileInfo(QFileInfo(m_photo));
    vbCavas editor(m_node.get());
    editor.show();
    click(editor.btnLeft);
    click(editor.btnRazor);
    QVERIFY(!editor.scene()->isRazorMode());
    click(editor.btnOk);
    QCOMPARE(editor.result(), int(QDialog::Rejected));
    QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(m_photo).absoluteFilePath());
    QVERIFY(!QFile::exists(vbCavas::outputPath(m_node.get())));
}

void tst_Cavas::orientedPhotoOpensUpright_data()
{
    QTest::addColumn<int>("orientation");
    for (int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << orientation;
}

void tst_Cavas::orientedPhotoOpensUpright()
{
    QFETCH(int, orientation);
    const QImage upright = vbTestPhotos::quarters(QSize(300, 400));
    m_photo = m_dir->filePath(QStringLiteral("phone.jpg"));
    vbTestPhotos::Exif exif;
    exif.make = QStringLiteral("Phone Maker");
    QVERIFY(vbTestPhotos::writeOrientedJpeg(m_photo, upright, orientation, exif));
    auto editor = openEditorOnPhoto();
    QVERIFY(editor);
    const QImage opened = editor->scene()->photoItem()->image();
    QCOMPARE(opened.size(), QSize(300, 400));
    QCOMPARE(vbTestPhotos::quarterColours(opened), vbTestPhotos::quarterColours(upright));

    // Turned right by the user and saved: upright pixels of the new shape,
    // the photo's EXIF saying so.
    click(editor->btnRight);
    click(editor->btnOk);
    const QString saved = vbCavas::outputPath(m_node.get());
    QCOMPARE(m_node->absoluteFilePath(), QFileInfo(saved).absoluteFilePath());
    QImageReader reader(saved);
    reader.setAutoTransform(false);
    const QImage stored = reader.read();
    QCOMPARE(stored.size(), QSize(400, 300));
    QCOMPARE(vbTestPhotos::quarterColours(stored),
             vbTestPhotos::quarterColours(upright.transformed(QTransform().rotate(90))));
    const QMap<QString, QString> metadata = vbTestPhotos::metadata(saved);
    QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Make")), QStringLiteral("Phone Maker"));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Orientation")), QStringLiteral("1"));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Photo.PixelXDimension")), QStringLiteral("400"));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Photo.PixelYDimension")), QStringLiteral("300"));
}

void tst_Cavas::cancelLeavesTheNode()
{
    auto editor = openEditor(QSize(300, 200));
    QVERIFY(editor);
    click(editor->btnRight);
    click(editor->btnCancel);
    QCOMPARE(editor->result(), int(QDialog::Rejected));
    QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(m_photo).absoluteFilePath());
    QVERIFY(!QFile::exists(vbCavas::outputPath(m_node.get())));
}

void tst_Cavas::undoRedo()
{
    auto editor = openEditor(QSize(600, 400));
    QVERIFY(editor);
    vbCanvasScene* scene = editor->scene();
    const QImage original = scene->renderImage();
    QVERIFY(!editor->btnUndo->isEnabled());
    QVERIFY(!editor->btnRedo->isEnabled());

    answerModal<vbAddText>([](vbAddText* d) {
        QTest::keyClicks(d->textEdit, QStringLiteral("Summer"));
        click(d->btnOk);
    });
    click(editor->btnAddText);
    QCOMPARE(scene->overlays().size(), 1);
    QVERIFY(editor->btnDelete->isVisible());
    const QImage withText = scene->renderImage();
    QVERIFY(!looksSame(withText, original));

    // Drag the text somewhere else.
    auto* text = dynamic_cast<vbTextItem*>(scene->overlays().first());
    QVERIFY(text);
    const QPointF textPos = text->pos();
    const QPoint grab = editor->view->mapFromScene(text->sceneBoundingRect().center());
    QTest::mousePress(editor->view->viewport(), Qt::LeftButton, {}, grab);
    QTest::mouseMove(editor->view->viewport(), grab + QPoint(40, 30));
    QTest::mouseRelease(editor->view->viewport(), Qt::LeftButton, {}, grab + QPoint(40, 30));
    QVERIFY(text->pos() != textPos);
    const QImage moved = scene->renderImage();
    QVERIFY(!looksSame(moved, withText));

    click(editor->btnRight);
    QCOMPARE(scene->photoAngle(), 90);
    const QImage turned = scene->renderImage();

    QCOMPARE(editor->undoStack()->count(), 3);
    QVERIFY(editor->btnUndo->isEnabled());
    click(editor->btnUndo);
    QCOMPARE(scene->photoAngle(), 0);
    QVERIFY(editor->btnRedo->isEnabled());
    QVERIFY(looksSame(scene->renderImage(), moved));
    pressKey(editor.get(), Qt::Key_Z);
    QVERIFY(looksSame(scene->renderImage(), withText));
    pressKey(editor.get(), Qt::Key_Z);
    QCOMPARE(scene->overlays().size(), 0);
    QVERIFY(looksSame(scene->renderImage(), original));
    QVERIFY(!editor->btnUndo->isEnabled());

    click(editor->btnRedo);
    QVERIFY(looksSame(scene->renderImage(), withText));
    pressKey(editor.get(), Qt::Key_Y);
    pressKey(editor.get(), Qt::Key_Y);
    QCOMPARE(scene->photoAngle(), 90);
    QVERIFY(looksSame(scene->renderImage(), turned));
    QVERIFY(!editor->btnRedo->isEnabled());

    // Delete, then undo brings the text back; Ok saves what is shown.
    scene->overlays().first()->graphicsItem()->setSelected(true);
    click(editor->btnDelete);
    QCOMPARE(scene->overlays().size(), 0);
    pressKey(editor.get(), Qt::Key_Z);
    QCOMPARE(scene->overlays().size(), 1);
    click(editor->btnOk);
    QCOMPARE(QImage(vbCavas::outputPath(m_node.get())).size(), QSize(400, 600));
}

void tst_Cavas::undoMergesDialTurns()
{
    auto editor = openEditor(QSize(600, 400));
    QVERIFY(editor);
    answerModal<vbAddText>([](vbAddText* d) { click(d->btnOk); });
    click(editor->btnAddText);
    QVERIFY(editor->dial->isVisible());
    vbBaseItem* item = editor->scene()->selectedBaseItem();
    QVERIFY(item);
    QTest::keyClick(editor->dial, Qt::Key_Right);
    QTest::keyClick(editor->dial, Qt::Key_Right);
    QCOMPARE(item->angle(), 20);
    QCOMPARE(editor->undoStack()->count(), 2); // added, turned
    pressKey(editor.get(), Qt::Key_Z);
    item = editor->scene()->selectedBaseItem();
    QVERIFY(item);
    QCOMPARE(item->angle(), 0);
    QCOMPARE(editor->dial->value(), 0);
}

void tst_Cavas::undoInCropModeUndoesTheLastEdit()
{
    auto editor = openEditor(QSize(600, 400));
    QVERIFY(editor);
    click(editor->btnRight);
    answerModal<vbRazorDialog>([](vbRazorDialog* d) { click(d->btnOk); });
    click(editor->btnRazor);
    QVERIFY(editor->scene()->isRazorMode());
    // The frame goes uncut, and the turn is undone as asked.
    pressKey(editor.get(), Qt::Key_Z);
    QVERIFY(!editor->scene()->isRazorMode());
    QCOMPARE(editor->tips(), QString());
    QCOMPARE(editor->scene()->photoAngle(), 0);
    QCOMPARE(editor->scene()->photoItem()->image().size(), QSize(600, 400));
    answerModal<vbRazorDialog>([](vbRazorDialog* d) { click(d->btnOk); });
    click(editor->btnRazor);
    click(editor->btnRedo);
    QVERIFY(!editor->scene()->isRazorMode());
    QCOMPARE(editor->scene()->photoAngle(), 90);
    // Escape in crop mode also only ends the crop.
    answerModal<vbRazorDialog>([](vbRazorDialog* d) { click(d->btnOk); });
    click(editor->btnRazor);
    pressKey(editor.get(), Qt::Key_Escape, Qt::NoModifier);
    QVERIFY(!editor->scene()->isRazorMode());
    QVERIFY(editor->isVisible());
}

QTEST_MAIN(tst_Cavas)
#include "tst_cavas.moc"
