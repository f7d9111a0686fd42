// The compiled-in bitmaps: every one the programs name exists, the kit's come
// at the sizes their buttons have, and each hover bitmap has a normal partner
// that looks different.

#include <QDir>
#include <QDirIterator>
#include <QFile>
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
    void pairsDiffer();
    void emptySchemePathFindsTheSameFile();
    void iconsAreOpaqueInTheMiddle();
};

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

void tst_Bitmaps::pairsDiffer()
{
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

QTEST_MAIN(tst_Bitmaps)
#include "tst_bitmaps.moc"
