// Uploads driven through the main window against the stand-in service, in FTP
// and in HTTP mode: what the service holds afterwards, the log, the list, the
// questions and refusals before a start, and the closing sequence.
#include "e2eSupport.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbMainWnd.h"
#include "vbSession.h"
#include "vbSignIn.h"
#include "vbStatusBar.h"
#include "vbTestPhotos.h"
#include "vbToolPanel.h"
#include "vbUploadLog.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kUser = QLatin1String(velbrook::kDemoEmail);

struct PhotoSpec
{
    QString name;
    QSize size;
    qint64 bytes; // 0: natural size with EXIF
    QSize medium; // "_1.jpg"
    QSize small;  // "_2.jpg"
};

// Twenty photos of different shapes and sizes; three at the 1 MiB boundary and above.
QList<PhotoSpec> twentyPhotos()
{
    QList<PhotoSpec> specs{
        {QString::fromUtf8("my trip & 旅行 1"), {640, 480}, 0, {500, 375}, {122, 91}},
        {QStringLiteral("portrait"), {480, 640}, 0, {375, 500}, {91, 122}},
        {QStringLiteral("small"), {300, 200}, 0, {300, 200}, {122, 81}},
        {QStringLiteral("tiny"), {100, 80}, 0, {100, 80}, {100, 80}},
        {QStringLiteral("wide"), {1000, 250}, 0, {500, 125}, {122, 30}},
        {QStringLiteral("exactly 1 MiB"), {1200, 900}, 1048576, {500, 375}, {122, 91}},
        {QStringLiteral("one byte more"), {1200, 900}, 1048577, {500, 375}, {122, 91}},
        {QStringLiteral("big.2008"), {2000, 1500}, 1500000, {500, 375}, {122, 91}},
    };
    const QList<QSize> shapes{{320, 240}, {400, 300}, {480, 360}, {560, 420}};
    const QList<QSize> mediums{{320, 240}, {400, 300}, {480, 360}, {500, 375}};
    for (int i = 0; specs.size() < 20; ++i)
        specs.append({QStringLiteral("photo %1").arg(i, 2, 10, QLatin1Char('0')),
                      shapes.at(i % 4),
                      0,
                      mediums.at(i % 4),
                      {122, 91}});
    return specs;
}

QSize imageSize(const QString& path)
{
    return QImageReader(path).size();
}

// A new record's date field: today's date and a time.
bool isTodayWithTime(const QString& date)
{
    static const QRegularExpression time(QStringLiteral("^ \\d\\d:\\d\\d:\\d\\d$"));
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd"));
    return date.startsWith(today) && time.match(date.mid(today.size())).hasMatch();
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

    void twentyPhotosArrive_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::newRow("ftp") << true;
        QTest::newRow("http, ftp login refused") << false;
    }

    void twentyPhotosArrive()
    {
        QFETCH(bool, ftp);
        const QString albumName = ftp ? QStringLiteral("E2E ftp") : QStringLiteral("E2E http");
        // Empty: the first photo makes the album's FTP folder.
        const int albumId = m_program.createAlbum(albumName, 0, false);
        QVERIFY(albumId > 0);
        if (!ftp)
            QVERIFY(m_program.service().injectFault(
                vbE2eProgram::fault(QStringLiteral("ftp_login"), QStringLiteral("refuse"))));

        const QList<PhotoSpec> specs = twentyPhotos();
        QStringList paths;
        QHash<QString, PhotoSpec> specOf;
        QHash<QString, int> indexOf;
        for (int i = 0; i < specs.size(); ++i) {
            const QString path =
                m_program.makePhoto(specs.at(i).name, specs.at(i).size, specs.at(i).bytes, i);
            QVERIFY2(!path.isEmpty(), qPrintable(specs.at(i).name));
            paths.append(path);
            specOf.insert(path, specs.at(i));
            indexOf.insert(path, i);
        }
        QCOMPARE(QFileInfo(paths.at(5)).size(), qint64(1048576));
        QCOMPARE(QFileInfo(paths.at(6)).size(), qint64(1048577));

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(albumName);
        QVERIFY2(window, qPrintable(m_program.error()));
        window->fileList()->addPaths(paths);
        QCOMPARE(window->fileList()->count(), 20);
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));

        // The file each photo ends up sending, seen when its preparation is
        // done (prepared copies go once their photo is uploaded).
        QHash<QString, QString> sent;
        QHash<QString, QByteArray> sentSha;
        QHash<QString, qint64> sentSize;
        for (vbFileNode* node : window->fileList()->nodes()) {
            connect(node, &vbFileNode::sig_preUploadComplete, this, [&](vbFileNode* n) {
                sent.insert(n->sourcePath(), n->absoluteFilePath());
                sentSha.insert(n->absoluteFilePath(), vbE2eProgram::sha256Of(n->absoluteFilePath()));
                sentSize.insert(n->absoluteFilePath(), n->fileSize());
            });
        }

        vbModalScript script;
        script.expectComplete();
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        QSignalSpy uploading(window->session(), &vbSession::uploadingChanged);
        vbE2eProgram::clickUpload(window.get());
        QCOMPARE(window->session()->ftpMode(), ftp);
        QVERIFY(window->session()->isUploading());
        // Only the Upload button (now cancelling) stays usable.
        vbToolPanel* panel = window->toolPanel();
        const QList<QWidget*> locked{
            panel->comboBox,  panel->btnHelp,       panel->btnRegister,
            panel->btnTask,   panel->btnSelectFile, panel->btnLogin,
            panel->lblCreate, panel->btnViewMode,   window->statusBar()->lblDeleteAll};
        for (QWidget* widget : locked)
            QVERIFY2(!widget->isEnabled(), qPrintable(widget->objectName()));
        QVERIFY(window->statusBar()->btnUpload->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 150000);
        QCOMPARE(finished.first(), (QVariantList{20, 0}));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(script.pending(), 0);

        // The window is back in standby with an empty list.
        QCOMPARE(window->statusText(), QStringLiteral("StandBy"));
        QVERIFY(!window->session()->isUploading());
        for (QWidget* widget : locked)
            QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
        QCOMPARE(window->fileList()->count(), 0);
        QCOMPARE(window->session()->currentAlbumPhotoCount(), 20);
        QCOMPARE(m_program.albumCount(albumId), 20);

        // Every photo in the log, as the user chose it.
        const UploadLogRecords& log = window->uploadQueue()->logRecords();
        QCOMPARE(log.size(), qsizetype(20));
        QStringList logged;
        for (const UploadLogRecord& record : log) {
            QVERIFY(record.succeeded);
            QCOMPARE(record.userName, kUser);
            QCOMPARE(record.albumName, albumName);
            QVERIFY2(isTodayWithTime(record.date), qPrintable(record.date));
            logged.append(record.filePath);
        }
        logged.sort();
        QStringList chosen = paths;
        chosen.sort();
        QCOMPARE(logged, chosen);

        // Above 1 MiB the re-compressed copy goes; at 1 MiB the file itself.
        QCOMPARE(sent.size(), qsizetype(20));
        QCOMPARE(sent.value(paths.at(5)), paths.at(5));
        for (int big : {6, 7}) {
            const QString copy = sent.value(paths.at(big));
            QVERIFY2(copy.startsWith(QDir::current().absoluteFilePath(QStringLiteral("TempImages/"))),
                     qPrintable(copy));
            QCOMPARE(QFileInfo(copy).fileName(), QFileInfo(paths.at(big)).fileName());
            QVERIFY(sentSize.value(copy) < QFileInfo(paths.at(big)).size());
            QVERIFY(!QFileInfo::exists(copy));
        }

        const QJsonArray photos = m_program.photosOfAlbum(albumId);
        // The empty album's folder was made once, in FTP mode only.
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("MKD")), ftp ? 1 : 0);
        if (ftp) {
            QCOMPARE(photos.size(), 60);
            QHash<QString, QJsonObject> byName;
            for (const QJsonValue& p : photos)
                byName.insert(p.toObject().value(QLatin1String("name")).toString(), p.toObject());
            const QJsonArray commits = m_program.commitsOfAlbum(albumId);
            QCOMPARE(commits.size(), 20);
            const QString areaDir = m_program.service().stateDir() + QLatin1Char('/');
            QSet<QString> committedNames;
            for (const QJsonValue& c : commits) {
                const QJsonObject commit = c.toObject();
                QVERIFY(commit.value(QLatin1String("accepted")).toBool());
                const QJsonObject params = commit.value(QLatin1String("params")).toObject();
                const QString id = QString::number(commit.value(QLatin1String("photo_id")).toInteger());
                const QString photoName = params.value(QLatin1String("photoname")).toString();
                committedNames.insert(photoName);
                const QString source = photoName == QLatin1String("big")
                                           ? m_program.photoPath(QStringLiteral("big.2008.jpg"))
                                           : m_program.photoPath(photoName + QStringLiteral(".jpg"));
                QVERIFY2(specOf.contains(source), qPrintable(photoName));
                const PhotoSpec spec = specOf.value(source);
                const QString sentFile = sent.value(source);

                const QJsonObject full = byName.value(id + QStringLiteral(".jpg"));
                QCOMPARE(full.value(QLatin1String("sha256")).toString().toLatin1(), sentSha.value(sentFile));
                QCOMPARE(params.value(QLatin1String("photosize")).toString(),
                         QString::number(sentSize.value(sentFile)));
                QCOMPARE(params.value(QLatin1String("photowidth")).toString(),
                         QString::number(spec.size.width()));
                QCOMPARE(params.value(QLatin1String("photoheight")).toString(),
                         QString::number(spec.size.height()));
                QCOMPARE(
                    imageSize(
                        areaDir +
                        byName.value(id + QStringLiteral("_1.jpg")).value(QLatin1String("path")).toString()),
                    spec.medium);
                QCOMPARE(
                    imageSize(
                        areaDir +
                        byName.value(id + QStringLiteral("_2.jpg")).value(QLatin1String("path")).toString()),
                    spec.small);
                if (spec.bytes == 0) {
                    QCOMPARE(params.value(QLatin1String("make")).toString(), QStringLiteral("Canon & Co"));
                    QCOMPARE(params.value(QLatin1String("model")).toString(),
                             QStringLiteral("EOS 5D #") + QString::number(indexOf.value(source)));
                    QCOMPARE(params.value(QLatin1String("time1")).toString(),
                             QStringLiteral("2008:07:01 10:20:30"));
                    QCOMPARE(params.value(QLatin1String("time2")).toString(), QStringLiteral("1/125"));
                    QCOMPARE(params.value(QLatin1String("aperture")).toString(), QStringLiteral("28/10"));
                    QCOMPARE(params.value(QLatin1String("focal")).toString(), QStringLiteral("63"));
                } else {
                    QCOMPARE(params.value(QLatin1String("make")).toString(), QString());
                }
            }
            QCOMPARE(committedNames.size(), 20);
            QVERIFY(committedNames.contains(QString::fromUtf8("my trip & 旅行 1")));
        } else {
            QCOMPARE(photos.size(), 20);
            QHash<QString, QByteArray> shaByName;
            for (const QJsonValue& p : photos) {
                QCOMPARE(p.toObject().value(QLatin1String("via")).toString(), QStringLiteral("http"));
                shaByName.insert(p.toObject().value(QLatin1String("name")).toString(),
                                 p.toObject().value(QLatin1String("sha256")).toString().toLatin1());
            }
            for (const QString& path : std::as_const(paths)) {
                const QFileInfo sentFile(sent.value(path));
                // The service shows the name's bytes as Latin-1 text.
                const QString name = QString::fromLatin1(
                    (sentFile.absolutePath() + QLatin1Char('/') + sentFile.baseName()).toLocal8Bit());
                QVERIFY2(shaByName.contains(name),
                         qPrintable(name + QStringLiteral(" not in ") +
                                    QStringList(shaByName.keys()).join(QLatin1Char('|'))));
                QCOMPARE(shaByName.value(name), sentSha.value(sentFile.absoluteFilePath()));
            }
            QCOMPARE(m_program.requestCount("commit"), 0);
        }
    }

    void refusalsBeforeStart_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("not signed in") << "signed out"
                                       << "vbMessageBox: Please login!";
        QTest::newRow("no album") << "no album"
                                  << "vbMessageBox: Please select a photo list!";
        QTest::newRow("no photos") << "no photos"
                                   << "vbMessageBox: Please select image to upload";
        QTest::newRow("album full") << "full album"
                                    << "vbMessageBox: You can upload500photos.";
        QTest::newRow("301 photos") << "301 photos"
                                    << "vbMessageBox: Cann't upload more than 300 images";
        QTest::newRow("uploading not allowed") << "not allowed"
                                               << "";
    }

    void refusalsBeforeStart()
    {
        QFETCH(QString, situation);
        QFETCH(QString, dialog);

        QString album = QStringLiteral("Trip");
        if (situation == QLatin1String("signed out")) {
            m_program.setAutoLogin(false);
            album.clear();
        } else if (situation == QLatin1String("full album")) {
            album = QStringLiteral("Full album");
            QVERIFY(m_program.createAlbum(album, 500, true) > 0);
        }
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        if (situation == QLatin1String("no album")) {
            // Once both mirrors have answered, no late album list can choose an album again.
            QTRY_VERIFY_WITH_TIMEOUT(!window->signIn()->isBusy(), 20000);
            window->toolPanel()->comboBox->setCurrentIndex(-1);
        }
        if (situation == QLatin1String("not allowed"))
            window->session()->setUploadAllowed(false);
        if (situation == QLatin1String("301 photos")) {
            const QString first = m_program.makePhoto(QStringLiteral("many 0"), {32, 24});
            QStringList many{first};
            for (int i = 1; i < 301; ++i) {
                many.append(m_program.photoPath(QStringLiteral("many %1.jpg").arg(i)));
                QVERIFY(QFile::exists(many.last()) || QFile::copy(first, many.last()));
            }
            window->fileList()->addPaths(many);
            QTRY_COMPARE(window->fileList()->count(), 301);
        } else if (situation != QLatin1String("no photos")) {
            const QString photo = m_program.makePhoto(QStringLiteral("refused"), {64, 48});
            window->fileList()->addPaths({photo});
            QCOMPARE(window->fileList()->count(), 1);
        }

        vbModalScript script;
        if (!dialog.isEmpty())
            script.expectMessage(true);
        vbE2eProgram::clickUpload(window.get());
        QTRY_COMPARE(script.pending(), 0);
        QCOMPARE(script.seen(), dialog.isEmpty() ? QStringList() : QStringList{dialog});
        QVERIFY(script.unexpected().isEmpty());

        // Nothing started: no state changed, no request went out.
        QVERIFY(!window->session()->isUploading());
        QVERIFY(!window->uploadQueue()->uploadTimer()->isActive());
        QVERIFY2(!window->statusText().startsWith(QLatin1String("Uploading")),
                 qPrintable(window->statusText()));
        for (const vbFileNode* node : window->fileList()->nodes())
            QCOMPARE(node->uploadState(), int(vbFileNode::Waiting));
        QCOMPARE(m_program.requestCount("photoid") + m_program.requestCount("uploadkey"), 0);
        QCOMPARE(m_program.ftpCommandCount(QStringLiteral("MKD")), 0);
    }

    void phonePhotosArriveUpright_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::newRow("ftp") << true;
        QTest::newRow("http, ftp login refused") << false;
    }

    void phonePhotosArriveUpright()
    {
        QFETCH(bool, ftp);
        const QString albumName = ftp ? QStringLiteral("Phone ftp") : QStringLiteral("Phone http");
        const int albumId = m_program.createAlbum(albumName, 0, false);
        QVERIFY(albumId > 0);
        if (!ftp)
            QVERIFY(m_program.service().injectFault(
                vbE2eProgram::fault(QStringLiteral("ftp_login"), QStringLiteral("refuse"))));

        // Taken upright at 900 x 1200 and stored turned; the last one is small
        // enough to go as it is.
        const QImage upright = vbTestPhotos::quarters(QSize(900, 1200));
        const QList<QColor> seen = vbTestPhotos::quarterColours(upright);
        struct Phone
        {
            QString name;
            int orientation;
            qint64 bytes;
        };
        const QList<Phone> phones{{QStringLiteral("turned"), 6, 1300000},
                                  {QStringLiteral("mirrored"), 7, 1100000},
                                  {QStringLiteral("small"), 8, 0}};
        QHash<QString, QString> pathOf;
        for (const Phone& phone : phones) {
            const QString path = m_program.photoPath(phone.name + QStringLiteral(".jpg"));
            vbTestPhotos::Exif exif;
            exif.make = QStringLiteral("Phone Maker");
            exif.dateTime = QStringLiteral("2024:05:06 07:08:09");
            QVERIFY(vbTestPhotos::writeOrientedJpeg(path, upright, phone.orientation, exif, 80));
            QVERIFY(phone.bytes == 0 || vbTestPhotos::padJpeg(path, phone.bytes));
            pathOf.insert(phone.name, path);
        }
        QVERIFY(QFileInfo(pathOf.value(QStringLiteral("small"))).size() <= 1048576);

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(albumName);
        QVERIFY2(window, qPrintable(m_program.error()));
        window->fileList()->addPaths(pathOf.values());
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));
        vbModalScript script;
        script.expectComplete();
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{3, 0}));

        // What the service stores: upright pixels with the photo's EXIF, or
        // the small photo byte for byte.
        const QString stateDir = m_program.service().stateDir() + QLatin1Char('/');
        const auto checkStored = [&](const QString& file, const QSize& size) {
            QImageReader reader(file);
            reader.setAutoTransform(false);
            const QImage stored = reader.read();
            QCOMPARE(stored.size(), size);
            QCOMPARE(vbTestPhotos::quarterColours(stored), seen);
            const QMap<QString, QString> metadata = vbTestPhotos::metadata(file);
            QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Make")), QStringLiteral("Phone Maker"));
            QCOMPARE(metadata.value(QStringLiteral("Exif.Image.DateTime")),
                     QStringLiteral("2024:05:06 07:08:09"));
            QCOMPARE(metadata.value(QStringLiteral("Exif.Image.Orientation")), QStringLiteral("1"));
        };
        const QJsonArray photos = m_program.photosOfAlbum(albumId);
        QHash<QString, QJsonObject> byName;
        for (const QJsonValue& p : photos) {
            QString name = p.toObject().value(QLatin1String("name")).toString();
            byName.insert(name.mid(name.lastIndexOf(QLatin1Char('/')) + 1), p.toObject());
        }
        const auto checkFull = [&](const QString& phone, const QString& storedName) {
            const QString file = stateDir + byName.value(storedName).value(QLatin1String("path")).toString();
            if (phone == QLatin1String("small"))
                QCOMPARE(vbE2eProgram::sha256Of(file), vbE2eProgram::sha256Of(pathOf.value(phone)));
            else
                checkStored(file, QSize(900, 1200));
        };
        if (!ftp) {
            QCOMPARE(photos.size(), 3);
            for (const Phone& phone : phones)
                checkFull(phone.name, phone.name);
            return;
        }
        QCOMPARE(photos.size(), 9);
        const QJsonArray commits = m_program.commitsOfAlbum(albumId);
        QCOMPARE(commits.size(), 3);
        for (const QJsonValue& c : commits) {
            const QJsonObject params = c.toObject().value(QLatin1String("params")).toObject();
            const QString id = QString::number(c.toObject().value(QLatin1String("photo_id")).toInteger());
            const QString phone = params.value(QLatin1String("photoname")).toString();
            QVERIFY2(pathOf.contains(phone), qPrintable(phone));
            QCOMPARE(params.value(QLatin1String("photowidth")).toString(), QStringLiteral("900"));
            QCOMPARE(params.value(QLatin1String("photoheight")).toString(), QStringLiteral("1200"));
            QCOMPARE(params.value(QLatin1String("make")).toString(), QStringLiteral("Phone Maker"));
            checkFull(phone, id + QStringLiteral(".jpg"));
            checkStored(
                stateDir +
                    byName.value(id + QStringLiteral("_1.jpg")).value(QLatin1String("path")).toString(),
                QSize(375, 500));
            checkStored(
                stateDir +
                    byName.value(id + QStringLiteral("_2.jpg")).value(QLatin1String("path")).toString(),
                QSize(91, 122));
        }
    }

    void lateSecondSignInKeepsChosenAlbum()
    {
        // The dianxin mirror accepts the account two seconds after wangtong did.
        QJsonObject late = vbE2eProgram::fault(QStringLiteral("signin"), QStringLiteral("delay"), 1);
        late.insert(QLatin1String("mirror"), QStringLiteral("dianxin"));
        late.insert(QLatin1String("ms"), 2000);
        late.insert(QLatin1String("params"), QJsonObject{{QLatin1String("username"), kUser}});
        QVERIFY(m_program.service().injectFault(late));

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(QStringLiteral("Trip"));
        QVERIFY2(window, qPrintable(m_program.error()));
        QComboBox* box = window->toolPanel()->comboBox;
        QSignalSpy refilled(box->model(), &QAbstractItemModel::rowsInserted);
        QTRY_VERIFY_WITH_TIMEOUT(m_program.requestCount("albumlist") == 2 && !refilled.isEmpty(), 20000);
        QCOMPARE(box->currentText(), QStringLiteral("Trip"));
        QCOMPARE(window->session()->currentAlbumName(), QStringLiteral("Trip"));
        QCOMPARE(window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
    }

    void askedAboutUploadedBefore_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("uploaded");
        // Photos a and c are in the log as uploaded, b as failed, d not at all.
        QTest::newRow("NoAll on the first") << "NoAll"
                                            << "";
        QTest::newRow("No, then Yes") << "No Yes"
                                      << "b c d";
        QTest::newRow("Yes, then NoAll") << "Yes NoAll"
                                         << "a b";
        QTest::newRow("YesAll asks once") << "YesAll"
                                          << "a b c d";
    }

    void askedAboutUploadedBefore()
    {
        QFETCH(QString, answers);
        QFETCH(QString, uploaded);

        const QString album = QStringLiteral("Asked ") + QString::fromLatin1(QTest::currentDataTag());
        const int albumId = m_program.createAlbum(album, 3, true);
        QVERIFY(albumId > 0);
        QStringList paths;
        for (const char* name : {"a", "b", "c", "d"})
            paths.append(m_program.makePhoto(QLatin1String(name), {96, 64}));
        UploadLogRecords earlier;
        for (int i : {0, 1, 2}) {
            UploadLogRecord record;
            record.succeeded = i != 1;
            record.userName = kUser;
            record.filePath = paths.at(i);
            record.albumName = QStringLiteral("Family");
            record.date = QStringLiteral("2009.01.01");
            earlier.append(record);
        }
        QVERIFY(vbUploadLog::save(vbUploadQueue::logPath(), earlier));

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(window->uploadQueue()->uploadedFiles(), (QSet<QString>{paths.at(0), paths.at(2)}));
        window->fileList()->addPaths(paths);
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));

        vbModalScript script;
        QStringList expectedQuestions;
        const QStringList answerList = answers.split(QLatin1Char(' '));
        for (const QString& answer : answerList) {
            const auto result = answer == QLatin1String("Yes")      ? vbUploadAgainBox::Yes
                                : answer == QLatin1String("YesAll") ? vbUploadAgainBox::YesAll
                                : answer == QLatin1String("No")     ? vbUploadAgainBox::No
                                                                    : vbUploadAgainBox::NoAll;
            script.expectAgain(result);
            expectedQuestions.append(QStringLiteral("vbUploadAgainBox: ") + (expectedQuestions.isEmpty()
                                                                                 ? QStringLiteral("a")
                                                                                 : QStringLiteral("c")));
        }
        const QStringList uploadedNames = uploaded.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!uploadedNames.isEmpty())
            script.expectComplete();
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(window.get());
        if (!uploadedNames.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(script.seen().mid(0, expectedQuestions.size()), expectedQuestions);
        QCOMPARE(script.pending(), 0);
        QVERIFY(script.unexpected().isEmpty());

        // Photos left out are gone from the list; the others went and left it too.
        QCOMPARE(window->fileList()->count(), 0);
        QVERIFY2(m_program.commitsOfAlbum(albumId).size() == uploadedNames.size(),
                 qPrintable(
                     QStringLiteral("ftp mode %1, album %2, seen %3")
                         .arg(window->session()->ftpMode())
                         .arg(window->session()->currentAlbumName(), script.seen().join(QLatin1Char('|')))));
        QStringList committed;
        for (const QJsonValue& c : m_program.commitsOfAlbum(albumId))
            committed.append(c.toObject()
                                 .value(QLatin1String("params"))
                                 .toObject()
                                 .value(QLatin1String("photoname"))
                                 .toString());
        committed.sort();
        QCOMPARE(committed, uploadedNames);
        QCOMPARE(window->uploadQueue()->logRecords().size(), qsizetype(3 + uploadedNames.size()));
        if (uploadedNames.isEmpty())
            QCOMPARE(m_program.requestCount("photoid"), 0);
    }

    void albumWithRoomForTwo()
    {
        // The seeded archive holds 498 photos.
        const int albumId = velbrook::kArchiveAlbumId;
        QVERIFY(QDir().mkpath(m_program.service().stateDir() + QStringLiteral("/ftp/u1001/") +
                              QString::number(albumId)));
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths.append(m_program.makePhoto(QStringLiteral("archive %1").arg(i), {96, 64}));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(QStringLiteral("Archive"));
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(window->session()->currentAlbumPhotoCount(), velbrook::kArchivePhotoCount);
        window->fileList()->addPaths(paths);
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));

        const QString question =
            QStringLiteral("vbMessageBox: You can upload2 photos.Do you want upload front photo?");
        // Cancel: nothing starts.
        {
            vbModalScript script;
            script.expectMessage(false);
            vbE2eProgram::clickUpload(window.get());
            QCOMPARE(script.pending(), 0);
            QCOMPARE(script.seen(), QStringList{question});
            QVERIFY(!window->session()->isUploading());
            for (const vbFileNode* node : window->fileList()->nodes())
                QCOMPARE(node->uploadState(), int(vbFileNode::Waiting));
        }
        // OK: the front two go, the last three stop and count as failed.
        vbModalScript script;
        script.expectMessage(true);
        script.expectFailed();
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{2, 3}));
        QCOMPARE(
            script.seen(),
            (QStringList{question, QStringLiteral("vbUploadFailed: Successed upload2 photo,has3 failed")}));
        QVERIFY(script.unexpected().isEmpty());

        QCOMPARE(window->fileList()->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(window->fileList()->node(i)->sourcePath(), paths.at(i + 2));
            QCOMPARE(window->fileList()->node(i)->uploadState(), int(vbFileNode::Stopped));
        }
        QVERIFY(vbE2eProgram::saveShot(window.get(), QStringLiteral("three-stopped")));
        QCOMPARE(m_program.albumCount(albumId), 500);
        QCOMPARE(window->session()->currentAlbumPhotoCount(), 500);
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), 2);
        // The photos left over are counted as failed, so they are logged, with why.
        const UploadLogRecords& records = window->uploadQueue()->logRecords();
        QCOMPARE(records.size(), qsizetype(5));
        QStringList failed;
        for (const UploadLogRecord& record : records) {
            if (!record.succeeded && !record.reason.isEmpty())
                failed.append(record.filePath);
        }
        QCOMPARE(failed, paths.mid(2));
    }

    void closingKeepsLogAndPhotos_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("upload next time") << true;
        QTest::newRow("not next time") << false;
    }

    void closingKeepsLogAndPhotos()
    {
        QFETCH(bool, keep);
        const QString album = keep ? QStringLiteral("Closing 1") : QStringLiteral("Closing 2");
        QVERIFY(m_program.createAlbum(album, 1, true) > 0);
        // Every id request refused: both photos fail, the big one after its
        // re-compressed copy was made in TempImages.
        QVERIFY(m_program.service().injectFault(
            vbE2eProgram::fault(QStringLiteral("photoid"), QStringLiteral("refuse"))));
        const QString big = m_program.makePhoto(QStringLiteral("closing big"), {1200, 900}, 1100000);
        const QString small = m_program.makePhoto(QStringLiteral("closing small"), {96, 64});

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        window->fileList()->addPaths({big, small});
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));
        {
            vbModalScript script;
            script.expectFailed();
            QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
            vbE2eProgram::clickUpload(window.get());
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
            QCOMPARE(finished.first(), (QVariantList{0, 2}));
        }
        QCOMPARE(window->fileList()->count(), 2);
        QVERIFY(window->fileList()->node(0)->absoluteFilePath().contains(QStringLiteral("/TempImages/")));
        const UploadLogRecords records = window->uploadQueue()->logRecords();
        QCOMPARE(records.size(), qsizetype(2));
        for (const UploadLogRecord& record : records)
            QVERIFY2(!record.reason.isEmpty(), "a failed photo tells why");

        vbModalScript script;
        script.expectMessage(keep);
        QAction* quit = vbE2eProgram::quitAction(window.get());
        QVERIFY(quit);
        quit->trigger();
        QCOMPARE(script.seen(),
                 QStringList{QStringLiteral("vbMessageBox: Do you want upload photos next time?")});
        QVERIFY(!window->isVisible());

        QFile log(vbUploadQueue::logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray expectedLog = "0||" + kUser.toLocal8Bit() + "||" + big.toLocal8Bit() + "||" +
                                       album.toLocal8Bit() + "||" + records.at(0).date.toLatin1() + "\r\n" +
                                       "0||" + kUser.toLocal8Bit() + "||" + small.toLocal8Bit() + "||" +
                                       album.toLocal8Bit() + "||" + records.at(1).date.toLatin1() + "\r\n";
        QCOMPARE(log.readAll(), expectedLog);
        log.close();
        QCOMPARE(QFile::exists(vbUploadQueue::pendingPath()), keep);
        if (keep) {
            QFile pending(vbUploadQueue::pendingPath());
            QVERIFY(pending.open(QIODevice::ReadOnly));
            // The photo the user chose, not its copy that goes at exit.
            QCOMPARE(pending.readAll(),
                     (big + QStringLiteral("\r\n") + small + QStringLiteral("\r\n")).toLocal8Bit());
        }
        window.reset();

        // The next start: the photos are back, the list file is gone, the log is read.
        m_program.service().clearFaults();
        std::unique_ptr<vbMainWnd> next = m_program.openWindow(QString());
        QVERIFY2(next, qPrintable(m_program.error()));
        QCOMPARE(next->fileList()->count(), keep ? 2 : 0);
        if (keep) {
            QCOMPARE(next->fileList()->node(0)->absoluteFilePath(), big);
            QCOMPARE(next->fileList()->node(1)->absoluteFilePath(), small);
        }
        QVERIFY(!QFile::exists(vbUploadQueue::pendingPath()));
        QCOMPARE(next->uploadQueue()->logRecords().size(), qsizetype(2));
        QVERIFY(next->uploadQueue()->uploadedFiles().isEmpty());
    }

    void longLogCutAtStartAndRewrittenAtClosing()
    {
        // 6000 lines, the oldest of them the only success for its photo.
        QByteArray file;
        for (int i = 1; i <= 6000; ++i)
            file += QByteArray(i == 1 ? "1" : "0") + "||" + kUser.toLatin1() + "||/photos/p" +
                    QByteArray::number(i) + ".jpg||Family||2009.01.01\r\n";
        {
            QFile log(vbUploadQueue::logPath());
            QVERIFY(log.open(QIODevice::WriteOnly));
            log.write(file);
        }
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        const UploadLogRecords& records = window->uploadQueue()->logRecords();
        QCOMPARE(records.size(), qsizetype(5000));
        QCOMPARE(records.first().filePath, QStringLiteral("/photos/p1001.jpg"));
        QCOMPARE(records.last().filePath, QStringLiteral("/photos/p6000.jpg"));
        // A photo uploaded long ago is still asked about.
        QCOMPARE(window->uploadQueue()->uploadedFiles(), QSet<QString>{QStringLiteral("/photos/p1.jpg")});

        // An empty list: closing asks nothing and writes the kept records only.
        vbModalScript script;
        QAction* quit = vbE2eProgram::quitAction(window.get());
        QVERIFY(quit);
        quit->trigger();
        QVERIFY(script.seen().isEmpty());
        QVERIFY(!QFile::exists(vbUploadQueue::pendingPath()));
        QFile log(vbUploadQueue::logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(),
                 file.mid(file.indexOf(QByteArray("0||" + kUser.toLatin1() + "||/photos/p1001.jpg"))));
    }

private:
    vbE2eProgram m_program;
};

QTEST_MAIN(tst_E2eUpload)
#include "tst_e2e_upload.moc"
