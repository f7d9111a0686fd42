// Grabs the kit's windows in English and Chinese into <build>/screenshots so a
// person can look at them, and checks that none of them came out blank.

#include "vbKitDialog.h"
#include "vbKitStyle.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbStatusBar.h"
#include "vbTitleBar.h"
#include "vbToolPanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPixmapCache>
#include <QSet>
#include <QTest>
#include <QTranslator>
#include <QVBoxLayout>

namespace {

int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

} // namespace

class tst_KitSmoke : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void screenshots_data();
    void screenshots();

private:
    QString save(QWidget* widget, const QString& name, const QString& language);
    QDir m_out;
};

void tst_KitSmoke::initTestCase()
{
    m_out = QDir(qEnvironmentVariable("PV_BUILD_DIR", QDir::currentPath()));
    QVERIFY(m_out.mkpath(QStringLiteral("screenshots")));
    QVERIFY(m_out.cd(QStringLiteral("screenshots")));
}

QString tst_KitSmoke::save(QWidget* widget, const QString& name, const QString& language)
{
    const QImage shot = widget->grab().toImage();
    const QString path = m_out.filePath(QStringLiteral("kit_%1_%2.png").arg(name, language));
    if (!shot.save(path))
        return QStringLiteral("cannot write ") + path;
    if (distinctColours(shot) < 20)
        return name + QStringLiteral(" looks blank");
    return QString();
}

void tst_KitSmoke::screenshots_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << "en";
    QTest::newRow("zh") << "zh";
}

void tst_KitSmoke::screenshots()
{
    QFETCH(QString, language);
    QTranslator translator;
    if (language == QLatin1String("zh")) {
        QVERIFY(translator.load(QStringLiteral(KIT_QM)));
        QCoreApplication::installTranslator(&translator);
    }
    // As the programs do: the default locale picks the captioned bitmaps.
    // Pixmaps are cached by path, so drop the other language's.
    QLocale::setDefault(language == QLatin1String("zh") ? QLocale(QLocale::Chinese, QLocale::China)
                                                        : QLocale::c());
    QPixmapCache::clear();
    const bool zh = language == QLatin1String("zh");

    // The main window frame: panel, empty photo area, status bar.
    QWidget frame;
    frame.setWindowFlags(Qt::FramelessWindowHint);
    frame.setWindowIcon(vbKit::appIcon());
    auto* column = new QVBoxLayout(&frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* panel = new vbToolPanel(&frame);
    panel->lblLoginInfo->setText(QStringLiteral("demo@velbrook.test"));
    panel->comboBox->addItem(QStringLiteral("Holiday 2009"));
    column->addWidget(panel);
    auto* area = new QLabel(&frame);
    area->setAlignment(Qt::AlignCenter);
    area->setPixmap(QPixmap(QStringLiteral(":/Resources/noSelectImage.PNG")));
    area->setStyleSheet(QStringLiteral("background: white"));
    column->addWidget(area, 1);
    auto* status = new vbStatusBar(&frame);
    status->lblStatus->setText(QStringLiteral("3 / 12"));
    status->lblDeleteAll->show();
    column->addWidget(status);
    frame.resize(900, 560);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(panel->label->text(), zh ? QStringLiteral(u"照片上传到：") : QStringLiteral("Photo upload to:"));
    QCOMPARE(panel->actionSmallIcon()->text(),
             zh ? QStringLiteral(u"小图标模式") : QStringLiteral("Samll Icon mode"));
    QCOMPARE(status->lblDeleteAll->text(), zh ? QStringLiteral(u"全部移除") : QStringLiteral("Remove All"));
    QString problem = save(&frame, QStringLiteral("mainframe"), language);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    panel->viewModeMenu()->popup(frame.mapToGlobal(panel->btnViewMode->geometry().bottomLeft()));
    problem = save(panel->viewModeMenu(), QStringLiteral("viewmode_menu"), language);
    panel->viewModeMenu()->hide();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    vbMessageBox box(24, QStringLiteral("Tips"), QStringLiteral("Do you want upload photos next time?"),
                     &frame);
    box.setButtonImages(8, QStringLiteral(":/Resources/autoLoad.png"),
                        QStringLiteral(":/Resources/autoLoad_hover.png"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.btnOK->text(), zh ? QStringLiteral(u"确定") : QStringLiteral("Ok"));
    problem = save(&box, QStringLiteral("messagebox"), language);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    vbKitDialog dialog(&frame);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(1, 1, 1, 5);
    auto* bar = new vbTitleBar(&dialog);
    bar->setTitle(QStringLiteral("Upload logs"));
    layout->addWidget(bar);
    layout->addWidget(new QLabel(QStringLiteral("  Photos: 12, uploaded: 11, failed: 1"), &dialog), 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(new vbPushButton(85, 25, QStringLiteral(":/Resources/reUpload.png"),
                                        QStringLiteral(":/Resources/reUpload_hover.png"), &dialog));
    buttons->addWidget(new vbPushButton(85, 25, QStringLiteral(":/Resources/close.png"),
                                        QStringLiteral(":/Resources/close_hover.png"), &dialog));
    layout->addLayout(buttons);
    dialog.resize(400, 200);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    problem = save(&dialog, QStringLiteral("dialog"), language);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    QCoreApplication::removeTranslator(&translator);
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(tst_KitSmoke)
#include "tst_kitsmoke.moc"
