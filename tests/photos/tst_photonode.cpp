// Photo node, loaders and preparation: the 1 MiB rule, copies with the same
// name, orientation and metadata of every copy, sizes, unreadable files, and
// the worker pools: every result reaches its own photo, and photos removed,
// cancelled or edited while workers hold them are safe.
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

#include <algorithm>
#include <memory>

namespace {

// A photo of one colour, so a picture shows whose it is.
QString writeSolid(const QString& path, const QSize& size, const QColor& colour,
                   QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(colour);
    return QImageWriter(path).write(image) ? path : QString();
}

bool sameColour(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 && qAbs(a.blue() - b.blue()) < 12;
}

} // namespace

class tst_PhotoNode : public QObject
{
    Q_OBJECT

private:
    vbFileNode* makeNode(const QString& path)
    {
        auto node = std::make_shared<vbFileNode>();
        node->setFileInfo(QFileInfo(path));
        node->setLoader(m_loader.get());
        m_nodes.append(node);
        return node.get();
    }
    void waitForThumbnail(vbFileNode* node)
    {
        QVERIFY(node->requestThumbnail());
        QTRY_VERIFY_WITH_TIMEOUT(!node->isLoading(), 10000);
    }
    bool prepare(vbFileNode* node, bool ftp)
    {
        QSignalSpy done(node, &vbFileNode::sig_preUploadComplete);
        m_saver->setNodes({node}, ftp);
        return done.wait(10000) && done.first().first().value<vbFileNode*>() == node;
    }
    // A copy written: upright at size, with the photo's metadata fitted, or none.
    void checkCopy(const QString& path, const QSize& size, bool withMetadata)
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
        QCOMPARE(metadata.value("Exif.Image.Orientation"), QStringLiteral("1"));
        QCOMPARE(metadata.value("Exif.Image.Make"), QStringLiteral("Phone Maker"));
        QCOMPARE(metadata.value("Exif.Photo.PixelXDimension"), QString::number(size.width()));
        QCOMPARE(metadata.value("Exif.Photo.PixelYDimension"), QString::number(size.height()));
        QCOMPARE(metadata.value("Xmp.dc.title"), QStringLiteral("lang=\"x-default\" Harbour"));
        QCOMPARE(metadata.value("Iptc.Application2.Caption"), QStringLiteral("Boats at dawn"));
        // The embedded preview would show the photo lying down.
        for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
            QVERIFY2(!it.key().startsWith(QLatin1String("Exif.Thumbnail.")), qPrintable(it.key()));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<vbSession> m_session;
    std::unique_ptr<_loadThread> m_loader;
    std::unique_ptr<_saveImageThread> m_saver;
    QList<std::shared_ptr<vbFileNode>> m_nodes;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path()));
        m_session = std::make_unique<vbSession>(vbEndpoints());
        m_loader = std::make_unique<_loadThread>();
        m_saver = std::make_unique<_saveImageThread>();
    }

    void sizeRuleAndSameNames()
    {
        // Two photos of one name: the one of exactly 1 MiB is sent as it is, the
        // one a byte larger is re-compressed; neither copy overwrites the other.
        QDir().mkpath(m_dir.filePath("a"));
        QDir().mkpath(m_dir.filePath("b"));
        const QString first = m_dir.filePath("a/IMG_0001.jpg");
        const QString second = m_dir.filePath("b/IMG_0001.jpg");
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
        QCOMPARE(QImageReader(a->mediumFile().absoluteFilePath()).size(), QSize(400, 300));
    }

    void orientedPhoto_data()
    {
        QTest::addColumn<int>("orientation"); // 0: a photo without any metadata
        for (int orientation = 0; orientation <= 8; ++orientation)
            QTest::addRow("orientation %d", orientation) << orientation;
    }

    void orientedPhoto()
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

    void unreadableFile_data()
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

    void unreadableFile()
    {
        QFETCH(QString, kind);
        QFETCH(int, problem);
        const QString path = m_dir.filePath(kind + QStringLiteral(".jpg"));
        if (kind == "empty") {
            QVERIFY(vbTestPhotos::writeGarbage(path, 0));
        } else if (kind == "garbage") {
            QVERIFY(vbTestPhotos::writeGarbage(path));
        } else if (kind != "missing") {
            QVERIFY(vbTestPhotos::writeJpeg(path, QSize(400, 300)));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            if (kind == "headers") {
                QVERIFY(file.resize(300));
            } else if (kind == "scan") {
                // Decoders fill the rest with grey and call it a success.
                QVERIFY(file.resize(file.size() * 2 / 3));
                file.close();
                QVERIFY(!QImageReader(path).read().isNull());
            } else if (kind == "huge") {
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
        waitForThumbnail(node);
        if (kind == "deleted") {
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

    void preparedSizes_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<bool>("ftp");
        QTest::addColumn<QSize>("thumbnail");
        QTest::addColumn<QSize>("medium"); // empty: not written
        QTest::addColumn<QSize>("small");
        // Portrait photos: orientedPhoto.
        QTest::newRow("landscape") << QSize(3000, 2000) << true << QSize(244, 162) << QSize(500, 333)
                                   << QSize(122, 81);
        QTest::newRow("smaller than every box")
            << QSize(100, 80) << true << QSize(100, 80) << QSize(100, 80) << QSize(100, 80);
        // Fitted from the 500 copy this would be 31 wide: the small size follows the thumbnail.
        QTest::newRow("narrow") << QSize(263, 1000) << true << QSize(64, 244) << QSize(131, 500)
                                << QSize(32, 122);
        QTest::newRow("HTTP") << QSize(3000, 2000) << false << QSize(244, 162) << QSize() << QSize();
    }

    void preparedSizes()
    {
        QFETCH(QSize, photo);
        QFETCH(bool, ftp);
        QFETCH(QSize, thumbnail);
        QFETCH(QSize, medium);
        QFETCH(QSize, small);
        const QString path = m_dir.filePath(QStringLiteral("sizes_%1.jpg").arg(QTest::currentDataTag()));
        QVERIFY(vbTestPhotos::writeJpeg(path, photo));
        vbFileNode* node = makeNode(path);
        waitForThumbnail(node);
        QCOMPARE(node->thumbnail().size(), thumbnail);
        QVERIFY(prepare(node, ftp));
        QCOMPARE(QDir(node->tempFolder()).entryList(QDir::Files).size(), ftp ? 2 : 0);
        if (ftp) {
            QCOMPARE(QImageReader(node->mediumFile().absoluteFilePath()).size(), medium);
            QCOMPARE(QImageReader(node->smallFile().absoluteFilePath()).size(), small);
        }
    }

    void thumbnailsMatchTheirPhotos()
    {
        // Each photo is first queued with a large common picture, then edited to a
        // small one of its own and queued again: the large decodes end last on the
        // other workers, and must not win.
        _loadThread loader(nullptr, 4);
        const QString common = m_dir.filePath("common.jpg");
        QVERIFY(vbTestPhotos::writeJpeg(common, QSize(3000, 2000)));
        QList<std::shared_ptr<vbFileNode>> nodes;
        QList<std::shared_ptr<vbFileNodeUI>> tiles;
        const auto colour = [](int i) { return QColor::fromHsv(i * 30, 255, 230); };
        for (int i = 0; i < 12; ++i) {
            nodes << std::make_shared<vbFileNode>();
            tiles << std::make_shared<vbFileNodeUI>(nodes[i].get());
            nodes[i]->setFileInfo(QFileInfo(common));
            nodes[i]->setLoader(&loader);
            nodes[i]->setTile(tiles[i].get());
            QVERIFY(nodes[i]->requestThumbnail());
            const QString own = m_dir.filePath(QStringLiteral("own_%1.jpg").arg(i));
            QVERIFY(!writeSolid(own, QSize(200 + i, 150), colour(i)).isEmpty());
            nodes[i]->setFileInfo(QFileInfo(own));
            QVERIFY(nodes[i]->requestThumbnail());
        }
        QTRY_COMPARE_WITH_TIMEOUT(loader.unfinishedCount(), 0, 20000);
        QTRY_VERIFY(std::none_of(nodes.begin(), nodes.end(), [](const auto& n) { return n->isLoading(); }));
        QCoreApplication::processEvents(); // results of the large decodes still on their way
        for (int i = 0; i < nodes.size(); ++i) {
            const QImage thumb = nodes[i]->thumbnail();
            QCOMPARE(thumb.size(), QSize(200 + i, 150));
            QVERIFY2(sameColour(thumb.pixelColor(thumb.rect().center()), colour(i)),
                     qPrintable(QString::number(i)));
            tiles[i]->setViewMode(vbViewMode::BigIcons);
            tiles[i]->resize(vbFileNodeUI::cellSize(vbViewMode::BigIcons));
            const QImage shown = tiles[i]->grab().toImage();
            const QRect drawn = vbFileNodeUI::thumbnailRect(vbViewMode::BigIcons, thumb.size());
            QVERIFY(sameColour(shown.pixelColor(drawn.center() * shown.devicePixelRatio()), colour(i)));
            nodes[i]->setTile(nullptr);
        }
    }

    void removedWhileWorkersBusy()
    {
        // Nodes deleted while queued and while in a worker's hand, behind the
        // loaders' backs: no crash, no result, no copies left behind.
        const QString path = m_dir.filePath("busy.jpg");
        QVERIFY(vbTestPhotos::writeJpegOfSize(path, QSize(2400, 1600), 1100000));
        _loadThread loader(nullptr, 3);
        _saveImageThread saver(nullptr, 3);
        QList<vbFileNode*> nodes;
        QStringList folders;
        for (int i = 0; i < 24; ++i) {
            nodes.append(new vbFileNode);
            nodes.last()->setFileInfo(QFileInfo(path));
            folders << nodes.last()->tempFolder();
        }
        vbFileNode* survivor = nodes.takeLast();
        QSignalSpy prepared(survivor, &vbFileNode::sig_preUploadComplete);
        loader.addNodes(nodes);
        saver.setNodes(nodes, true);
        loader.addNodes({survivor});
        // Every worker holds a photo, the rest wait.
        QTRY_VERIFY(loader.pendingCount() <= nodes.size() + 1 - loader.workerCount());
        QTRY_VERIFY(saver.pendingCount() <= nodes.size() - saver.workerCount());
        qDeleteAll(nodes);
        saver.setNodes({survivor}, true);
        QTRY_VERIFY_WITH_TIMEOUT(!survivor->isLoading(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(prepared.count(), 1, 20000);
        QCOMPARE(survivor->thumbnail().size(), QSize(244, 162));
        QTRY_COMPARE(saver.unfinishedCount(), 0);
        QTRY_VERIFY(std::none_of(folders.begin(), folders.end() - 1,
                                 [](const QString& f) { return QFileInfo::exists(f); }));
        QCOMPARE(prepared.count(), 1);
        delete survivor;
    }

    void cancelledWhileWorkersBusy()
    {
        // An emptied queue: the photos in hand still report, the others never do.
        const QString path = m_dir.filePath("cancel.jpg");
        QVERIFY(vbTestPhotos::writeJpegOfSize(path, QSize(2400, 1600), 1100000));
        _saveImageThread saver(nullptr, 2);
        QList<vbFileNode*> nodes;
        QList<std::shared_ptr<QSignalSpy>> spies;
        for (int i = 0; i < 30; ++i) {
            nodes.append(makeNode(path));
            spies.append(std::make_shared<QSignalSpy>(nodes.last(), &vbFileNode::sig_preUploadComplete));
        }
        saver.setNodes(nodes, true);
        QTRY_VERIFY(saver.pendingCount() <= nodes.size() - saver.workerCount());
        saver.setNodes({}, true);
        QTRY_COMPARE_WITH_TIMEOUT(saver.unfinishedCount(), 0, 20000);
        QCoreApplication::processEvents();
        const auto reported =
            std::count_if(spies.begin(), spies.end(), [](const auto& spy) { return spy->count() == 1; });
        QVERIFY(reported >= saver.workerCount() && reported < nodes.size());
        for (int i = 0; i < nodes.size(); ++i) {
            // Prepared in full, or left as the user's file with nothing written.
            const bool done = spies[i]->count() == 1;
            QCOMPARE(nodes[i]->absoluteFilePath() != path, done);
            QCOMPARE(QDir(nodes[i]->tempFolder()).entryList(QDir::Files).size(), done ? 3 : 0);
        }
    }

    void editedWhilePrepared()
    {
        // The editor replaced the photo while a worker prepared the old one: what
        // goes out is the edited picture, announced once.
        const QString before = writeSolid(m_dir.filePath("before.jpg"), QSize(640, 480), Qt::red);
        const QString after = writeSolid(m_dir.filePath("after.jpg"), QSize(480, 640), Qt::blue);
        vbFileNode* node = makeNode(before);
        QSignalSpy done(node, &vbFileNode::sig_preUploadComplete);
        m_saver->setNodes({node}, true);
        node->setFileInfo(QFileInfo(after));
        QVERIFY(done.wait(10000));
        QCOMPARE(node->absoluteFilePath(), after);
        const QImage medium(node->mediumFile().absoluteFilePath());
        QCOMPARE(medium.size(), QSize(375, 500));
        QVERIFY(sameColour(medium.pixelColor(10, 10), Qt::blue));
        QTRY_COMPARE(m_saver->unfinishedCount(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(done.count(), 1);
    }

    void batchCopiesShowTheirOwnPhoto()
    {
        // One worker decodes photos of one size into the same memory: no copy may
        // show any of the photo before. The last one is a grey JPEG, decoded in
        // another format.
        _saveImageThread saver(nullptr, 1);
        QList<vbFileNode*> nodes;
        QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::darkGray};
        for (int i = 0; i < colours.size(); ++i) {
            const QString path =
                writeSolid(m_dir.filePath(QStringLiteral("batch_%1.jpg").arg(i)), QSize(1200, 900),
                           colours[i], i == 4 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
            QVERIFY(vbTestPhotos::padJpeg(path, 1100000));
            nodes << makeNode(path);
        }
        QSignalSpy last(nodes.last(), &vbFileNode::sig_preUploadComplete);
        saver.setNodes(nodes, true);
        QVERIFY(last.wait(20000));
        for (int i = 0; i < nodes.size(); ++i) {
            for (const QString& copy :
                 {nodes[i]->absoluteFilePath(), nodes[i]->mediumFile().absoluteFilePath()}) {
                const QImage image(copy);
                QVERIFY2(copy.startsWith(nodes[i]->tempFolder()), qPrintable(copy));
                QVERIFY2(sameColour(image.pixelColor(image.width() - 1, image.height() - 1), colours[i]),
                         qPrintable(copy));
            }
        }
    }
};

QTEST_MAIN(tst_PhotoNode)
#include "tst_photonode.moc"
