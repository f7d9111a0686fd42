// Photo node, loaders and preparation: sizes, EXIF values, the 1 MiB rule,
// file naming in TempImages, orientation and metadata of every copy,
// unreadable, cut-off and oversized files with their reasons, prepared copies
// leaving with their node, deleted nodes.
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbFitSize.h"
#include "vbImageLoader.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbUpright.h"

#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_PhotoNode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fitSizeRule_data();
    void fitSizeRule();

    void preparedSizes_data();
    void preparedSizes();
    void recompressionBoundary_data();
    void recompressionBoundary();
    void httpModeWritesNoExtraSizes();
    void sameFileNamesDoNotCollide();

    void uprightRule_data();
    void uprightRule();
    void orientedPhoto_data();
    void orientedPhoto();

    void exifValues();
    void unreadableFile_data();
    void unreadableFile();
    void completeJpegs_data();
    void completeJpegs();
    void preparedCopiesGoWithTheNode();

    void nodeDeletedWhileQueued();
    void bigImageLoad();
    void renameFile();
    void uploadStateResetsCounters();

private:
    // A node for path with its own loader pair.
    vbFileNode* makeNode(const QString& path);
    void waitForThumbnail(vbFileNode* node);
    QString prepare(vbFileNode* node, bool ftp);
    // Checks a copy the program wrote: stored upright at size, with the
    // photo's metadata made to fit, or with none when the photo had none.
    void checkCopy(const QString& path, const QSize& size, bool withMetadata);

    QTemporaryDir m_dir;
    std::unique_ptr<vbSession> m_session;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<_saveImageThread> m_saver;
    QList<std::shared_ptr<vbFileNode>> m_nodes;
};

void tst_PhotoNode::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    m_session = std::make_unique<vbSession>();
    m_loader = std::make_unique<_loadThread>();
    m_saver = std::make_unique<_saveImageThread>();
}

void tst_PhotoNode::init()
{
    m_nodes.clear();
}

vbFileNode* tst_PhotoNode::makeNode(const QString& path)
{
    auto node = std::make_shared<vbFileNode>();
    node->setFileInfo(QFileInfo(path));
    node->setLoader(m_loader.get());
    m_nodes.append(node);
    return node.get();
}

void tst_PhotoNode::waitForThumbnail(vbFileNode* node)
{
    QVERIFY(node->requestThumbnail());
    QTRY_VERIFY_WITH_TIMEOUT(!node->isLoading(), 10000);
}

QString tst_PhotoNode::prepare(vbFileNode* node, bool ftp)
{
    QSignalSpy done(node, &vbFileNode::sig_preUploadComplete);
    m_saver->setNodes({node}, ftp);
    if (!done.wait(10000))
        return QStringLiteral("preparation did not finish");
    if (done.first().first().value<vbFileNode*>() != node)
        return QStringLiteral("signal carried another node");
    return QString();
}

// fitSize

void tst_PhotoNode::fitSizeRule_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("landscape") << QSize(3000, 2000) << QSize(244, 244) << QSize(244, 162);
    QTest::newRow("portrait") << QSize(2000, 3000) << QSize(244, 244) << QSize(162, 244);
    QTest::newRow("small kept") << QSize(100, 80) << QSize(244, 244) << QSize(100, 80);
    QTest::newRow("exact box") << QSize(244, 244) << QSize(244, 244) << QSize(244, 244);
    QTest::newRow("width equal, height smaller") << QSize(244, 100) << QSize(244, 244) << QSize(244, 100);
    QTest::newRow("one side larger") << QSize(300, 100) << QSize(244, 244) << QSize(244, 81);
    QTest::newRow("other side larger") << QSize(100, 300) << QSize(244, 244) << QSize(81, 244);
    QTest::newRow("medium size") << QSize(3000, 2000) << QSize(500, 500) << QSize(500, 333);
    QTest::newRow("small size of thumbnail") << QSize(244, 162) << QSize(122, 122) << QSize(122, 81);
    QTest::newRow("wide box") << QSize(1000, 1000) << QSize(400, 200) << QSize(200, 200);
    QTest::newRow("empty source") << QSize(0, 0) << QSize(244, 244) << QSize(0, 0);
}

void tst_PhotoNode::fitSizeRule()
{
    QFETCH(QSize, source);
    QFETCH(QSize, box);
    QFETCH(QSize, expected);
    QCOMPARE(fitSize(source, box), expected);
}

// Thumbnail, "_1.jpg" and "_2.jpg" sizes

void tst_PhotoNode::preparedSizes_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("thumbnail");
    QTest::addColumn<QSize>("medium");
    QTest::addColumn<QSize>("small");
    QTest::newRow("3000x2000") << QSize(3000, 2000) << QSize(244, 162) << QSize(500, 333) << QSize(122, 81);
    QTest::newRow("2000x3000") << QSize(2000, 3000) << QSize(162, 244) << QSize(333, 500) << QSize(81, 122);
    QTest::newRow("100x80") << QSize(100, 80) << QSize(100, 80) << QSize(100, 80) << QSize(100, 80);
}

void tst_PhotoNode::preparedSizes()
{
    QFETCH(QSize, source);
    QFETCH(QSize, thumbnail);
    QFETCH(QSize, medium);
    QFETCH(QSize, small);

    const QString path =
        m_dir.filePath(QStringLiteral("sizes_%1x%2.jpg").arg(source.width()).arg(source.height()));
    QVERIFY(vbTestPhotos::writeJpeg(path, source, 70));
    vbFileNode* node = makeNode(path);
    waitForThumbnail(node);
    QCOMPARE(node->thumbnail().size(), thumbnail);
    QCOMPARE(node->thumbnail().format(), QImage::Format_ARGB32);
    QCOMPARE(QSize(node->sourceWidth(), node->sourceHeight()), source);

    QCOMPARE(prepare(node, true), QString());
    QVERIFY(node->mediumFile().exists());
    QVERIFY(node->smallFile().exists());
    QCOMPARE(node->mediumFile().fileName(), node->baseName() + QStringLiteral("_1.jpg"));
    QCOMPARE(node->smallFile().fileName(), node->baseName() + QStringLiteral("_2.jpg"));
    QCOMPARE(QImageReader(node->mediumFile().absoluteFilePath()).size(), medium);
    QCOMPARE(QImageReader(node->smallFile().absoluteFilePath()).size(), small);
    // Small files are sent as they are.
    QCOMPARE(node->absoluteFilePath(), path);
}

void tst_PhotoNode::recompressionBoundary_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("recompressed");
    QTest::newRow("1,048,576 kept") << qint64(1048576) << false;
    QTest::newRow("1,048,577 re-compressed") << qint64(1048577) << true;
}

void tst_PhotoNode::recompressionBoundary()
{
    QFETCH(qint64, bytes);
    QFETCH(bool, recompressed);

    const QString path = m_dir.filePath(QStringLiteral("big_%1.jpg").arg(bytes));
    QVERIFY(vbTestPhotos::writeJpegOfSize(path, QSize(640, 480), bytes));
    QCOMPARE(QFileInfo(path).size(), bytes);
    QCOMPARE(QImageReader(path).size(), QSize(640, 480));

    vbFileNode* node = makeNode(path);
    QCOMPARE(prepare(node, false), QString());
    QCOMPARE(node->sourcePath(), path);
    if (!recompressed) {
        QCOMPARE(node->absoluteFilePath(), path);
        return;
    }
    QCOMPARE(node->absoluteFilePath(), node->tempFolder() + QStringLiteral("/big_1048577.jpg"));
    QVERIFY(node->absoluteFilePath().startsWith(QDir::currentPath() + QStringLiteral("/TempImages/")));
    QVERIFY(node->fileSize() < bytes);
    QCOMPARE(QImageReader(node->absoluteFilePath()).size(), QSize(640, 480));
    // The user's file is left alone.
    QCOMPARE(QFileInfo(path).size(), bytes);
}

void tst_PhotoNode::httpModeWritesNoExtraSizes()
{
    const QString path = m_dir.filePath(QStringLiteral("http.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(800, 600)));
    vbFileNode* node = makeNode(path);
    waitForThumbnail(node);
    QCOMPARE(prepare(node, false), QString());
    QVERIFY(!QFileInfo::exists(node->tempFolder() + QStringLiteral("/http_1.jpg")));
    QVERIFY(!QFileInfo::exists(node->tempFolder() + QStringLiteral("/http_2.jpg")));
    QCOMPARE(node->mediumFile().filePath(), QString());
    QCOMPARE(node->smallFile().filePath(), QString());

    // The session's mode decides when the caller does not.
    m_session->setFtpMode(false);
    QSignalSpy done(node, &vbFileNode::sig_preUploadComplete);
    m_saver->setNodes({node});
    QVERIFY(done.wait(10000));
    QVERIFY(!QFileInfo::exists(node->tempFolder() + QStringLiteral("/http_1.jpg")));
    m_session->setFtpMode(true);
}

void tst_PhotoNode::sameFileNamesDoNotCollide()
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("a")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("b")));
    const QString first = m_dir.filePath(QStringLiteral("a/IMG_0001.jpg"));
    const QString second = m_dir.filePath(QStringLiteral("b/IMG_0001.jpg"));
    QVERIFY(vbTestPhotos::writeJpegOfSize(first, QSize(400, 300), 1100000));
    QVERIFY(vbTestPhotos::writeJpegOfSize(second, QSize(300, 400), 1200000));

    vbFileNode* a = makeNode(first);
    vbFileNode* b = makeNode(second);
    waitForThumbnail(a);
    waitForThumbnail(b);
    QSignalSpy doneB(b, &vbFileNode::sig_preUploadComplete);
    QCOMPARE(prepare(a, true), QString());
    QCOMPARE(prepare(b, true), QString());

    QVERIFY(a->absoluteFilePath() != b->absoluteFilePath());
    QVERIFY(a->mediumFile().absoluteFilePath() != b->mediumFile().absoluteFilePath());
    QVERIFY(a->smallFile().absoluteFilePath() != b->smallFile().absoluteFilePath());
    // Each keeps the photo's own name and its own picture.
    QCOMPARE(a->fileName(), QStringLiteral("IMG_0001.jpg"));
    QCOMPARE(b->fileName(), QStringLiteral("IMG_0001.jpg"));
    QCOMPARE(QImageReader(a->absoluteFilePath()).size(), QSize(400, 300));
    QCOMPARE(QImageReader(b->absoluteFilePath()).size(), QSize(300, 400));
    QCOMPARE(QImageReader(a->mediumFile().absoluteFilePath()).size(), QSize(400, 300));
    QCOMPARE(QImageReader(b->mediumFile().absoluteFilePath()).size(), QSize(300, 400));
}

// Orientation

void tst_PhotoNode::uprightRule_data()
{
    // Stored 2 x 3 pixels "ab/cd/ef"; each row is how the photo looks, one
    // text line per pixel row, for the orientation the file declares.
    QTest::addColumn<int>("transformation");
    QTest::addColumn<QString>("shown");
    using H = QImageIOHandler;
    QTest::newRow("1 normal") << int(H::TransformationNone) << "ab/cd/ef";
    QTest::newRow("2 mirrored") << int(H::TransformationMirror) << "ba/dc/fe";
    QTest::newRow("3 half turn") << int(H::TransformationRotate180) << "fe/dc/ba";
    QTest::newRow("4 flipped") << int(H::TransformationFlip) << "ef/cd/ab";
    QTest::newRow("5 transposed") << int(H::TransformationFlipAndRotate90) << "ace/bdf";
    QTest::newRow("6 quarter turn right") << int(H::TransformationRotate90) << "eca/fdb";
    QTest::newRow("7 transversed") << int(H::TransformationMirrorAndRotate90) << "fdb/eca";
    QTest::newRow("8 quarter turn left") << int(H::TransformationRotate270) << "bdf/ace";
}

void tst_PhotoNode::uprightRule()
{
    QFETCH(int, transformation);
    QFETCH(QString, shown);
    const QString letters = QStringLiteral("abcdef");
    QImage stored(2, 3, QImage::Format_ARGB32);
    for (int i = 0; i < letters.size(); ++i)
        stored.setPixel(i % 2, i / 2, qRgb(i * 40, 255 - i * 40, i * 20));
    const auto orientation = QImageIOHandler::Transformations(transformation);

    const QImage upright = vbUpright::image(stored, orientation);
    QString seen;
    for (int y = 0; y < upright.height(); ++y) {
        if (y > 0)
            seen += QLatin1Char('/');
        for (int x = 0; x < upright.width(); ++x) {
            const QRgb pixel = upright.pixel(x, y);
            seen += letters.at(qRed(pixel) / 40);
        }
    }
    QCOMPARE(seen, shown);
    QCOMPARE(vbUpright::size(stored.size(), orientation), upright.size());
}

void tst_PhotoNode::orientedPhoto_data()
{
    // 0: a photo without any metadata.
    QTest::addColumn<int>("orientation");
    for (int orientation = 0; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << orientation;
}

void tst_PhotoNode::orientedPhoto()
{
    QFETCH(int, orientation);
    // A phone photo taken upright, above 1 MiB: every view and copy shows it
    // 600 x 800 with red top left, green top right, blue and yellow below.
    const QSize shown(600, 800);
    const QImage upright = vbTestPhotos::quarters(shown);
    const QList<QColor> quarters = vbTestPhotos::quarterColours(upright);
    const QString path = m_dir.filePath(QStringLiteral("phone_%1.jpg").arg(orientation));
    if (orientation == 0) {
        QVERIFY(QImageWriter(path).write(upright));
    } else {
        vbTestPhotos::Exif exif;
        exif.make = QStringLiteral("Phone Maker");
        exif.dateTime = QStringLiteral("2024:05:06 07:08:09");
        exif.xmpTitle = QStringLiteral("Harbour");
        exif.iptcCaption = QStringLiteral("Boats at dawn");
        exif.preview = upright.scaled(120, 160); // not turned, as cameras store it
        QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, orientation, exif));
    }
    QVERIFY(vbTestPhotos::padJpeg(path, 1200000));

    vbFileNode* node = makeNode(path);
    waitForThumbnail(node);
    QCOMPARE(node->thumbnail().size(), QSize(183, 244));
    QCOMPARE(vbTestPhotos::quarterColours(node->thumbnail()), quarters);
    QCOMPARE(QSize(node->sourceWidth(), node->sourceHeight()), shown);
    if (orientation == 0) {
        const QStringList values{node->make(),  node->model(),    node->time1(),
                                 node->time2(), node->aperture(), node->focal()};
        QCOMPARE(values.join(QString()), QString());
    } else {
        QCOMPARE(node->make(), QStringLiteral("Phone Maker"));
    }

    QSignalSpy big(node, &vbFileNode::sig_loadBigImageComplete);
    QVERIFY(node->requestBigImage());
    QVERIFY(big.wait(10000));
    QCOMPARE(node->bigImage().size(), shown);
    QCOMPARE(vbTestPhotos::quarterColours(node->bigImage()), quarters);
    node->clearBigImage();

    QCOMPARE(prepare(node, true), QString());
    QVERIFY(node->absoluteFilePath() != path);
    checkCopy(node->absoluteFilePath(), shown, orientation != 0);
    checkCopy(node->mediumFile().absoluteFilePath(), QSize(375, 500), orientation != 0);
    checkCopy(node->smallFile().absoluteFilePath(), QSize(91, 122), orientation != 0);
}

void tst_PhotoNode::checkCopy(const QString& path, const QSize& size, bool withMetadata)
{
    // As stored: a reader that ignores orientation tags.
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage stored = reader.read();
    QCOMPARE(stored.size(), size);
    QCOMPARE(vbTestPhotos::quarterColours(stored),
             vbTestPhotos::quarterColours(vbTestPhotos::quarters(size)));

    const QMap<QString, QString> metadata = vbTestPhotos::metadata(path);
    if (!withMetadata) {
        QCOMPARE(metadata, (QMap<QString, QString>()));
        return;
    }
    QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Orientation")), QStringLiteral("1"));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Make")), QStringLiteral("Phone Maker"));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Image.DateTime")), QStringLiteral("2024:05:06 07:08:09"));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Photo.PixelXDimension")), QString::number(size.width()));
    QCOMPARE(metadata.value(QStringLiteral("Exif.Photo.PixelYDimension")), QString::number(size.height()));
    QCOMPARE(metadata.value(QStringLiteral("Xmp.dc.title")), QStringLiteral("lang=\"x-default\" Harbour"));
    QCOMPARE(metadata.value(QStringLiteral("Iptc.Application2.Caption")), QStringLiteral("Boats at dawn"));
    // The embedded preview would show the photo lying down.
    for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
        QVERIFY2(!it.key().startsWith(QLatin1String("Exif.Thumbnail.")), qPrintable(it.key()));
}

// EXIF

void tst_PhotoNode::exifValues()
{
    const QString path = m_dir.filePath(QStringLiteral("exif.jpg"));
    vbTestPhotos::Exif exif;
    exif.make = QStringLiteral("Canon ");
    exif.model = QStringLiteral("EOS 40D");
    exif.dateTime = QStringLiteral("2008:07:21 14:03:59");
    exif.exposureTime = {1, 125};
    exif.aperture = {40, 10};
    exif.focalLength = {63, 10};
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(640, 427), exif));

    vbFileNode* node = makeNode(path);
    waitForThumbnail(node);
    QCOMPARE(node->make(), QStringLiteral("Canon "));
    QCOMPARE(node->model(), QStringLiteral("EOS 40D"));
    QCOMPARE(node->time1(), QStringLiteral("2008:07:21 14:03:59"));
    QCOMPARE(node->time2(), QStringLiteral("1/125"));
    QCOMPARE(node->aperture(), QStringLiteral("40/10"));
    QCOMPARE(node->focal(), QStringLiteral("63"));
    QCOMPARE(QSize(node->sourceWidth(), node->sourceHeight()), QSize(640, 427));

    // A later load of a file that lacks a tag keeps what the node had.
    const QString partial = m_dir.filePath(QStringLiteral("exif_partial.jpg"));
    vbTestPhotos::Exif some;
    some.model = QStringLiteral("Other");
    QVERIFY(vbTestPhotos::writeJpeg(partial, QSize(64, 48), some));
    node->setFileInfo(QFileInfo(partial));
    waitForThumbnail(node);
    QCOMPARE(node->model(), QStringLiteral("Other"));
    QCOMPARE(node->make(), QStringLiteral("Canon "));
    QCOMPARE(node->focal(), QStringLiteral("63"));
    QCOMPARE(node->sourceWidth(), 64);
}

// Bad files

void tst_PhotoNode::unreadableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("problem");
    using P = vbImageLoader::Problem;
    QTest::newRow("empty") << "empty" << int(P::Empty);
    QTest::newRow("text named .jpg") << "text" << int(P::NotAnImage);
    QTest::newRow("garbage") << "garbage" << int(P::NotAnImage);
    QTest::newRow("missing") << "missing" << int(P::Missing);
    QTest::newRow("cut in the headers") << "headers" << int(P::Truncated);
    QTest::newRow("cut in the picture data") << "scan" << int(P::Truncated);
    QTest::newRow("above 250 megapixels") << "huge" << int(P::TooLarge);
    QTest::newRow("deleted after it was added") << "deleted" << int(P::Missing);
}

void tst_PhotoNode::unreadableFile()
{
    QFETCH(QString, kind);
    QFETCH(int, problem);
    const QString path = m_dir.filePath(kind + QStringLiteral(".jpg"));
    auto cutTo = [&](qint64 bytes) {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && file.resize(bytes);
    };
    if (kind == QLatin1String("empty")) {
        QVERIFY(vbTestPhotos::writeGarbage(path, 0));
    } else if (kind == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Holiday notes: buy film, charge the camera.\n");
    } else if (kind == QLatin1String("garbage")) {
        QVERIFY(vbTestPhotos::writeGarbage(path));
    } else if (kind == QLatin1String("headers")) {
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(400, 300)));
        QVERIFY(cutTo(300));
    } else if (kind == QLatin1String("scan")) {
        // Decoders fill the rest with grey and call it a success.
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(400, 300)));
        QVERIFY(cutTo(QFileInfo(path).size() * 2 / 3));
        QVERIFY(!QImageReader(path).read().isNull());
    } else if (kind == QLatin1String("huge")) {
        // A real header claiming 20000 x 20000 pixels: refused before any decoding.
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(64, 64)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(sof > 0);
        bytes[sof + 5] = char(20000 >> 8);
        bytes[sof + 6] = char(20000 & 0xFF);
        bytes[sof + 7] = char(20000 >> 8);
        bytes[sof + 8] = char(20000 & 0xFF);
        QVERIFY(file.seek(0));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        QCOMPARE(QImageReader(path).size(), QSize(20000, 20000));
    } else if (kind == QLatin1String("deleted")) {
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(64, 48)));
    }

    vbFileNode* node = makeNode(path);
    vbFileNodeUI tile(node);
    node->setTile(&tile);
    const QString reason = vbImageLoader::problemText(vbImageLoader::Problem(problem));
    QVERIFY(!reason.isEmpty());
    waitForThumbnail(node);
    if (kind == QLatin1String("deleted")) {
        // Fine when added; gone when it is prepared for upload.
        QCOMPARE(node->readProblem(), vbImageLoader::Problem::None);
        QCOMPARE(node->uploadState(), int(vbFileNode::Waiting));
        QVERIFY(tile.toolTip().isEmpty());
        QVERIFY(QFile::remove(path));
    } else {
        QVERIFY(node->thumbnail().isNull());
        QCOMPARE(node->sourceWidth(), 0);
        QVERIFY(node->make().isEmpty());
        // Known at once: marked failed, the tile says why.
        QCOMPARE(int(node->readProblem()), problem);
        QCOMPARE(node->uploadState(), int(vbFileNode::Failed));
        QCOMPARE(tile.toolTip(), reason);
        node->setUploadState(vbFileNode::Waiting);
    }

    // Preparation ends with the photo failed for its reason and nothing written.
    QCOMPARE(prepare(node, true), QString());
    QCOMPARE(node->uploadState(), int(vbFileNode::Failed));
    QCOMPARE(node->failureReason(), reason);
    QCOMPARE(tile.toolTip(), reason);
    QCOMPARE(node->mediumFile().filePath(), QString());
    QVERIFY(!QFileInfo::exists(node->tempFolder()));
    node->setTile(nullptr);
}

void tst_PhotoNode::completeJpegs_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<bool>("complete");
    QTest::newRow("as written") << QByteArray() << true;
    QTest::newRow("bytes after the end marker") << QByteArray("trailing camera data") << true;
    QTest::newRow("end marker missing") << QByteArray("-2") << false;
    QTest::newRow("last byte missing") << QByteArray("-1") << false;
}

void tst_PhotoNode::completeJpegs()
{
    QFETCH(QByteArray, tail);
    QFETCH(bool, complete);
    const QString path = m_dir.filePath(QStringLiteral("whole.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(320, 240)));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    // A comment holding an end marker: the walk steps over segments by their length.
    bytes.insert(2, QByteArray("\xFF\xFE\x00\x06\xFF\xD9\x00\x00", 8));
    QVERIFY(!QImageReader(path).read().isNull());
    if (tail.startsWith('-'))
        bytes.chop(-tail.toInt());
    else
        bytes += tail;
    QCOMPARE(vbImageLoader::jpegComplete(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()),
             complete);
}

void tst_PhotoNode::preparedCopiesGoWithTheNode()
{
    // A PNG above 1 MiB is re-compressed into the node's folder under its own name.
    const QString path = m_dir.filePath(QStringLiteral("scan.png"));
    QImage noise(900, 700, QImage::Format_RGB32);
    quint32 x = 12345;
    for (int y = 0; y < noise.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
        for (int i = 0; i < noise.width(); ++i)
            line[i] = (x = x * 1664525u + 1013904223u);
    }
    QVERIFY(noise.save(path, "PNG"));
    QVERIFY(QFileInfo(path).size() > _saveImageThread::recompressAbove);

    auto* node = new vbFileNode;
    node->setFileInfo(QFileInfo(path));
    QSignalSpy done(node, &vbFileNode::sig_preUploadComplete);
    m_saver->setNodes({node}, true);
    QVERIFY(done.wait(10000));
    const QString folder = node->tempFolder();
    QCOMPARE(node->absoluteFilePath(), folder + QStringLiteral("/scan.png"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
    delete node;
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(QFileInfo::exists(path));
}

// Threads

void tst_PhotoNode::nodeDeletedWhileQueued()
{
    const QString path = m_dir.filePath(QStringLiteral("queued.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(2400, 1600)));

    _loadThread loader;
    QList<vbFileNode*> nodes;
    for (int i = 0; i < 40; ++i) {
        auto* node = new vbFileNode;
        node->setFileInfo(QFileInfo(path));
        nodes.append(node);
    }
    loader.addNodes(nodes);
    // Deleted behind the loader's back: no removal from its queue first.
    for (int i = 0; i < nodes.size() - 1; ++i)
        delete nodes[i];
    vbFileNode* last = nodes.last();
    QTRY_VERIFY_WITH_TIMEOUT(!last->isLoading(), 10000);
    QCOMPARE(last->thumbnail().size(), QSize(244, 162));
    QCOMPARE(loader.pendingCount(), 0);

    // The same for preparation: the deleted node gets no signal, the next one does.
    auto* gone = new vbFileNode;
    gone->setFileInfo(QFileInfo(path));
    QSignalSpy goneSpy(gone, &vbFileNode::sig_preUploadComplete);
    QSignalSpy lastSpy(last, &vbFileNode::sig_preUploadComplete);
    m_saver->setNodes({gone, last}, true);
    delete gone;
    QVERIFY(lastSpy.wait(10000));
    QCOMPARE(goneSpy.count(), 0);
    delete last;
}

void tst_PhotoNode::bigImageLoad()
{
    const QString path = m_dir.filePath(QStringLiteral("full.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(1200, 900)));
    vbFileNode* node = makeNode(path);
    QSignalSpy spy(node, &vbFileNode::sig_loadBigImageComplete);
    QVERIFY(node->requestBigImage());
    QVERIFY(spy.wait(10000));
    QCOMPARE(node->bigImage().size(), QSize(1200, 900));
    QCOMPARE(node->bigImage().format(), QImage::Format_ARGB32);
    node->clearBigImage();
    QVERIFY(node->bigImage().isNull());

    // A failed load still reports its end.
    QVERIFY(QFile::remove(path));
    QVERIFY(node->requestBigImage());
    QVERIFY(spy.wait(10000));
    QVERIFY(node->bigImage().isNull());
}

// Node rules

void tst_PhotoNode::renameFile()
{
    const QString path = m_dir.filePath(QStringLiteral("trip.2008.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(32, 32)));
    QVERIFY(vbTestPhotos::writeJpeg(m_dir.filePath(QStringLiteral("taken.2008.jpg")), QSize(32, 32)));
    vbFileNode* node = makeNode(path);
    QCOMPARE(node->baseName(), QStringLiteral("trip"));

    QVERIFY(node->renameFile(QStringLiteral("holiday")));
    QCOMPARE(node->fileName(), QStringLiteral("holiday.2008.jpg"));
    QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("holiday.2008.jpg"))));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(node->sourcePath(), path);

    // A taken name fails and changes nothing.
    QVERIFY(!node->renameFile(QStringLiteral("taken")));
    QCOMPARE(node->fileName(), QStringLiteral("holiday.2008.jpg"));
    QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("holiday.2008.jpg"))));
}

void tst_PhotoNode::uploadStateResetsCounters()
{
    vbFileNode node;
    for (int state : {int(vbFileNode::Waiting), int(vbFileNode::Prepared)}) {
        node.setUploadState(vbFileNode::KeyFailed);
        node.addKeyFailure();
        node.addCommitFailure();
        node.addTransferFailure();
        node.setUploadState(vbFileNode::Stopped);
        QCOMPARE(node.keyFailures(), 1);
        node.setUploadState(state);
        QCOMPARE(node.uploadState(), state);
        QCOMPARE(node.keyFailures(), 0);
        QCOMPARE(node.commitFailures(), 0);
    }
    // Transfer failures count for the node's whole life.
    QCOMPARE(node.transferFailures(), 2);
    node.setPhotoId(9007199254740993LL);
    QCOMPARE(node.photoIdString(), QStringLiteral("9007199254740993"));
}

QTEST_MAIN(tst_PhotoNode)
#include "tst_photonode.moc"
