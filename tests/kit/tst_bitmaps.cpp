// The compiled-in bitmaps: every one the programs name exists, each hover bitmap
// has a different normal partner, and under a Chinese default locale the
// captioned ones come in Chinese at the same size; all others fall back to English.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QPixmap>
#include <QRegularExpression>
#include <QTest>

namespace {

const QLocale kChinese(QLocale::Chinese, QLocale::China);

QImage bitmap(const QString& name, const QLocale& locale)
{
    QLocale::setDefault(locale);
    return QImage(QStringLiteral(":/Resources/") + name);
}

bool captioned(const QString& name)
{
    static const QStringList bases = {"login",    "register",     "task",       "help",
                                      "viewMode", "ok",           "cancel",     "yes",
                                      "no",       "allYes",       "allNo",      "reUpload",
                                      "autoLoad", "noLoad",       "addPhoto",   "import",
                                      "download", "addTextDate",  "addElement", "removeTextDate",
                                      "upload",   "cancelUpload", "close",      "addPhotoBig",
                                      "undo",     "redo"};
    QString base = name;
    base.remove(QStringLiteral("_hover")).remove(QStringLiteral(".png"));
    return bases.contains(base) || name == QLatin1String("loading.png") ||
           name == QLatin1String("noSelectImage.PNG");
}

} // namespace

class tst_Bitmaps : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void everyNamedBitmapExists()
    {
        // A typo or a bitmap nobody drew shows up here rather than as an empty button.
        const QDir source(qEnvironmentVariable("PV_SOURCE_DIR"));
        QVERIFY(source.exists(QStringLiteral("kit")));
        const QRegularExpression name(QStringLiteral(R"(:/+Resources/([A-Za-z0-9_]+\.(?:png|PNG)))"));
        int found = 0;
        QStringList missing;
        for (const char* folder :
             {"kit", "app", "service", "photos", "upload", "editor", "viewer", "update"}) {
            QDirIterator it(source.filePath(QLatin1String(folder)),
                            {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                for (auto m = name.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext(); ++found) {
                    const QString bitmap = m.next().captured(1);
                    if (QPixmap(QStringLiteral(":/Resources/") + bitmap).isNull())
                        missing << source.relativeFilePath(file.fileName()) + QStringLiteral(": ") + bitmap;
                }
            }
        }
        QVERIFY(found > 20);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
    }

    void everyBitmapInBothLocales()
    {
        const QDir resources(QStringLiteral(":/Resources"));
        const QStringList all = resources.entryList(QDir::Files);
        QVERIFY(all.size() > 60);
        for (const QString& name : all) {
            const QImage english = bitmap(name, QLocale::c());
            const QImage chinese = bitmap(name, kChinese);
            QVERIFY2(!english.isNull() && !chinese.isNull(), qPrintable(name));
            QCOMPARE(chinese.size(), english.size());
            QVERIFY2((chinese != english) == captioned(name), qPrintable(name));
            // Same button family: the corner and top edge are untouched by the caption.
            QCOMPARE(chinese.pixel(0, 0), english.pixel(0, 0));
            QCOMPARE(chinese.pixel(chinese.width() / 2, 1), english.pixel(english.width() / 2, 1));
            if (!name.contains(QLatin1String("_hover")))
                continue;
            for (const QLocale& locale : {QLocale::c(), kChinese}) {
                const QImage normal = bitmap(QString(name).remove(QStringLiteral("_hover")), locale);
                const QImage hover = bitmap(name, locale);
                QCOMPARE(normal.size(), hover.size());
                QVERIFY2(normal != hover, qPrintable(name));
            }
        }
        QLocale::setDefault(kChinese); // the Chinese listing names no file of its own
        QCOMPARE(resources.entryList(QDir::Files), all);
    }

    void chineseFollowsTheDefaultLocale()
    {
        const QImage english = bitmap(QStringLiteral("ok.png"), QLocale::c());
        const QImage chinese = bitmap(QStringLiteral("ok.png"), kChinese);
        for (const QLocale& locale :
             {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Chinese, QLocale::Taiwan)}) {
            const QImage got = bitmap(QStringLiteral("ok.png"), locale);
            QCOMPARE(got, locale.language() == QLocale::Chinese ? chinese : english);
            // The empty-scheme spelling some callers use resolves alike.
            QCOMPARE(QImage(QStringLiteral("://Resources/ok.png")), got);
        }
    }
};

QTEST_MAIN(tst_Bitmaps)
#include "tst_bitmaps.moc"
