// The crop-size, text and element dialogs.
#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbClickLabel.h"
#include "vbRazorDialog.h"
#include "vbTitleBar.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

Q_DECLARE_METATYPE(QList<QColor>)

class tst_EditorDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void razorFirstRatio();
    void razorOrientation();
    void razorTips_data();
    void razorTips();
    void razorCloseIsCancel();

    void addTextAtOnce();
    void addTextColour_data();
    void addTextColour();
    void addTextOneFormat();
    void addTextInsertDate();

    void elementLibrary();
    void elementChoose();
    void elementImport();
    void elementUpdate_data();
    void elementUpdate();
    void elementNoLibrary();

private:
    void writePicture(const QString& path, QColor colour);
    QTemporaryDir* m_dir = nullptr;
    QString m_oldCurrent;
};

void tst_EditorDialogs::init()
{
    m_dir = new QTemporaryDir();
    QVERIFY(m_dir->isValid());
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
}

void tst_EditorDialogs::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    delete m_dir;
    m_dir = nullptr;
    vbAddText::setColorPicker([](const QColor&, QWidget*) { return QColor(); });
}

void tst_EditorDialogs::writePicture(const QString& path, QColor colour)
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

void tst_EditorDialogs::razorFirstRatio()
{
    vbRazorDialog dialog(2000, 1500);
    QSignalSpy spy(&dialog, &vbRazorDialog::sig_aspectChanged);
    dialog.selectSize(0, true);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toFloat(), 1.4285715f);
    QCOMPARE(spy.at(0).at(1).toBool(), true);
    QVERIFY(dialog.rbx_h->isChecked());
}

void tst_EditorDialogs::razorOrientation()
{
    vbRazorDialog dialog(1024, 768);
    dialog.selectSize(0, true);
    dialog.comboBox->setCurrentIndex(1); // 6S
    QSignalSpy spy(&dialog, &vbRazorDialog::sig_aspectChanged);
    dialog.show();
    click(dialog.rbx_v);
    QVERIFY(dialog.rbx_v->isChecked());
    // Only the newly checked button reports.
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toFloat(), 0.6666667f);
    QCOMPARE(spy.at(0).at(1).toBool(), true); // 1024 wide is more than 768
    click(dialog.rbx_h);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toFloat(), 1.5f);
}

void tst_EditorDialogs::razorTips_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("tooSmall");
    QTest::newRow("1024x768 for 6S") << QSize(1024, 768) << 1 << true;
    QTest::newRow("1024x768 for 5S") << QSize(1024, 768) << 0 << false;
    QTest::newRow("2000x100 for 6S") << QSize(2000, 100) << 1 << false;
}

void tst_EditorDialogs::razorTips()
{
    QFETCH(QSize, photo);
    QFETCH(int, index);
    QFETCH(bool, tooSmall);
    vbRazorDialog dialog(photo.width(), photo.height());
    dialog.selectSize(index, true);
    QCOMPARE(dialog.lblTips->text(),
             tooSmall ? QStringLiteral("Can razor because image is too small") : QString());
}

void tst_EditorDialogs::razorCloseIsCancel()
{
    vbRazorDialog dialog(800, 600);
    QSignalSpy terminal(&dialog, &vbRazorDialog::sig_terminal);
    dialog.show();
    click(dialog.title->closeButton());
    QCOMPARE(terminal.count(), 1);
    QCOMPARE(terminal.at(0).at(0).toBool(), false);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // Ok only closes: the crop rectangle stays for the user.
    vbRazorDialog second(800, 600);
    QSignalSpy none(&second, &vbRazorDialog::sig_terminal);
    second.show();
    click(second.btnOk);
    QCOMPARE(none.count(), 0);
    QVERIFY(!second.isVisible());
}

void tst_EditorDialogs::addTextAtOnce()
{
    vbAddText dialog;
    QSignalSpy spy(&dialog, &vbAddText::sig_addText);
    dialog.show();
    click(dialog.btnOk);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString());
    QCOMPARE(spy.at(0).at(1).value<QFont>().pointSize(), 16);
    QCOMPARE(spy.at(0).at(2).value<QColor>(), QColor(Qt::yellow));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_EditorDialogs::addTextColour_data()
{
    QTest::addColumn<QList<QColor>>("answers");
    QTest::addColumn<QColor>("emitted");
    QTest::newRow("chosen") << QList<QColor>{Qt::red} << QColor(Qt::red);
    QTest::newRow("chosen, then cancelled") << QList<QColor>{Qt::red, QColor()} << QColor(Qt::black);
    QTest::newRow("cancelled") << QList<QColor>{QColor()} << QColor(Qt::black);
}

void tst_EditorDialogs::addTextColour()
{
    QFETCH(QList<QColor>, answers);
    QList<QColor> initials;
    vbAddText::setColorPicker([&](const QColor& initial, QWidget*) {
        initials.append(initial);
        return answers.takeFirst();
    });
    vbAddText dialog;
    QSignalSpy spy(&dialog, &vbAddText::sig_addText);
    dialog.show();
    const int presses = answers.size();
    for (int i = 0; i < presses; ++i)
        click(dialog.btnColor);
    QTest::keyClicks(dialog.textEdit, QStringLiteral("hi"));
    click(dialog.btnOk);
    QCOMPARE(initials.size(), presses);
    QCOMPARE(initials.first(), QColor(255, 255, 255));
    QTEST(spy.at(0).at(2).value<QColor>(), "emitted");
}

void tst_EditorDialogs::addTextOneFormat()
{
    vbAddText dialog;
    QSignalSpy spy(&dialog, &vbAddText::sig_addText);
    dialog.show();
    QTest::keyClicks(dialog.textEdit, QStringLiteral("hello"));
    click(dialog.btnBold);
    click(dialog.btnItaly);
    dialog.cbxSize->setCurrentIndex(dialog.cbxSize->findText(QStringLiteral("24")));
    QTest::keyClicks(dialog.textEdit, QStringLiteral(" world"));
    // Every character carries the same format, typed before or after the change.
    for (QTextBlock b = dialog.textEdit->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QCOMPARE(f.fontPointSize(), 24.0);
            QCOMPARE(f.fontWeight(), int(QFont::Bold));
            QVERIFY(f.fontItalic());
        }
    }
    click(dialog.btnOk);
    const QFont font = spy.at(0).at(1).value<QFont>();
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("hello world"));
    QCOMPARE(font.pointSize(), 24);
    QVERIFY(font.bold());
    QVERIFY(font.italic());
    QVERIFY(!font.underline());
}

void tst_EditorDialogs::addTextInsertDate()
{
    vbAddText dialog;
    dialog.show();
    QTest::keyClicks(dialog.textEdit, QStringLiteral("Trip"));
    click(dialog.lblInsertDate);
    click(dialog.lblInsertDate);
    const QStringList lines = dialog.textEdit->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("Trip"));
    const QRegularExpression stamp(QStringLiteral("^\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}$"));
    QVERIFY(stamp.match(lines.at(1)).hasMatch());
    QVERIFY(stamp.match(lines.at(2)).hasMatch());
}

void tst_EditorDialogs::elementLibrary()
{
    writePicture("Elements/Stars/b.png", Qt::yellow);
    writePicture("Elements/Stars/a.PNG", Qt::red);
    writePicture("Elements/Stars/c.jpg", Qt::blue);
    QFile notes("Elements/Stars/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();
    writePicture("Elements/Hearts/h.png", Qt::red);
    QDir().mkpath("Elements/Empty");

    vbAddElement dialog;
    QCOMPARE(dialog.comboBox->count(), 3);
    QCOMPARE(dialog.comboBox->itemText(0), QStringLiteral("Empty"));
    QCOMPARE(dialog.comboBox->currentIndex(), 0);
    QCOMPARE(dialog.listWidget->count(), 0);
    dialog.comboBox->setCurrentIndex(dialog.comboBox->findText("Stars"));
    QCOMPARE(dialog.listWidget->count(), 3);
    const QListWidgetItem* first = dialog.listWidget->item(0);
    QCOMPARE(first->data(Qt::UserRole).toString(), QDir::current().absoluteFilePath("Elements/Stars/a.PNG"));
    QCOMPARE(first->toolTip(), QStringLiteral("Double click to add element"));
    QVERIFY(first->text().isEmpty());
    QVERIFY(!first->icon().isNull());
    QCOMPARE(first->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

void tst_EditorDialogs::elementChoose()
{
    writePicture("Elements/Stars/a.png", Qt::red);
    writePicture("Elements/Stars/b.png", Qt::red);
    vbAddElement dialog;
    QSignalSpy spy(&dialog, &vbAddElement::sig_addElement);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    click(dialog.btnOK); // nothing chosen yet
    QCOMPARE(spy.count(), 0);
    QVERIFY(dialog.isVisible());

    QListWidgetItem* second = dialog.listWidget->item(1);
    QTRY_VERIFY(!dialog.listWidget->visualItemRect(second).isEmpty());
    const QPoint centre = dialog.listWidget->visualItemRect(second).center();
    QTest::mouseClick(dialog.listWidget->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(dialog.listWidget->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QDir::current().absoluteFilePath("Elements/Stars/b.png"));
    QVERIFY(!dialog.isVisible());

    dialog.show();
    dialog.listWidget->setCurrentRow(0);
    click(dialog.btnOK);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QDir::current().absoluteFilePath("Elements/Stars/a.png"));
}

void tst_EditorDialogs::elementImport()
{
    writePicture("Elements/Stars/a.png", Qt::red);
    writePicture("outside/a.png", Qt::blue);
    writePicture("outside/new.png", Qt::green);
    QString askedFolder;
    vbAddElement::setFilePicker([&](QWidget*, const QString&, const QString& folder, const QString&) {
        askedFolder = folder;
        return QStringList{QDir::current().absoluteFilePath("outside/a.png"),
                           QDir::current().absoluteFilePath("outside/new.png")};
    });
    vbAddElement dialog;
    dialog.show();
    QCOMPARE(dialog.listWidget->count(), 1);
    click(dialog.btnImport);
    QVERIFY(askedFolder.endsWith(QStringLiteral("Elements/Stars/")));
    // The existing name adds nothing and keeps its picture; the new one is copied.
    QCOMPARE(dialog.listWidget->count(), 2);
    QCOMPARE(QImage("Elements/Stars/a.png").pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(QFile::exists("Elements/Stars/new.png"));
    QCOMPARE(dialog.listWidget->item(1)->data(Qt::UserRole).toString(),
             QDir::current().absoluteFilePath("Elements/Stars/new.png"));
}

void tst_EditorDialogs::elementUpdate_data()
{
    QTest::addColumn<bool>("earlierToday");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("writes");
    QTest::addColumn<bool>("typeAfter");
    QTest::newRow("accepted") << false << 1 << true << true;
    QTest::newRow("cancelled") << false << 0 << false << false;
    QTest::newRow("failed and closed") << false << 1 << false << false;
    QTest::newRow("cancelled after an earlier one today") << true << 0 << false << true;
}

void tst_EditorDialogs::elementUpdate()
{
    QFETCH(bool, earlierToday);
    QFETCH(int, result);
    QFETCH(bool, writes);
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    writePicture("Elements/Stars/a.png", Qt::red);
    if (earlierToday)
        writePicture("Elements/" + today + "/old.png", Qt::red);
    QString remote, target;
    vbAddElement::setDownloader([&](const QString& r, const QString& t, QWidget*) {
        remote = r;
        target = t;
        if (writes) {
            QImage image(10, 10, QImage::Format_ARGB32);
            image.fill(Qt::red);
            image.save(t + "/fresh.png");
        }
        return result;
    });
    vbAddElement dialog;
    dialog.show();
    click(dialog.btnUpdate);
    QCOMPARE(remote, QStringLiteral("element"));
    QVERIFY(target.endsWith("Elements/" + today));
    QTEST(QDir("Elements/" + today).exists(), "typeAfter");
    if (result == 1)
        QCOMPARE(dialog.comboBox->findText(today) >= 0, writes || earlierToday);
}

void tst_EditorDialogs::elementNoLibrary()
{
    vbAddElement dialog;
    QCOMPARE(dialog.comboBox->count(), 0);
    QCOMPARE(dialog.listWidget->count(), 0);
    bool asked = false;
    vbAddElement::setFilePicker([&](QWidget*, const QString&, const QString&, const QString&) {
        asked = true;
        return QStringList();
    });
    dialog.show();
    click(dialog.btnImport);
    QVERIFY(!asked);
}

QTEST_MAIN(tst_EditorDialogs)
#include "tst_editordialogs.moc"
