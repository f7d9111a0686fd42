// The language both programs choose and the sentences built from translated pieces.
#include "vbIniParser.h"
#include "vbLanguage.h"
#include "vbMainWnd.h"
#include "vbSelectFiles.h"
#include "vbTitleBar.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"
#include "vbUploadQueue.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QString builtQm(const QString& language)
{
    return qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/tr/pixvane_%1.qm").arg(language);
}

} // namespace

class tst_language : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void choose()
    {
        // System locale, [ui] language setting, expected language.
        const char* cases[][3] = {{"zh_TW", "", "zh"},     {"zh-Hant-TW", "", "zh"}, {"de_DE", "", "en"},
                                  {"C", "", "en"},         {"de_DE", "zh", "zh"},    {"zh_CN", "en", "en"},
                                  {"fr_FR", " ZH ", "zh"}, {"zh_CN", "fr", "zh"},    {"en_US", "zhx", "en"}};
        for (const auto& c : cases)
            QVERIFY2(vbLanguage::choose(QLatin1String(c[0]), QLatin1String(c[1])) == QLatin1String(c[2]),
                     qPrintable(QStringLiteral("%1 / '%2'").arg(c[0], c[1])));
    }

    // The program folder decides: its [ui] setting and the translation files it holds.
    void install_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Chinese asked and present") << "zh" << QStringList{"zh", "en"} << QString("zh");
        QTest::newRow("Chinese file missing") << "zh" << QStringList{"en"} << QString("en");
        QTest::newRow("no files at all") << "zh" << QStringList{} << QString("en");
    }
    void install()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir folder;
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
        QCOMPARE(QCoreApplication::translate("vbMainWnd", "Quit"),
                 expected == "zh" ? QStringLiteral("退出") : QStringLiteral("Quit"));
        // The locale picks the captioned bitmaps, so it must match the language.
        QCOMPARE(QLocale().language(), expected == "zh" ? QLocale::Chinese : QLocale::English);
    }

    void compose()
    {
        const QStringList ab{"a", "b"};
        QCOMPARE(vbLanguage::compose("%1 7%2", ab), QStringLiteral("a 7b"));
        QCOMPARE(vbLanguage::compose("only %2", ab), QStringLiteral("only b"));
        QCOMPARE(vbLanguage::compose("%1%2", {"x%2", "y"}), QStringLiteral("x%2y")); // pieces are not re-read
        QCOMPARE(vbLanguage::compose("%1 %3 100%", {"a"}), QStringLiteral("a %3 100%"));
    }

    // Chinese reads as the pieces always joined, English is worded with its
    // plurals, and without a translation the source pieces join as before.
    void sentences()
    {
        const auto lead = [] { return QCoreApplication::translate("vbUploadQueue", "Uploading...Success"); };
        QCOMPARE(vbUploadQueue::albumRoomQuestion(5),
                 "You can upload5 photos.Do you want upload front photo?");
        QTranslator zh, en;
        QVERIFY(zh.load(builtQm("zh")) && en.load(builtQm("en")));
        QCoreApplication::installTranslator(&zh);
        QCOMPARE(vbMainWnd::photoCountText(12), "您选择了 12 张照片");
        QCOMPARE(vbUploadQueue::progressText(lead(), 3, 1), "正在上传...已成功 3 张照片，等待 1 张照片。");
        QCOMPARE(vbUploadQueue::albumFullText(), "您还可以上传 500 张照片。");
        QCOMPARE(vbUploadFailed::countsText(3, 6), "成功上传3张照片，有6张失败");
        QCoreApplication::removeTranslator(&zh);
        QCoreApplication::installTranslator(&en);
        QCOMPARE(vbMainWnd::photoCountText(1), "You have selected 1 photo");
        QCOMPARE(vbMainWnd::photoCountText(12), "You have selected 12 photos");
        QCOMPARE(vbUploadQueue::progressText(lead(), 1, 2), "Uploading... 1 photo uploaded, 2 left.");
        QCOMPARE(vbUploadQueue::albumRoomQuestion(1),
                 "The album has room for only 1 more photo. Do you want to upload the first one?");
        QCOMPARE(vbUploadFailed::countsText(1, 6), "1 photo uploaded, 6 failed.");
        QCOMPARE(vbSelectFiles::selectInfoText(1), "1 photo selected");
        // The result boxes choose title and sentence by the counts, one photo worded apart.
        const std::pair<QPoint, QStringList> results[] = {
            {{0, 6}, {"Upload Failed", "None of the 6 photos could be uploaded."}},
            {{0, 1}, {"Upload Failed", "The photo could not be uploaded."}},
            {{17, 3}, {"Upload Finished with Failures", "17 photos uploaded, 3 failed."}},
            {{5, 0}, {"Upload Complete", "All 5 photos were uploaded."}},
            {{1, 0}, {"Upload Complete", "The photo was uploaded."}}};
        for (const auto& [counts, shown] : results) {
            vbUploadFailed failed;
            vbUploadComplete complete(QStringLiteral("http://127.0.0.1"));
            failed.setCounts(counts.x(), counts.y());
            complete.setUploaded(counts.x());
            const QStringList got = counts.y()
                                        ? QStringList{failed.widget->title(), failed.label->text()}
                                        : QStringList{complete.widget->title(), complete.label->text()};
            QCOMPARE(got, shown);
        }
        QCoreApplication::removeTranslator(&en);
    }
};

QTEST_MAIN(tst_language)
#include "tst_language.moc"
