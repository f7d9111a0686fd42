// Photo node, loaders and preparation: the 1 MiB rule, copies with the same
// name, orientation and metadata of every copy, unreadable files, deleted nodes.
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbImageLoader.h"
#include "vbSession.h"
#include "vbTestPhotos.h"

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

    void sizeRuleAndSameNames();
    void orientedPhoto_data();
    void orientedPhoto();
    void unreadableFile_data();
    void unreadableFile();
    void nodeDeletedWhileQueued();

private:
    vbFileNode* makeNode(const QString& path);
    void waitForThumbnail(vbFileNode* node);
    bool prepare(vbFileNode* node, bool ftp);
    // A copy written: upright at size, with the photo's metadata fitted, or none.
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
    m_session = std::make_unique<vbSession>(vbEndpoints());
    m_loader = std::make_unique<_loadThread>();
    m_saver = std::make_unique<_saveImageThread>();
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

bool tst_PhotoNode::prepare(vbFileNode* node, bool ftp)
{
    QSignalSpy done(node, &vbFileNode::sig_preUploadComplete);
    m_saver->setNodes({node}, ftp);
    return done.wait(10000) && done.first().first().value<vbFileNode*>() == node;
}

void tst_PhotoNode::sizeRuleAndSameNames()
{
    // Two photos of one name: the one of exactly 1 MiB is sent as it is, the
    // one a byte larger is re-compressed; neither copy overwrites the other.
    QDir().mkpath(m_dir.filePath(QStringLiteral("a")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("b")));
    const QString first = m_dir.filePath(QStringLiteral("a/IMG_0001.jpg"));
    const QString second = m_dir.filePath(QStringLiteral("b/IMG_0001.jpg"));
    QVERIFY(vbTestPhotos::writeJpegOfSize(first, QSize(400, 300), 1048576));
    QVERIFY(vbTestPhotos::writeJpegOfSize(second, QSize(300, 400), 1048577));
    vbFileNode* a = makeNode(first);
    vbFileNode* b = makeNode(second);
    waitForThumbnail(a);
    waitForThumbnail(b);
    QVERIFY(prepare(a, true));
    QVERIFY(prepare(b, true));
    QCOMPARE(a->absoluteFilePath(), first);
    QCOMPARE(b->absoluteFilePath(), b->tempFolder() + QStringLiteral("/IMG_0001.jpg"));
    QCOMPARE(b->sourcePath(), second);
    QCOMPARE(QFileInfo(second).size(), 1048577); // the user's file is left alone
    QCOMPARE(QImageReader(b->absoluteFilePath()).size(), QSize(300, 400));
    QCOMPARE(QImageReader(a->mediumFile().absoluteFilePath()).size(), QSize(400, 300));
    QCOMPARE(QImageReader(b->mediumFile().absoluteFilePath()).size(), QSize(300, 400));
}

void tst_PhotoNode::orientedPhoto_data()
{
    QTest::addColumn<int>("orientation"); // 0: a photo without any metadata
    for (int orientation = 0; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << orientation;
}

void tst_PhotoNode::orientedPhoto()
{
    QFETCH(int, orientation);
    // A phone photo taken upright, above 1 MiB: every view and copy shows it
    // 600 x 800 with its four coloured quarters in place.
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
    QCOMPARE(node->make(), orientation == 0 ? QString() : QStringLiteral("Phone Maker"));

    QSignalSpy big(node, &vbFileNode::sig_loadBigImageComplete);
    QVERIFY(node->requestBigImage());
    QVERIFY(big.wait(10000));
    QCOMPARE(vbTestPhotos::quarterColours(node->bigImage()), quarters);
    node->clearBigImage();

    QVERIFY(prepare(node, true));
    QVERIFY(node->absoluteFilePath() != path);
    checkCopy(node->absoluteFilePath(), shown, orientation != 0);
    checkCopy(node->mediumFile().absoluteFilePath(), QSize(375, 500), orientation != 0);
    checkCopy(node->smallFile().absoluteFilePath(), QSize(91, 122), orientation != 0);
}

void tst_PhotoNode::checkCopy(const QString& path, const QSize& size, bool withMetadata)
{
    QImageReader reader(path);
    reader.setAutoTransform(false); // as stored
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

void tst_PhotoNode::unreadableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("problem");
    using P = vbImageLoader::Problem;
    QTest::newRow("empty") << "empty" << int(P::Empty);
    QTest::newRow("garbage named .jpg") << "garbage" << int(P::NotAnImage);
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
    if (kind == QLatin1String("empty")) {
        QVERIFY(vbTestPhotos::writeGarbage(path, 0));
    } else if (kind == QLatin1String("garbage")) {
        QVERIFY(vbTestPhotos::writeGarbage(path));
    } else if (kind != QLatin1String("missing")) {
        QVERIFY(vbTestPhotos::writeJpeg(path, QSize(400, 300)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (kind == QLatin1String("headers")) {
            QVERIFY(file.resize(300));
        } else if (kind == QLatin1String("scan")) {
            // Decoders fill the rest with grey and call it a success.
            QVERIFY(file.resize(file.size() * 2 / 3));
            file.close();
            QVERIFY(!QImageReader(path).read().isNull());
        } else if (kind == QLatin1String("huge")) {
            // A real header claiming 20000 x 20000 pixels: refused before decoding.
            QByteArray bytes = file.readAll();
            const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
            QVERIFY(sof > 0);
            for (int i : {5, 7}) {
                bytes[sof + i] = char(20000 >> 8);
                bytes[sof + i + 1] = char(20000 & 0xFF);
            }
            QVERIFY(file.seek(0));
            QCOMPARE(file.write(bytes), bytes.size());
            file.close();
            QCOMPARE(QImageReader(path).size(), QSize(20000, 20000));
        }
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
        QCOMPARE(node->uploadState(), vbUploadState::Waiting);
        QVERIFY(QFile::remove(path));
    } else {
        // Known at once: marked failed, the tile says why.
        QVERIFY(node->thumbnail().isNull());
        QCOMPARE(int(node->readProblem()), problem);
        QCOMPARE(node->uploadState(), vbUploadState::Failed);
        QCOMPARE(tile.toolTip(), reason);
        node->setUploadState(vbUploadState::Waiting);
    }
    // Preparation ends with the photo failed for its reason and nothing written.
    QVERIFY(prepare(node, true));
    QCOMPARE(node->uploadState(), vbUploadState::Failed);
    QCOMPARE(node->failureReason(), reason);
    QCOMPARE(tile.toolTip(), reason);
    QVERIFY(!QFileInfo::exists(node->tempFolder()));
    node->setTile(nullptr);
}

void tst_PhotoNode::nodeDeletedWhileQueued()
{
    const QString path = m_dir.filePath(QStringLiteral("queued.jpg"));
    QVERIFY(vbTestPhotos::writeJpeg(path, QSize(2400, 1600)));
    _loadThread loader;
    QList<vbFileNode*> nodes;
    for (int i = 0; i < 40; ++i) {
        nodes.append(new vbFileNode);
        nodes.last()->setFileInfo(QFileInfo(path));
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

QTEST_MAIN(tst_PhotoNode)
#include "tst_photonode.moc"
