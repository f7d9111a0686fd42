// The editor dialog on a real photo node: opening whole at Fit, crop then save,
// the quality rule, oriented photos, Ok before the picture, and undo / redo;
// and what its element library keeps on import and on a cancelled update.
#include "_loadThread.h"
#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbCanvasScene.h"
#include "vbCanvasView.h"
#include "vbCavas.h"
#include "vbFileNode.h"
#include "vbImageItem.h"
#include "vbPushButton.h"
#include "vbRazorDialog.h"
#include "vbTestPhotos.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDate>
#include <QImageReader>
#include <QImageWriter>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>

static void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

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

static void pressKey(QWidget* window, Qt::Key key)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, key, Qt::ControlModifier);
}

class tst_Cavas : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensWholeAtFit();
    void okCropsThenSaves();
    void saveQuality_data();
    void saveQuality();
    void okBeforeThePicture();
    void orientedPhotoOpensUpright_data();
    void orientedPhotoOpensUpright();
    void undoRedo();
    void elementImportKeepsExisting();
    void elementUpdate_data();
    void elementUpdate();

private:
    // The editor on m_photo (written first when size is given), once its picture arrived.
    std::unique_ptr<vbCavas> openEditor(const QSize& size = {}, qint64 bytes = 0);
    QString saved() const { return vbCavas::outputPath(m_node.get()); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<vbFileNode> m_node;
    QString m_photo;
};

void tst_Cavas::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_loader = std::make_unique<_loadThread>();
    m_photo = m_dir->filePath(QStringLiteral("holiday.jpg"));
}

void tst_Cavas::cleanup()
{
    m_node.reset();
    m_loader.reset();
    QDir::setCurrent(m_oldCurrent);
    m_dir.reset();
}

std::unique_ptr<vbCavas> tst_Cavas::openEditor(const QSize& size, qint64 bytes)
{
    if (size.isValid() && !(bytes > 0 ? vbTestPhotos::writeJpegOfSize(m_photo, size, bytes)
                                      : vbTestPhotos::writeJpeg(m_photo, size)))
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

void tst_Cavas::opensWholeAtFit()
{
    // A large photo opens whole, without scroll bars.
    auto big = openEditor(QSize(3000, 2000));
    QVERIFY(big);
    QCOMPARE(big->comboBox->currentText(), QStringLiteral("Fit"));
    QVERIFY(m_node->bigImage().isNull()); // dropped once the canvas has it
    const QSizeF shown = big->scene()->sceneRect().size();
    QVERIFY(shown.width() <= big->view->viewport()->width() &&
            shown.height() <= big->view->viewport()->height());
    QVERIFY(!big->view->horizontalScrollBar()->isVisible() && !big->view->verticalScrollBar()->isVisible());
}

void tst_Cavas::okCropsThenSaves()
{
    auto editor = openEditor(QSize(1000, 800));
    QVERIFY(editor);
    answerModal<vbRazorDialog>([](vbRazorDialog* d) {
        d->comboBox->setCurrentIndex(1); // 6S across
        click(d->btnOk);
    });
    click(editor->btnRazor);
    QVERIFY(editor->scene()->isRazorMode());
    // The first Ok cuts and leaves the editor open; the second saves.
    click(editor->btnOk);
    QVERIFY(!editor->scene()->isRazorMode());
    QCOMPARE(editor->scene()->photoItem()->image().size(), QSize(950, 633));
    QVERIFY(editor->isVisible());
    const QString output = saved();
    click(editor->btnOk);
    QCOMPARE(editor->result(), int(QDialog::Accepted));
    QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(output).absoluteFilePath());
    QCOMPARE(m_node->sourcePath(), QFileInfo(m_photo).absoluteFilePath());
    QCOMPARE(QImage(output).size(), QSize(950, 633));
    QCOMPARE(saved(), output); // a second edit writes to the same file
}

void tst_Cavas::saveQuality_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("quality");
    QTest::newRow("exactly 1 MiB") << qint64(1048576) << 100;
    QTest::newRow("one byte more") << qint64(1048577) << 80;
}

void tst_Cavas::saveQuality()
{
    QFETCH(qint64, bytes);
    QFETCH(int, quality);
    auto editor = openEditor(QSize(1200, 900), bytes);
    QVERIFY(editor);
    QCOMPARE(QFileInfo(m_photo).size(), bytes);
    QByteArray expected;
    QBuffer buffer(&expected);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    QVERIFY(writer.write(editor->scene()->renderImage()));
    click(editor->btnOk);
    QFile file(saved());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
}

void tst_Cavas::okBeforeThePicture()
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
    QCOMPARE(m_node->fileInfo().absoluteFilePath(), QFileInfo(m_photo).absoluteFilePath());
    QVERIFY(!QFile::exists(saved()));
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
    vbTestPhotos::Exif exif;
    exif.make = QStringLiteral("Phone Maker");
    QVERIFY(vbTestPhotos::writeOrientedJpeg(m_photo, upright, orientation, exif));
    auto editor = openEditor();
    QVERIFY(editor);
    const QImage opened = editor->scene()->photoItem()->image();
    QCOMPARE(opened.size(), QSize(300, 400));
    QCOMPARE(vbTestPhotos::quarterColours(opened), vbTestPhotos::quarterColours(upright));

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
    QCOMPARE(metadata.value(QStringLiteral("Exif.Photo.PixelXDimension")), QStringLiteral("400"));
}

void tst_Cavas::undoRedo()
{
    auto editor = openEditor(QSize(600, 400));
    QVERIFY(editor);
    vbCanvasScene* scene = editor->scene();
    const QImage original = scene->renderImage();
    answerModal<vbAddText>([](vbAddText* d) {
        QTest::keyClicks(d->textEdit, QStringLiteral("Summer"));
        click(d->btnOk);
    });
    click(editor->btnAddText);
    QCOMPARE(scene->overlays().size(), 1);
    QVERIFY(scene->renderImage() != original);
    click(editor->btnRight);
    QCOMPARE(editor->undoStack()->count(), 2);

    click(editor->btnUndo);
    QCOMPARE(scene->photoAngle(), 0);
    QCOMPARE(scene->overlays().size(), 1);
    pressKey(editor.get(), Qt::Key_Z);
    QCOMPARE(scene->renderImage(), original);
    QVERIFY(!editor->btnUndo->isEnabled());
    click(editor->btnRedo);
    QCOMPARE(scene->overlays().size(), 1);
    pressKey(editor.get(), Qt::Key_Y);
    QCOMPARE(scene->photoAngle(), 90);
    QVERIFY(!editor->btnRedo->isEnabled());
    click(editor->btnOk); // saves what is shown
    QCOMPARE(QImage(saved()).size(), QSize(400, 600));
}

static void writePicture(const QString& path, QColor colour)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

void tst_Cavas::elementImportKeepsExisting()
{
    writePicture("Elements/Stars/a.png", Qt::red);
    writePicture("outside/a.png", Qt::blue);
    writePicture("outside/new.png", Qt::green);
    vbAddElement::setFilePicker([&](QWidget*, const QString&, const QString&, const QString&) {
        return QStringList{QDir::current().absoluteFilePath("outside/a.png"),
                           QDir::current().absoluteFilePath("outside/new.png")};
    });
    vbAddElement dialog;
    dialog.show();
    click(dialog.btnImport);
    // The existing name keeps its picture; the new one is copied and listed.
    QCOMPARE(QImage("Elements/Stars/a.png").pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(dialog.listWidget->count(), 2);
    QCOMPARE(dialog.listWidget->item(1)->data(Qt::UserRole).toString(),
             QDir::current().absoluteFilePath("Elements/Stars/new.png"));
}

void tst_Cavas::elementUpdate_data()
{
    QTest::addColumn<bool>("earlierToday");
    QTest::newRow("first today") << false;
    QTest::newRow("after an earlier one today") << true;
}

void tst_Cavas::elementUpdate()
{
    // A failed download removes today's empty folder, never an earlier download.
    QFETCH(bool, earlierToday);
    const QString today = "Elements/" + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    writePicture("Elements/Stars/a.png", Qt::red);
    if (earlierToday)
        writePicture(today + "/old.png", Qt::red);
    quint16 closedPort = 0;
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    vbEndpoints nowhere;
    nowhere.setUpdateFtp(QStringLiteral("127.0.0.1"));
    nowhere.setFtpPort(closedPort);
    vbAddElement dialog;
    dialog.setEndpoints(nowhere);
    dialog.show();
    click(dialog.btnUpdate);
    QVERIFY(dialog.isDownloading() && dialog.progressBar->isVisible() && !dialog.btnUpdate->isEnabled());
    QVERIFY(QDir(today).exists());
    QTRY_VERIFY(!dialog.isDownloading());
    QVERIFY(!dialog.progressBar->isVisible() && dialog.btnUpdate->isEnabled());
    QCOMPARE(QDir(today).exists(), earlierToday);
    QCOMPARE(QFile::exists(today + "/old.png"), earlierToday);
}

QTEST_MAIN(tst_Cavas)
#include "tst_cavas.moc"
