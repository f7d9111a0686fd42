// Uploads in FTP and HTTP mode: what the service stores, the log, questions and refusals.
#include "e2eSupport.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbMainWnd.h"
#include "vbSession.h"
#include "vbSignIn.h"
#include "vbTestPhotos.h"
#include "vbToolPanel.h"
#include "vbUploadLog.h"
#include "vbUploadQueue.h"

#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kUser = QLatin1String(velbrook::kDemoEmail);

QString param(const QJsonValue& commit, const char* name)
{
    return commit.toObject()["params"].toObject().value(QLatin1String(name)).toString();
}

QString photoIdOf(const QJsonValue& commit)
{
    return QString::number(commit.toObject()["photo_id"].toInteger());
}

QSize storedSize(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    return reader.size();
}

} // namespace

class tst_E2eUpload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_program.setUp(), qPrintable(m_program.error())); }

    void init()
    {
        QVERIFY(m_program.service().clearFaults(true));
        m_program.setAutoLogin(true);
        QFile::remove(vbUploadQueue::logPath());
        QFile::remove(vbUploadQueue::pendingPath());
        QFile::remove(vbUploadQueue::recoveryPath());
    }

    void modes_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::newRow("ftp") << true;
        QTest::newRow("http, ftp login refused") << false;
    }

    // Into an empty album: at 1 MiB the photo itself goes, above it a
    // re-compressed copy (removed afterwards); FTP adds two smaller sizes and
    // a commit with the EXIF values.
    void photosStored_data() { modes_data(); }
    void photosStored()
    {
        QFETCH(bool, ftp);
        const QString album = ftp ? QStringLiteral("E2E ftp") : QStringLiteral("E2E http");
        const int albumId = m_program.createAlbum(album, 0, false);
        QVERIFY(albumId > 0);
        QVERIFY(ftp || m_program.inject("ftp_login", "refuse"));
        const QStringList paths{m_program.makePhoto(QString::fromUtf8("my trip & 旅行"), {640, 480}, 0, 7),
                                m_program.makePhoto("exactly 1 MiB", {1200, 900}, 1048576),
                                m_program.makePhoto("one byte more", {1200, 900}, 1048577)};
        QVERIFY(!paths.contains(QString()));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), paths));
        QHash<QString, QString> sent; // chosen photo -> file sent, with its hash and size
        QHash<QString, QPair<QByteArray, qint64>> sentFile;
        for (vbFileNode* node : window->fileList()->nodes()) {
            connect(node, &vbFileNode::sig_preUploadComplete, this, [&, n = node](vbUploadItem*) {
                sent.insert(n->sourcePath(), n->absoluteFilePath());
                sentFile.insert(n->absoluteFilePath(),
                                {vbE2eProgram::sha256Of(n->absoluteFilePath()), n->fileSize()});
            });
        }
        vbModalScript script;
        script.expectComplete();
        QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{3, 0}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(window->session()->ftpMode(), ftp);
        QCOMPARE(window->fileList()->count(), 0);
        QCOMPARE(m_program.albumCount(albumId), 3);
        QCOMPARE(window->session()->currentAlbumPhotoCount(), 3);
        QStringList logged;
        for (const UploadLogRecord& record : window->uploadQueue()->logRecords()) {
            QVERIFY(record.succeeded && record.userName == kUser && record.albumName == album);
            logged.append(record.filePath);
        }
        QCOMPARE(logged, paths);

        QCOMPARE(sent.value(paths.at(1)), paths.at(1));
        const QString copy = sent.value(paths.at(2));
        QVERIFY2(copy.startsWith(QDir::current().absoluteFilePath(QStringLiteral("TempImages/"))),
                 qPrintable(copy));
        QVERIFY(sentFile.value(copy).second < QFileInfo(paths.at(2)).size());
        QVERIFY(!QFileInfo::exists(copy));
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("MKD")), ftp ? 1 : 0); // the empty album's folder

        const QJsonArray commits = m_program.commitsOfAlbum(albumId);
        QCOMPARE(m_program.photosOfAlbum(albumId).size(), ftp ? 9 : 3);
        if (!ftp) {
            QCOMPARE(commits.size(), 0);
            for (const QString& path : paths) {
                // The service shows the name's bytes as Latin-1 text.
                const QFileInfo file(sent.value(path));
                const QJsonObject photo =
                    m_program.photoNamed(albumId, QString::fromLatin1(file.completeBaseName().toLocal8Bit()));
                QCOMPARE(photo["sha256"].toString().toLatin1(),
                         sentFile.value(file.absoluteFilePath()).first);
            }
            return;
        }
        QCOMPARE(commits.size(), 3);
        for (const QJsonValue& commit : commits) {
            QVERIFY(commit.toObject()["accepted"].toBool());
            const auto stored = [&](const char* suffix) {
                return m_program.photoNamed(albumId, photoIdOf(commit) + QLatin1String(suffix));
            };
            const QString source = m_program.photoPath(param(commit, "photoname") + QStringLiteral(".jpg"));
            QVERIFY2(paths.contains(source), qPrintable(source));
            const auto [sha, size] = sentFile.value(sent.value(source));
            QCOMPARE(stored(".jpg")["sha256"].toString().toLatin1(), sha);
            QCOMPARE(param(commit, "photosize"), QString::number(size));
            QCOMPARE(storedSize(m_program.storedPath(stored("_1.jpg"))), QSize(500, 375));
            QCOMPARE(storedSize(m_program.storedPath(stored("_2.jpg"))), QSize(122, 91));
            const bool exif = source == paths.first();
            const QStringList expected =
                exif ? QStringList{"640",   "480",   "Canon & Co", "EOS 5D #7", "2008:07:01 10:20:30",
                                   "1/125", "28/10", "63"}
                     : QStringList{"1200", "900", "", "", "", "", "", ""};
            QStringList got;
            for (const char* key :
                 {"photowidth", "photoheight", "make", "model", "time1", "time2", "aperture", "focal"})
                got.append(param(commit, key));
            QCOMPARE(got, expected);
        }
    }

    // Phone photos stored turned (EXIF orientation) arrive upright in all three
    // sizes with their EXIF, or byte for byte when small enough to go as they are.
    void phonePhotosArriveUpright()
    {
        const QString album = QStringLiteral("Phone");
        const int albumId = m_program.createAlbum(album, 0, false);
        QVERIFY(albumId > 0);
        const QImage upright = vbTestPhotos::quarters(QSize(900, 1200));
        const QList<QColor> colours = vbTestPhotos::quarterColours(upright);
        const QList<std::tuple<QString, int, qint64>> phones{{QStringLiteral("turned"), 6, 1300000},
                                                             {QStringLiteral("mirrored"), 7, 1100000},
                                                             {QStringLiteral("small"), 8, 0}};
        QHash<QString, QString> pathOf;
        for (const auto& [name, orientation, bytes] : phones) {
            const QString path = m_program.photoPath(name + QStringLiteral(".jpg"));
            vbTestPhotos::Exif exif;
            exif.make = QStringLiteral("Phone Maker");
            exif.dateTime = QStringLiteral("2024:05:06 07:08:09");
            QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, orientation, exif, 80));
            QVERIFY(bytes == 0 || vbTestPhotos::padJpeg(path, bytes));
            pathOf.insert(name, path);
        }
        QVERIFY(QFileInfo(pathOf.value(QStringLiteral("small"))).size() <= 1048576);
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), pathOf.values()));
        vbModalScript script;
        script.expectComplete();
        QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{3, 0}));

        const auto checkUpright = [&](const QString& file, const QSize& size) {
            QImageReader reader(file);
            reader.setAutoTransform(false);
            const QImage stored = reader.read();
            QCOMPARE(stored.size(), size);
            QCOMPARE(vbTestPhotos::quarterColours(stored), colours);
            const QMap<QString, QString> metadata = vbTestPhotos::metadata(file);
            QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Make")), QStringLiteral("Phone Maker"));
            QCOMPARE(metadata.value(QStringLiteral("Exif.Image.DateTime")),
                     QStringLiteral("2024:05:06 07:08:09"));
            QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Orientation")), QStringLiteral("1"));
        };
        QCOMPARE(m_program.photosOfAlbum(albumId).size(), 9);
        const QJsonArray commits = m_program.commitsOfAlbum(albumId);
        QCOMPARE(commits.size(), 3);
        for (const QJsonValue& commit : commits) {
            const QString id = photoIdOf(commit);
            QVERIFY(pathOf.contains(param(commit, "photoname")));
            QCOMPARE(param(commit, "photowidth") + 'x' + param(commit, "photoheight"),
                     QStringLiteral("900x1200"));
            const auto file = [&](const char* suffix) {
                return m_program.storedPath(m_program.photoNamed(albumId, id + QLatin1String(suffix)));
            };
            if (param(commit, "photoname") == QLatin1String("small"))
                QCOMPARE(vbE2eProgram::sha256Of(file(".jpg")), vbE2eProgram::sha256Of(pathOf.value("small")));
            else
                checkUpright(file(".jpg"), {900, 1200});
            checkUpright(file("_1.jpg"), {375, 500});
            checkUpright(file("_2.jpg"), {91, 122});
        }
    }

    // Each refusal is told and nothing starts: no state change, no request.
    void refusalsBeforeStart_data()
    {
        QTest::addColumn<QString>("dialog"); // empty: refused without a dialog
        QTest::newRow("signed out") << "Please login!";
        QTest::newRow("no album") << "Please select a photo list!";
        QTest::newRow("no photos") << "Please select image to upload";
        QTest::newRow("full album") << "You can upload500photos.";
        QTest::newRow("301 photos") << "Cann't upload more than 300 images";
        QTest::newRow("not allowed") << "";
    }

    void refusalsBeforeStart()
    {
        QFETCH(QString, dialog);
        const QString situation = QString::fromLatin1(QTest::currentDataTag());
        QString album =
            situation == QLatin1String("full album") ? QStringLiteral("Full album") : QStringLiteral("Trip");
        if (situation == QLatin1String("signed out")) {
            m_program.setAutoLogin(false);
            album.clear();
        }
        QVERIFY(situation != QLatin1String("full album") || m_program.createAlbum(album, 500, true) > 0);
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        if (situation == QLatin1String("no album")) {
            // Once both mirrors have answered, no late album list can choose one again.
            QTRY_VERIFY_WITH_TIMEOUT(!window->signIn()->isBusy(), 20000);
            window->toolPanel()->comboBox->setCurrentIndex(-1);
        }
        if (situation == QLatin1String("not allowed"))
            window->session()->setUploadAllowed(false);
        const QString first = m_program.makePhoto("refused", {32, 24});
        QStringList photos{first};
        for (int i = 1; situation == QLatin1String("301 photos") && i < 301; ++i) {
            photos.append(m_program.photoPath(QStringLiteral("many %1.jpg").arg(i)));
            QVERIFY(QFile::exists(photos.last()) || QFile::copy(first, photos.last()));
        }
        if (situation != QLatin1String("no photos"))
            window->fileList()->addPaths(photos);
        QTRY_COMPARE(window->fileList()->count(),
                     situation == QLatin1String("no photos") ? 0 : photos.size());

        vbModalScript script;
        if (!dialog.isEmpty())
            script.expectMessage(true);
        vbE2eProgram::clickUpload(window.get());
        QTRY_COMPARE(script.pending(), 0);
        QCOMPARE(script.seen(),
                 dialog.isEmpty() ? QStringList() : QStringList{QStringLiteral("vbMessageBox: ") + dialog});
        QVERIFY(script.unexpected().isEmpty());
        QVERIFY(!window->session()->isUploading());
        QVERIFY(!window->uploadQueue()->uploadTimer()->isActive());
        QVERIFY2(!window->statusText().startsWith(QLatin1String("Uploading")),
                 qPrintable(window->statusText()));
        for (const vbFileNode* node : window->fileList()->nodes())
            QCOMPARE(node->uploadState(), vbUploadState::Waiting);
        QCOMPARE(m_program.requestCount("photoid") + m_program.requestCount("uploadkey"), 0);
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("MKD")), 0);
    }

    // The second mirror accepting the account late does not change the album.
    void lateSecondSignInKeepsChosenAlbum()
    {
        QVERIFY(m_program.inject(
            "signin", "delay", 1,
            {{"mirror", "dianxin"}, {"ms", 2000}, {"params", QJsonObject{{"username", kUser}}}}));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow("Trip");
        QVERIFY2(window, qPrintable(m_program.error()));
        QComboBox* box = window->toolPanel()->comboBox;
        QSignalSpy refilled(box->model(), &QAbstractItemModel::rowsInserted);
        QTRY_VERIFY_WITH_TIMEOUT(m_program.requestCount("albumlist") == 2 && !refilled.isEmpty(), 20000);
        QCOMPARE(box->currentText(), QStringLiteral("Trip"));
        QCOMPARE(window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
    }

    void askedAboutUploadedBefore_data()
    {
        QTest::addColumn<QList<int>>("answers"); // vbUploadAgainBox::Result, in order
        QTest::addColumn<QStringList>("uploaded");
        // a and c are logged as uploaded, b as failed, d not at all.
        QTest::newRow("NoAll on the first") << QList<int>{vbUploadAgainBox::NoAll} << QStringList{};
        QTest::newRow("No, then Yes")
            << QList<int>{vbUploadAgainBox::No, vbUploadAgainBox::Yes} << QStringList{"b", "c", "d"};
        QTest::newRow("Yes, then NoAll")
            << QList<int>{vbUploadAgainBox::Yes, vbUploadAgainBox::NoAll} << QStringList{"a", "b"};
        QTest::newRow("YesAll asks once")
            << QList<int>{vbUploadAgainBox::YesAll} << QStringList{"a", "b", "c", "d"};
    }

    void askedAboutUploadedBefore()
    {
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, uploaded);
        const QString album = QStringLiteral("Asked ") + QString::fromLatin1(QTest::currentDataTag());
        const int albumId = m_program.createAlbum(album, 3, true);
        QVERIFY(albumId > 0);
        QStringList paths;
        UploadLogRecords earlier;
        for (const char* name : {"a", "b", "c", "d"}) {
            paths.append(m_program.makePhoto(QLatin1String(name), {96, 64}));
            if (paths.size() < 4)
                earlier.append({paths.size() != 2, kUser, paths.last(), QStringLiteral("Family"),
                                QStringLiteral("2009.01.01"), QString()});
        }
        QVERIFY(vbUploadLog::save(vbUploadQueue::logPath(), earlier));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(window->uploadQueue()->uploadedFiles(), (QSet<QString>{paths.at(0), paths.at(2)}));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), paths));

        vbModalScript script;
        QStringList questions;
        for (int answer : answers) {
            script.expectAgain(vbUploadAgainBox::Result(answer));
            questions.append(QStringLiteral("vbUploadAgainBox: ") + (questions.isEmpty() ? "a" : "c"));
        }
        if (!uploaded.isEmpty()) {
            script.expectComplete();
            QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{int(uploaded.size()), 0}));
        } else {
            vbE2eProgram::clickUpload(window.get());
        }
        QStringList asked; // the question names the photo on its first line
        for (const QString& seen : script.seen().mid(0, questions.size()))
            asked.append(seen.section(QLatin1Char('\n'), 0, 0));
        QCOMPARE(asked, questions);
        QCOMPARE(script.pending(), 0);
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(window->fileList()->count(), 0); // left out, or uploaded
        QStringList committed;
        for (const QJsonValue& commit : m_program.commitsOfAlbum(albumId))
            committed.append(param(commit, "photoname"));
        committed.sort();
        QCOMPARE(committed, uploaded);
        QCOMPARE(window->uploadQueue()->logRecords().size(), qsizetype(3 + uploaded.size()));
    }

    // Room for two more photos: Cancel starts nothing; OK sends the front two
    // and stops the rest, logged as failed with why.
    void albumWithRoomForTwo()
    {
        const int albumId = velbrook::kArchiveAlbumId; // seeded with 498 photos
        QVERIFY(QDir().mkpath(m_program.service().stateDir() + QStringLiteral("/ftp/u1001/") +
                              QString::number(albumId)));
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths.append(m_program.makePhoto(QStringLiteral("archive %1").arg(i), {96, 64}));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow("Archive");
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), paths));
        const QString question =
            QStringLiteral("vbMessageBox: You can upload2 photos.Do you want upload front photo?");
        {
            vbModalScript script;
            script.expectMessage(false);
            vbE2eProgram::clickUpload(window.get());
            QCOMPARE(script.seen(), QStringList{question});
            QVERIFY(!window->session()->isUploading());
        }
        vbModalScript script;
        script.expectMessage(true);
        script.expectFailed();
        QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{2, 3}));
        QCOMPARE(
            script.seen(),
            (QStringList{question, QStringLiteral("vbUploadFailed: Successed upload2 photo,has3 failed")}));
        QCOMPARE(window->fileList()->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(window->fileList()->node(i)->sourcePath(), paths.at(i + 2));
            QCOMPARE(window->fileList()->node(i)->uploadState(), vbUploadState::Stopped);
        }
        QCOMPARE(m_program.albumCount(albumId), 500);
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), 2);
        QStringList failed;
        for (const UploadLogRecord& record : window->uploadQueue()->logRecords()) {
            if (!record.succeeded && !record.reason.isEmpty())
                failed.append(record.filePath);
        }
        QCOMPARE(failed, paths.mid(2));
    }

private:
    vbE2eProgram m_program;
};

QTEST_MAIN(tst_E2eUpload)
#include "tst_e2e_upload.moc"
