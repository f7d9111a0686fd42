#include "KitButtonFlags.h"
#include "vbFileList.h"
#include "vbLogin.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbSession.h"
#include "vbStatusBar.h"
#include "vbTestPhotos.h"
#include "vbToolPanel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPixmapCache>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// Runs the real windows on a real (virtual) display and keeps screenshots of
// them in the build folder, in English and in Chinese, for people to look at.
class tst_Smoke : public QObject
{
    Q_OBJECT

private:
    static QString shotDir()
    {
        const QString dir = qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/screenshots");
        QDir().mkpath(dir);
        return dir;
    }

    // A blank or broken grab has next to no colours.
    static int colourCount(const QImage& image)
    {
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        return int(colours.size());
    }

    void keep(QWidget* widget, const QString& name)
    {
        const QImage image = widget->grab().toImage();
        QVERIFY(!image.isNull());
        QVERIFY2(colourCount(image) > 20, qPrintable(name));
        QVERIFY(image.save(shotDir() + QStringLiteral("/smoke_%1_%2.png").arg(name, m_language)));
    }

    void shootAll()
    {
        QTemporaryDir program;
        QDir::setCurrent(program.path());
        vbMainWnd window;
        setMainWnd(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        keep(&window, QStringLiteral("mainwnd_empty"));

        // Signed in with albums and a dozen photos, in each view mode.
        window.session()->signIn(1001, QStringLiteral("demo@velbrook.test"), QStringLiteral("demo"),
                                 QStringLiteral("127.0.0.2"), QStringLiteral("http"));
        window.toolPanel()->lblLoginInfo->setText(QCoreApplication::translate("vbMainWnd", "Welcome") +
                                                  QStringLiteral("demo@velbrook.test"));
        window.toolPanel()->label->show();
        window.toolPanel()->comboBox->show();
        window.toolPanel()->lblCreate->show();
        window.toolPanel()->comboBox->addItems({QStringLiteral("Family"), QStringLiteral("Trip")});
        QList<QFileInfo> photos;
        for (int i = 0; i < 12; ++i) {
            const QString path = m_photos.filePath(QStringLiteral("photo_%1.jpg").arg(i));
            if (!QFile::exists(path))
                QVERIFY(vbTestPhotos::writeJpeg(path, i % 3 ? QSize(640, 480) : QSize(480, 640), 85, i));
            photos.append(QFileInfo(path));
        }
        window.fileList()->addFiles(photos, false);
        QTRY_VERIFY_WITH_TIMEOUT(!window.fileList()->nodes().constLast()->thumbnail().isNull(), 20000);
        keep(&window, QStringLiteral("mainwnd_small_icons"));
        window.toolPanel()->actionBigIcon()->trigger();
        keep(&window, QStringLiteral("mainwnd_big_icons"));
        window.toolPanel()->actionList()->trigger();
        keep(&window, QStringLiteral("mainwnd_list"));

        vbMessageBox box(OkButton | CancelButton, QCoreApplication::translate("vbMainWnd", "Tips"),
                         QCoreApplication::translate("vbMainWnd", "Do you want clear all photo?"), &window);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        keep(&box, QStringLiteral("messagebox"));

        vbLogin login(&window);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        keep(&login, QStringLiteral("login"));
        setMainWnd(nullptr);
    }

    // As the program does: the translation, and the locale that picks the button bitmaps.
    void shootIn(const QString& language, QLocale::Language locale, const QString& tips)
    {
        m_language = language;
        const QString qm =
            qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/tr/pixvane_%1.qm").arg(language);
        QVERIFY2(m_translator.load(qm), qPrintable(qm));
        QCoreApplication::installTranslator(&m_translator);
        QLocale::setDefault(QLocale(locale));
        QPixmapCache::clear();
        // The translation really is in use.
        QCOMPARE(QCoreApplication::translate("vbMainWnd", "Tips"), tips);
        shootAll();
        QCoreApplication::removeTranslator(&m_translator);
        QLocale::setDefault(QLocale::c());
        QPixmapCache::clear();
    }

    QTemporaryDir m_photos;
    QTranslator m_translator;
    QString m_language;

private slots:
    void english() { shootIn(QStringLiteral("en"), QLocale::English, QStringLiteral("Notice")); }
    void chinese() { shootIn(QStringLiteral("zh"), QLocale::Chinese, QStringLiteral("提示")); }
};

QTEST_MAIN(tst_Smoke)
#include "tst_smoke.moc"
