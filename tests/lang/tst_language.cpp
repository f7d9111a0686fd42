#include "_loadThread.h"
#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbCavas.h"
#include "vbFileNode.h"
#include "vbFullScreen.h"
#include "vbIniParser.h"
#include "vbLanguage.h"
#include "vbLogin.h"
#include "vbLogs.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbNewAlbums.h"
#include "vbPhotoInfo.h"
#include "vbPlayer.h"
#include "vbRazorDialog.h"
#include "vbSelectFiles.h"
#include "vbUploadAgainBox.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"
#include "vbUploadQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QString builtQm(const QString& language)
{
    return qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/tr/pixvane_%1.qm").arg(language);
}

} // namespace

using Window = std::function<std::unique_ptr<QWidget>()>;
Q_DECLARE_METATYPE(std::function<QString()>)
Q_DECLARE_METATYPE(Window)

class tst_language : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_node.setLoader(&m_loader); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void choose_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Chinese system") << "zh_CN"
                                        << ""
                                        << "zh";
        QTest::newRow("Taiwanese system") << "zh_TW"
                                          << ""
                                          << "zh";
        QTest::newRow("bare zh, BCP 47 name") << "zh-Hant-TW"
                                              << ""
                                              << "zh";
        QTest::newRow("English system") << "en_GB"
                                        << ""
                                        << "en";
        QTest::newRow("German system") << "de_DE"
                                       << ""
                                       << "en";
        QTest::newRow("C locale") << "C"
                                  << ""
                                  << "en";
        QTest::newRow("setting zh on a German system") << "de_DE"
                                                       << "zh"
                                                       << "zh";
        QTest::newRow("setting en on a Chinese system") << "zh_CN"
                                                        << "en"
                                                        << "en";
        QTest::newRow("setting in capitals, padded") << "fr_FR"
                                                     << " ZH "
                                                     << "zh";
        QTest::newRow("unknown setting follows the system") << "zh_CN"
                                                            << "fr"
                                                            << "zh";
        QTest::newRow("zh only as a prefix of the setting") << "en_US"
                                                            << "zhx"
                                                            << "en";
    }
    void choose()
    {
        QFETCH(QString, locale);
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        QCOMPARE(vbLanguage::choose(locale, setting), expected);
    }

    // The program folder decides: its [ui] setting and the translation files it holds.
    void install_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("quit");
        QTest::newRow("Chinese asked and present") << "zh" << QStringList{"zh", "en"} << "zh"
                                                   << "退出";
        QTest::newRow("English asked and present") << "en" << QStringList{"zh", "en"} << "en"
                                                   << "Quit";
        QTest::newRow("Chinese file missing") << "zh" << QStringList{"en"} << "en"
                                              << "Quit";
        QTest::newRow("no files at all") << "zh" << QStringList{} << "en"
                                         << "Quit";
    }
    void install()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QFETCH(QString, quit);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("tr")));
        for (const QString& language : files)
            QVERIFY(QFile::copy(builtQm(language), folder.filePath("tr/pixvane_" + language + ".qm")));
        QVERIFY(vbIniParser(folder.filePath("system.ini")).setString("ui", "language", setting));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        QTranslator translator;
        const QString language = vbLanguage::install(&translator, QStringLiteral("pixvane"), "system.ini");
        QDir::setCurrent(before);

        QCOMPARE(language, expected);
        QCOMPARE(QCoreApplication::translate("vbMainWnd", "Quit"), quit);
        // The locale picks the captioned bitmaps, so it must match the language.
        QCOMPARE(QLocale().language(), expected == "zh" ? QLocale::Chinese : QLocale::English);
    }

    void compose_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pieces around a number") << "%1 7%2" << QStringList{"a", "b"} << "a 7b";
        QTest::newRow("markers left out") << "only %2" << QStringList{"a", "b"} << "only b";
        QTest::newRow("piece holding a marker stays") << "%1%2" << QStringList{"x%2", "y"} << "x%2y";
        QTest::newRow("marker without a piece stays") << "%1 %3 100%" << QStringList{"a"} << "a %3 100%";
    }
    void compose()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, pieces);
        QFETCH(QString, expected);
        QCOMPARE(vbLanguage::compose(pattern, pieces), expected);
    }

    // Sentences joined from pieces and numbers: Chinese reads exactly as the pieces
    // always joined, English is worded with its plurals, and without a translation
    // the source pieces join as before.
    void sentences_data()
    {
        using Text = std::function<QString()>;
        QTest::addColumn<QString>("language");
        QTest::addColumn<Text>("text");
        QTest::addColumn<QString>("expected");
        const auto lead = [] { return QCoreApplication::translate("vbUploadQueue", "Uploading...Success"); };

        QTest::newRow("zh photo count")
            << "zh" << Text([] { return vbMainWnd::photoCountText(12); }) << "您选择了 12 张照片";
        QTest::newRow("en one photo")
            << "en" << Text([] { return vbMainWnd::photoCountText(1); }) << "You have selected 1 photo";
        QTest::newRow("en photos") << "en" << Text([] { return vbMainWnd::photoCountText(12); })
                                   << "You have selected 12 photos";
        QTest::newRow("zh progress") << "zh"
                                     << Text([=] { return vbUploadQueue::progressText(lead(), 3, 1); })
                                     << "正在上传...已成功 3 张照片，等待 1 张照片。";
        QTest::newRow("en progress") << "en"
                                     << Text([=] { return vbUploadQueue::progressText(lead(), 1, 2); })
                                     << "Uploading... 1 photo uploaded, 2 left.";
        QTest::newRow("zh room question") << "zh" << Text([] { return vbUploadQueue::albumRoomQuestion(5); })
                                          << "您还可以上传 5 张照片。要上传前面的这些照片吗？";
        QTest::newRow("en room for one")
            << "en" << Text([] { return vbUploadQueue::albumRoomQuestion(1); })
            << "The album has room for only 1 more photo. Do you want to upload the first one?";
        QTest::newRow("source room question")
            << "" << Text([] { return vbUploadQueue::albumRoomQuestion(5); })
            << "You can upload5 photos.Do you want upload front photo?";
        QTest::newRow("zh album full")
            << "zh" << Text([] { return vbUploadQueue::albumFullText(); }) << "您还可以上传 500 张照片。";
        QTest::newRow("source album full")
            << "" << Text([] { return vbUploadQueue::albumFullText(); }) << "You can upload500photos.";
        QTest::newRow("zh failed summary")
            << "zh" << Text([] { return vbUploadFailed::countsText(3, 6); }) << "成功上传3张照片，有6张失败";
        QTest::newRow("en failed summary")
            << "en" << Text([] { return vbUploadFailed::countsText(1, 6); }) << "1 photo uploaded, 6 failed.";
        QTest::newRow("zh chosen files")
            << "zh" << Text([] { return vbSelectFiles::selectInfoText(7); }) << "您选择了 7 张照片";
        QTest::newRow("en one chosen file")
            << "en" << Text([] { return vbSelectFiles::selectInfoText(1); }) << "1 photo selected";
    }
    void sentences()
    {
        QFETCH(QString, language);
        QFETCH(std::function<QString()>, text);
        QFETCH(QString, expected);
        QTranslator translator;
        if (!language.isEmpty()) {
            QVERIFY(translator.load(builtQm(language)));
            QCoreApplication::installTranslator(&translator);
        }
        QCOMPARE(text(), expected);
    }

    // The task bar names every window in words, in either language.
    void windowTitles_data()
    {
        QTest::addColumn<Window>("window");
        const auto make = [](auto factory) {
            return Window([=] { return std::unique_ptr<QWidget>(factory()); });
        };
        QTest::newRow("sign-in") << make([] { return new vbLogin; });
        QTest::newRow("new album") << make([] { return new vbNewAlbums(QString(), 1); });
        QTest::newRow("file selection") << make([] { return new vbSelectFiles; });
        QTest::newRow("upload complete") << make([] { return new vbUploadComplete; });
        QTest::newRow("upload failed") << make([] { return new vbUploadFailed; });
        QTest::newRow("upload again") << make([] { return new vbUploadAgainBox(QImage(), QString()); });
        QTest::newRow("upload log") << make([] { return new vbLogs; });
        QTest::newRow("editor") << make([this] { return new vbCavas(&m_node); });
        QTest::newRow("crop") << make([] { return new vbRazorDialog(1600, 1200); });
        QTest::newRow("text") << make([] { return new vbAddText; });
        QTest::newRow("elements") << make([] { return new vbAddElement; });
        QTest::newRow("photo information") << make([] { return new vbPhotoInfo; });
        QTest::newRow("slideshow") << make([] { return new vbPlayer({}); });
        QTest::newRow("full screen") << make([] { return new vbFullScreen; });
        QTest::newRow("message") << make(
            [] { return new vbMessageBox(8, QStringLiteral("Tips"), QString()); });
    }
    void windowTitles()
    {
        QFETCH(Window, window);
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("zh")}) {
            QTranslator translator;
            QVERIFY(translator.load(builtQm(language)));
            QCoreApplication::installTranslator(&translator);
            const QString title = window()->windowTitle();
            QVERIFY2(!title.isEmpty() && !title.startsWith(QLatin1String("vb")),
                     qPrintable(language + title));
        }
    }

private:
    _loadThread m_loader;
    vbFileNode m_node;
};

QTEST_MAIN(tst_language)
#include "tst_language.moc"
