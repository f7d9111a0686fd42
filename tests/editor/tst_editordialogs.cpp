// What the element library keeps on import and on a cancelled update.
#include "vbAddElement.h"
#include "vbPushButton.h"

#include <QDate>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class tst_EditorDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void elementImportKeepsExisting();
    void elementUpdate_data();
    void elementUpdate();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
};

void tst_EditorDialogs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
}

void tst_EditorDialogs::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    m_dir.reset();
}

static void writePicture(const QString& path, QColor colour)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

static void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

void tst_EditorDialogs::elementImportKeepsExisting()
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

void tst_EditorDialogs::elementUpdate_data()
{
    QTest::addColumn<bool>("earlierToday");
    QTest::newRow("first today") << false;
    QTest::newRow("after an earlier one today") << true;
}

void tst_EditorDialogs::elementUpdate()
{
    // A cancelled download removes today's empty folder, never an earlier download.
    QFETCH(bool, earlierToday);
    const QString today = "Elements/" + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    writePicture("Elements/Stars/a.png", Qt::red);
    if (earlierToday)
        writePicture(today + "/old.png", Qt::red);
    QString target;
    vbAddElement::setDownloader([&](const QString&, const QString& t, QWidget*) {
        target = t;
        return 0;
    });
    vbAddElement dialog;
    dialog.show();
    click(dialog.btnUpdate);
    QVERIFY(target.endsWith(today));
    QCOMPARE(QDir(today).exists(), earlierToday);
    QCOMPARE(QFile::exists(today + "/old.png"), earlierToday);
}

QTEST_MAIN(tst_EditorDialogs)
#include "tst_editordialogs.moc"
