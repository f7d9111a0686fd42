// What survives a kill, a full disk or a bad photo, driven through the main
// window against the stand-in service: results on disk as they come, the
// recovery copy of the list, failed saves told, bad photos marked and logged,
// prepared copies removed, photos added while an upload runs.
#include "e2eSupport.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbImageLoader.h"
#include "vbMainWnd.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbUploadLog.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

using Problem = vbImageLoader::Problem;

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small JPEG whose header claims 20000 x 20000 pixels.
bool writeHugeJpeg(const QString& path)
{
    if (!vbTestPhotos::writeJpeg(path, QSize(64, 64)))
        return false;
    QByteArray bytes = readFile(path);
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return false;
    bytes[sof + 5] = bytes[sof + 7] = char(20000 >> 8);
    bytes[sof + 6] = bytes[sof + 8] = char(20000 & 0xFF);
    return writeFile(path, bytes);
}

vbFileNode* nodeOf(vbMainWnd* window, const QString& path)
{
    for (vbFileNode* node : window->fileList()->nodes()) {
        if (node->sourcePath() == path)
            return node;
    }
    return nullptr;
}

QStringList listedPaths(vbMainWnd* window)
{
    QStringList paths;
    for (const vbFileNode* node : window->fileList()->nodes())
        paths.append(node->sourcePath());
    return paths;
}

} // namespace

class tst_E2ePersist : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_program.setUp(), qPrintable(m_program.error())); }

    void init()
    {
        QVERIFY(m_program.service().clearFaults(true));
        for (const QString& path :
             {vbUploadQueue::logPath(), vbUploadQueue::pendingPath(), vbUploadQueue::recoveryPath()}) {
            QDir(path).removeRecursively();
            QFile::remove(path);
        }
    }

    void resultsOnDiskAtOnce()
    {
        const QString album = QStringLiteral("Kept");
        QVERIFY(m_program.createAlbum(album, 1, true) > 0);
        const QString a = m_program.makePhoto(QStringLiteral("kept a"), {96, 64});
        const QString b = m_program.makePhoto(QStringLiteral("kept b"), {96, 64});
        // A full log: each new record pushes the oldest out.
        UploadLogRecords full(vbUploadLog::kMaxRecords);
        QVERIFY(vbUploadLog::save(vbUploadQueue::logPath(), full));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        for (const QString& photo : {a, b}) {
            window->fileList()->addPaths({photo});
            QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));
            vbModalScript script;
            script.expectComplete();
            vbE2eProgram::clickUpload(window.get());
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
            finished.clear();
            QVERIFY(script.unexpected().isEmpty());
        }
        // On disk without a Quit.
        const UploadLogRecords onDisk = vbUploadLog::load(vbUploadQueue::logPath());
        QCOMPARE(onDisk.size(), qsizetype(vbUploadLog::kMaxRecords));
        QCOMPARE(onDisk.at(onDisk.size() - 2).filePath, a);
        QCOMPARE(onDisk.last().filePath, b);
        QVERIFY(onDisk.last().succeeded && onDisk.at(onDisk.size() - 2).succeeded);

        // Added again in the same run: asked about at once; No leaves it out.
        window->fileList()->addPaths({a});
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));
        {
            vbModalScript script;
            script.expectAgain(vbUploadAgainBox::No);
            vbE2eProgram::clickUpload(window.get());
            QCOMPARE(script.pending(), 0);
            QCOMPARE(window->fileList()->count(), 0);
        }

        // Killed (no Quit): the next start knows both photos.
        window.reset();
        std::unique_ptr<vbMainWnd> next = m_program.openWindow(QString());
        QVERIFY2(next, qPrintable(m_program.error()));
        QCOMPARE(next->uploadQueue()->uploadedFiles(), (QSet<QString>{a, b}));
    }

    void listRecoveredAfterKill()
    {
        const QString kept = m_program.makePhoto(QStringLiteral("next time"), {96, 64});
        const QString added = m_program.makePhoto(QStringLiteral("added"), {96, 64});
        const QString removed = m_program.makePhoto(QStringLiteral("removed"), {96, 64});
        QVERIFY(vbUploadLog::savePending(vbUploadQueue::pendingPath(), {kept}));

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(listedPaths(window.get()), QStringList{kept});
        // The pending list goes only once the recovery copy holds its photos.
        QVERIFY(!QFile::exists(vbUploadQueue::pendingPath()));
        QCOMPARE(vbUploadLog::readPaths(vbUploadQueue::recoveryPath()), QStringList{kept});
        QCOMPARE(window->uploadQueue()->recoveredCount(), 0);

        window->fileList()->addPaths({added, removed});
        QTRY_COMPARE(vbUploadLog::readPaths(vbUploadQueue::recoveryPath()),
                     (QStringList{kept, added, removed}));
        window->fileList()->removeNodes({nodeOf(window.get(), removed)});
        QTRY_COMPARE(vbUploadLog::readPaths(vbUploadQueue::recoveryPath()), (QStringList{kept, added}));

        // Killed: the next start brings the list back and says so.
        window.reset();
        window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(listedPaths(window.get()), (QStringList{kept, added}));
        QCOMPARE(window->uploadQueue()->recoveredCount(), 2);
        QVERIFY(vbE2eProgram::saveShot(window.get(), QStringLiteral("recovered")));
        QVERIFY2(window->statusText().contains(QStringLiteral("2 photos restored after an abnormal end.")),
                 qPrintable(window->statusText()));

        // A normal Quit answered "not next time" leaves nothing to restore.
        {
            vbModalScript script;
            script.expectMessage(false);
            vbE2eProgram::quitAction(window.get())->trigger();
            QCOMPARE(script.pending(), 0);
        }
        QVERIFY(!QFile::exists(vbUploadQueue::recoveryPath()));
        QVERIFY(!QFile::exists(vbUploadQueue::pendingPath()));
        window.reset();
        window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(window->fileList()->count(), 0);
    }

    void failedSavesAreTold()
    {
        // Folders where the files should be: every save fails, for root too.
        QVERIFY(QDir().mkpath(vbUploadQueue::logPath()));
        QVERIFY(QDir().mkpath(vbUploadQueue::pendingPath()));
        const QString album = QStringLiteral("Unsaved");
        QVERIFY(m_program.createAlbum(album, 1, true) > 0);
        const QString sent = m_program.makePhoto(QStringLiteral("sent"), {96, 64});
        const QString left = m_program.makePhoto(QStringLiteral("left"), {96, 64});
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        window->fileList()->addPaths({sent});
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));

        const QString logTold = QStringLiteral("vbMessageBox: Could not save ") +
                                QDir::toNativeSeparators(vbUploadQueue::logPath()) + QLatin1Char(':');
        {
            // The upload goes on and ends; the box beside it names the file.
            vbModalScript script;
            script.expectComplete();
            QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
            vbE2eProgram::clickUpload(window.get());
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
            QTRY_COMPARE(script.unexpected().size(), 1);
            QVERIFY2(script.unexpected().first().startsWith(logTold),
                     qPrintable(script.unexpected().first()));
        }

        // Quit keeping a photo: both failures are told, and the recovery copy
        // stays so the photo comes back.
        window->fileList()->addPaths({left});
        vbModalScript script;
        script.expectMessage(true);
        script.expectMessage(true);
        script.expectMessage(true);
        vbE2eProgram::quitAction(window.get())->trigger();
        QCOMPARE(script.pending(), 0);
        QCOMPARE(script.seen().size(), 3);
        QVERIFY(script.seen().at(1).startsWith(QStringLiteral("vbMessageBox: Could not save ") +
                                               QDir::toNativeSeparators(vbUploadQueue::pendingPath())));
        QVERIFY(script.seen().at(2).startsWith(logTold));
        window.reset();
        window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(listedPaths(window.get()), QStringList{left});
    }

    void badPhotosMarkedAndLogged()
    {
        const QString album = QStringLiteral("Bad photos");
        const int albumId = m_program.createAlbum(album, 1, true);
        QVERIFY(albumId > 0);
        // Above 1 MiB: its re-compressed copy is made in TempImages.
        const QString good = m_program.makePhoto(QStringLiteral("good"), {1200, 900}, 1100000);
        const QString empty = m_program.photoPath(QStringLiteral("empty.jpg"));
        const QString text = m_program.photoPath(QStringLiteral("notes.jpg"));
        const QString huge = m_program.photoPath(QStringLiteral("huge.jpg"));
        const QString cut = m_program.makePhoto(QStringLiteral("cut"), {640, 480});
        const QString gone = m_program.makePhoto(QStringLiteral("gone"), {96, 64});
        QVERIFY(writeFile(empty, QByteArray()));
        QVERIFY(writeFile(text, "not a picture\n"));
        QVERIFY(writeHugeJpeg(huge));
        QVERIFY(writeFile(cut, readFile(cut).left(QFileInfo(cut).size() * 2 / 3)));
        const QList<QPair<QString, Problem>> bad{{empty, Problem::Empty},
                                                 {text, Problem::NotAnImage},
                                                 {huge, Problem::TooLarge},
                                                 {cut, Problem::Truncated},
                                                 {gone, Problem::Missing}};

        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        window->fileList()->addPaths({good, empty, text, huge, cut, gone});
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));
        QTRY_COMPARE(window->fileList()->pendingTiles(), 0);
        // Marked as soon as the list reads them.
        for (int i = 0; i < 4; ++i) {
            vbFileNode* node = nodeOf(window.get(), bad.at(i).first);
            QVERIFY(node);
            QCOMPARE(node->uploadState(), int(vbFileNode::Failed));
            QCOMPARE(node->tile()->toolTip(), vbImageLoader::problemText(bad.at(i).second));
        }
        QVERIFY(QFile::remove(gone));

        vbModalScript script;
        script.expectFailed();
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{1, 5}));
        QVERIFY(vbE2eProgram::saveShot(window.get(), QStringLiteral("bad-photos")));

        // Only the good photo went; every bad one is marked, says why and is logged.
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), 1);
        const UploadLogRecords& records = window->uploadQueue()->logRecords();
        QCOMPARE(records.size(), qsizetype(6));
        QCOMPARE(vbUploadLog::load(vbUploadQueue::logPath()).size(), qsizetype(6));
        for (const auto& [path, problem] : bad) {
            const QString reason = vbImageLoader::problemText(problem);
            vbFileNode* node = nodeOf(window.get(), path);
            QVERIFY2(node, qPrintable(path));
            QCOMPARE(node->uploadState(), int(vbFileNode::Failed));
            QCOMPARE(node->tile()->toolTip(), reason);
            const auto record = std::find_if(records.begin(), records.end(),
                                             [&](const UploadLogRecord& r) { return r.filePath == path; });
            QVERIFY2(record != records.end(), qPrintable(path));
            QVERIFY(!record->succeeded);
            QCOMPARE(record->reason, reason);
        }
        // The uploaded photo's prepared copy left with it.
        QCOMPARE(QDir(m_program.dir() + QStringLiteral("/TempImages"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void photosAddedDuringAnUpload()
    {
        const QString album = QStringLiteral("Added meanwhile");
        const int albumId = m_program.createAlbum(album, 1, true);
        QVERIFY(albumId > 0);
        const QString first = m_program.makePhoto(QStringLiteral("first"), {96, 64});
        const QString late = m_program.makePhoto(QStringLiteral("late"), {96, 64});
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        window->fileList()->addPaths({first});
        QVERIFY(vbE2eProgram::waitForThumbnails(window.get()));

        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        {
            vbModalScript script;
            script.expectComplete();
            vbE2eProgram::clickUpload(window.get());
            QVERIFY(window->session()->isUploading());
            window->fileList()->addPaths({late});
            // The running upload ends without the late photo and leaves it listed.
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
            QCOMPARE(finished.takeFirst(), (QVariantList{1, 0}));
        }
        QCOMPARE(listedPaths(window.get()), QStringList{late});
        QCOMPARE(window->fileList()->node(0)->uploadState(), int(vbFileNode::Waiting));

        vbModalScript script;
        script.expectComplete();
        vbE2eProgram::clickUpload(window.get());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{1, 0}));
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), 2);
    }

private:
    vbE2eProgram m_program;
};

QTEST_MAIN(tst_E2ePersist)
#include "tst_e2e_persist.moc"
