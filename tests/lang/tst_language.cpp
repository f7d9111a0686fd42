#include "vbIniParser.h"
#include "vbLanguage.h"
#include "vbMainWnd.h"
#include "vbSelectFiles.h"
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

namespace {

QString builtQm(const QString& language)
{
    return qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/tr/pixvane_%1.qm").arg(language);
}

} // namespace

Q_DECLARE_METATYPE(std::function<QString()>)

class tst_language : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_MAIN(tst_language)
#include "tst_language.moc"
