// The compiled-in bitmaps: every one the programs name exists, the kit's come
// at the sizes their buttons have, and each hover bitmap has a normal partner
// that looks different. Under a Chinese default locale the captioned ones come
// with Chinese words at the same sizes, and all others fall back to English.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QPixmap>
#include <QRegularExpression>
#include <QTest>

class tst_Bitmaps : public QObject
{
    Q_OBJECT
private slots:
    void everyNamedBitmapExists();
    void sizes_data();
    void sizes();
    void pairsDiffer_data();
    void pairsDiffer();
    void emptySchemePathFindsTheSameFile();
    void iconsAreOpaqueInTheMiddle();
    void chineseCaptions_data();
    void chineseCaptions();
    void chineseFollowsTheDefaultLocale_data();
    void chineseFollowsTheDefaultLocale();
    void uncaptionedBitmapsFallBackToEnglish();
    void cleanup();
};

namespace {

const QLocale kChinese(QLocale::Chinese, QLocale::China);

// Every bitmap that carries words and so has a Chinese twin.
const QStringList& captionedNames()
{
    static const QStringList names = [] {
        QStringList out;
        for (const char* n : {"login",  "register",     "task",        "help",        "viewMode",
                              "ok",     "cancel",       "yes",         "no",          "allYes",
                              "allNo",  "reUpload",     "autoLoad",    "noLoad",      "addPhoto",
                              "import", "download",     "addTextDate", "addElement",  "removeTextDate",
                              "upload", "cancelUpload", "close",       "addPhotoBig", "undo",
                              "redo"}) {
            out << QLatin1String(n) + QLatin1String(".png") << QLatin1String(n) + QLatin1String("_hover.png");
        }
        out << QStringLiteral("loading.png") << QStringLiteral("noSelectImage.PNG");
        return out;
    }();
    return names;
}

QImage bitmap(const QString& name, const QLocale& locale)
{
    QLocale::setDefault(locale);
    return QImage(QStringLiteral(":/Resources/") + name);
}

} // namespace

void tst_Bitmaps::everyNamedBitmapExists()
{
    // Scan the program sources for ":/Resources/..." names so a typo or a
    // bitmap nobody drew shows up here rather than as an empty button.
    const QDir source(qEnvironmentVariable("PV_SOURCE_DIR"));
    QVERIFY(source.exists(QStringLiteral("kit")));
    const QRegularExpression name(QStringLiteral(R"(:/+Resources/([A-Za-z0-9_]+\.(?:png|PNG)))"));
    int found = 0;
    QStringList missing;
    for (const char* folder : {"kit", "app", "service", "photos", "upload", "editor", "viewer", "update"}) {
        QDirIterator it(source.filePath(QLatin1String(folder)),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = name.globalMatch(text); match.hasNext();) {
                const QString bitmap = match.next().captured(1);
                ++found;
                if (QPixmap(QStringLiteral(":/Resources/") + bitmap).isNull())
                    missing << source.relativeFilePath(file.fileName()) + QStringLiteral(": ") + bitmap;
            }
        }
    }
    QVERIFY(found > 20);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
}

void tst_Bitmaps::sizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");

    for (const char* n : {"min", "max", "normal", "closeWnd"})
        QTest::newRow(n) << QString::fromLatin1(n) << QSize(25, 20);
    for (const char* n : {"login", "register", "task", "help"})
        QTest::newRow(n) << QString::fromLatin1(n) << QSize(32, 17);
    QTest::newRow("viewMode") << "viewMode" << QSize(69, 17);
    for (const char* n : {"ok", "cancel", "addPhoto", "yes", "no", "allYes", "allNo", "reUpload", "autoLoad",
                          "noLoad", "import", "download", "addTextDate", "addElement", "removeTextDate"})
        QTest::newRow(n) << QString::fromLatin1(n) << QSize(85, 25);
    for (const char* n : {"upload", "cancelUpload", "close"})
        QTest::newRow(n) << QString::fromLatin1(n) << QSize(84, 25);
    QTest::newRow("addPhotoBig") << "addPhotoBig" << QSize(173, 58);
    for (const char* n : {"scaleBig", "scaleSmall", "rotateLeft", "rotateRight", "razor", "pre", "play",
                          "pause", "next", "exit"})
        QTest::newRow(n) << QString::fromLatin1(n) << QSize(64, 64);
}

void tst_Bitmaps::sizes()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    for (const QString& suffix : {QStringLiteral(".png"), QStringLiteral("_hover.png")}) {
        const QPixmap pixmap(QStringLiteral(":/Resources/") + name + suffix);
        QVERIFY2(!pixmap.isNull(), qPrintable(name + suffix));
        QCOMPARE(pixmap.size(), size);
    }
}

void tst_Bitmaps::pairsDiffer_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("zh") << kChinese;
}

void tst_Bitmaps::pairsDiffer()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    const QDir resources(QStringLiteral(":/Resources"));
    const QStringList hovers = resources.entryList({QStringLiteral("*_hover.png")});
    QVERIFY(hovers.size() >= 35);
    for (const QString& hover : hovers) {
        const QString normal = QString(hover).replace(QLatin1String("_hover"), QString());
        const QImage a = QImage(resources.filePath(normal));
        const QImage b = QImage(resources.filePath(hover));
        QVERIFY2(!a.isNull(), qPrintable(normal));
        QCOMPARE(a.size(), b.size());
        QVERIFY2(a != b, qPrintable(hover));
    }
}

void tst_Bitmaps::emptySchemePathFindsTheSameFile()
{
    const QImage plain(QStringLiteral(":/Resources/logo.png"));
    const QImage doubled(QStringLiteral("://Resources/logo.png"));
    QCOMPARE(plain.size(), QSize(200, 45));
    QCOMPARE(doubled, plain);
}

void tst_Bitmaps::iconsAreOpaqueInTheMiddle()
{
    // Tray and window icons must not come out as empty transparent squares.
    for (const char* n : {"smallLogo.png", "appIcon.png", "checked.png", "uploadfailed.png"}) {
        const QImage image(QStringLiteral(":/Resources/") + QLatin1String(n));
        QVERIFY2(!image.isNull(), n);
        QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
    }
    QVERIFY(QImage(QStringLiteral(":/Resources/smallLogo.png")).width() <= 32);
    const QImage empty(QStringLiteral(":/Resources/noSelectImage.PNG"));
    QVERIFY(!empty.isNull());
    QVERIFY(!QImage(QStringLiteral(":/Resources/loading.png")).isNull());
}

void tst_Bitmaps::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void tst_Bitmaps::chineseCaptions_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : captionedNames())
        QTest::newRow(qPrintable(name)) << name;
}

void tst_Bitmaps::chineseCaptions()
{
    QFETCH(QString, name);
    const QImage english = bitmap(name, QLocale::c());
    const QImage chinese = bitmap(name, kChinese);
    QVERIFY(!english.isNull());
    QVERIFY(!chinese.isNull());
    QCOMPARE(chinese.size(), english.size());
    QVERIFY2(chinese != english, "the Chinese bitmap is the English one");
    // Same look: the corner pixel (background or button edge) is untouched by
    // the caption, so a different one means a different button family.
    QCOMPARE(chinese.pixel(0, 0), english.pixel(0, 0));
    QCOMPARE(chinese.pixel(chinese.width() / 2, 1), english.pixel(english.width() / 2, 1));
}

void tst_Bitmaps::chineseFollowsTheDefaultLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("chinese");
    QTest::newRow("C") << QLocale::c() << false;
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << false;
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << false;
    QTest::newRow("zh_CN") << kChinese << true;
    QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan) << true;
}

void tst_Bitmaps::chineseFollowsTheDefaultLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, chinese);
    const QImage english = bitmap(QStringLiteral("ok.png"), QLocale::c());
    const QImage zh = bitmap(QStringLiteral("ok.png"), kChinese);
    QVERIFY(english != zh);
    const QImage got = bitmap(QStringLiteral("ok.png"), locale);
    QCOMPARE(got, chinese ? zh : english);
    // The empty-scheme spelling some callers use resolves the same way.
    QCOMPARE(QImage(QStringLiteral("://Resources/ok.png")), got);
}

void tst_Bitmaps::uncaptionedBitmapsFallBackToEnglish()
{
    QLocale::setDefault(QLocale::c());
    const QStringList all = QDir(QStringLiteral(":/Resources")).entryList(QDir::Files);
    QVERIFY(all.size() > captionedNames().size());
    int checked = 0;
    for (const QString& name : all) {
        if (captionedNames().contains(name))
            continue;
        const QImage english = bitmap(name, QLocale::c());
        QVERIFY2(!english.isNull(), qPrintable(name));
        QVERIFY2(bitmap(name, kChinese) == english, qPrintable(name + QLatin1String(" has a Chinese twin")));
        ++checked;
    }
    QVERIFY(checked >= 30);
    // The Chinese listing names no file of its own.
    QLocale::setDefault(kChinese);
    QCOMPARE(QDir(QStringLiteral(":/Resources")).entryList(QDir::Files), all);
}

QTEST_MAIN(tst_Bitmaps)
#include "tst_bitmaps.moc"
