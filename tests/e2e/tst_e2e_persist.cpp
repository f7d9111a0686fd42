// What survives a kill, a failed save, a bad photo or a photo added during an upload.
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
#include <QSignalSpy>
#include <QTest>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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

    // Each result is on disk without a Quit, pushing the oldest out of a full log.
    void resultsOnDiskAtOnce()
    {
        const QString album = QStringLiteral("Kept");
        QVERIFY(m_program.createAlbum(album, 1, true) > 0);
        const QString a = m_program.makePhoto("kept a", {96, 64});
        const QString b = m_program.makePhoto("kept b", {96, 64});
        QVERIFY(vbUploadLog::save(vbUploadQueue::logPath(), UploadLogRecords(vbUploadLog::kMaxRecords)));
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        for (const QString& photo : {a, b}) {
            QVERIFY(vbE2eProgram::addPhotos(window.get(), {photo}));
            vbModalScript script;
            script.expectComplete();
            QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{1, 0}));
        }
        const UploadLogRecords onDisk = vbUploadLog::load(vbUploadQueue::logPath());
        QCOMPARE(onDisk.size(), qsizetype(vbUploadLog::kMaxRecords));
        QCOMPARE(onDisk.at(onDisk.size() - 2).filePath, a);
        QCOMPARE(onDisk.last().filePath, b);
        QVERIFY(onDisk.last().succeeded && onDisk.at(onDisk.size() - 2).succeeded);
    }

    // The list is copied to disk as it changes; a killed run's list comes back.
    void listRecoveredAfterKill()
    {
        const QString kept = m_program.makePhoto("next time", {96, 64});
        const QString added = m_program.makePhoto("added", {96, 64});
        const QString removed = m_program.makePhoto("removed", {96, 64});
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

        window.reset(); // killed
        window = m_program.openWindow(QString());
        QVERIFY2(window, qPrintable(m_program.error()));
        QCOMPARE(listedPaths(window.get()), (QStringList{kept, added}));
        QCOMPARE(window->uploadQueue()->recoveredCount(), 2);
        QVERIFY2(window->statusText().contains(QStringLiteral("2 photos restored after an abnormal end.")),
                 qPrintable(window->statusText()));

        // A Quit answered "not next time" leaves nothing to restore.
        {
            vbModalScript script;
            script.expectMessage(false);
            vbE2eProgram::quitAction(window.get())->trigger();
            QCOMPARE(script.pending(), 0);
        }
        QVERIFY(!QFile::exists(vbUploadQueue::recoveryPath()) &&
                !QFile::exists(vbUploadQueue::pendingPath()));
    }

    // Folders where the log and pending list belong: every save fails (for
    // root too) and is told; the recovery copy stays so the photo comes back.
    void failedSavesAreTold()
    {
        QVERIFY(QDir().mkpath(vbUploadQueue::logPath()));
        QVERIFY(QDir().mkpath(vbUploadQueue::pendingPath()));
        const QString album = QStringLiteral("Unsaved");
        QVERIFY(m_program.createAlbum(album, 1, true) > 0);
        const QString left = m_program.makePhoto("left", {96, 64});
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), {m_program.makePhoto("sent", {96, 64})}));
        const QString logTold = QStringLiteral("vbMessageBox: Could not save ") +
                                QDir::toNativeSeparators(vbUploadQueue::logPath()) + QLatin1Char(':');
        {
            vbModalScript script; // the upload ends; the box beside it names the file
            script.expectComplete();
            QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{1, 0}));
            QTRY_COMPARE(script.unexpected().size(), 1);
            QVERIFY2(script.unexpected().first().startsWith(logTold),
                     qPrintable(script.unexpected().first()));
        }
        window->fileList()->addPaths({left});
        vbModalScript script;
        for (int i = 0; i < 3; ++i)
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

    // Bad photos are marked when read, fail the upload with why, and are
    // logged; the good photo goes and its prepared copy is removed. (Which
    // problem each kind of bad file is belongs to the loader's suite.)
    void badPhotosMarkedAndLogged()
    {
        const QString album = QStringLiteral("Bad photos");
        const int albumId = m_program.createAlbum(album, 1, true);
        QVERIFY(albumId > 0);
        const QString good = m_program.makePhoto("good", {1200, 900}, 1100000); // copied to TempImages
        const QString text = m_program.photoPath("notes.jpg");
        const QString gone = m_program.makePhoto("gone", {96, 64});
        QVERIFY(writeFile(text, "not a picture\n"));
        using Problem = vbImageLoader::Problem;
        const QList<QPair<QString, Problem>> bad{{text, Problem::NotAnImage}, {gone, Problem::Missing}};
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), {good, text, gone}));
        QTRY_COMPARE(window->fileList()->pendingTiles(), 0);
        // Marked as soon as the list reads it.
        QCOMPARE(nodeOf(window.get(), text)->uploadState(), vbUploadState::Failed);
        QCOMPARE(nodeOf(window.get(), text)->tile()->toolTip(),
                 vbImageLoader::problemText(Problem::NotAnImage));
        QVERIFY(QFile::remove(gone));

        vbModalScript script;
        script.expectFailed();
        QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{1, 2}));
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), 1);
        const UploadLogRecords& records = window->uploadQueue()->logRecords();
        QCOMPARE(records.size(), qsizetype(3));
        QCOMPARE(vbUploadLog::load(vbUploadQueue::logPath()).size(), qsizetype(3));
        for (const auto& [path, problem] : bad) {
            const QString reason = vbImageLoader::problemText(problem);
            const vbFileNode* node = nodeOf(window.get(), path);
            QVERIFY2(node && node->uploadState() == vbUploadState::Failed &&
                         node->tile()->toolTip() == reason,
                     qPrintable(path));
            const auto record = std::find_if(records.begin(), records.end(),
                                             [&](const UploadLogRecord& r) { return r.filePath == path; });
            QVERIFY2(record != records.end(), qPrintable(path));
            QVERIFY(!record->succeeded);
            QCOMPARE(record->reason, reason);
        }
        QCOMPARE(QDir(m_program.dir() + QStringLiteral("/TempImages"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A photo added while an upload runs stays listed, waiting, and goes next time.
    void photosAddedDuringAnUpload()
    {
        const QString album = QStringLiteral("Added meanwhile");
        const int albumId = m_program.createAlbum(album, 1, true);
        QVERIFY(albumId > 0);
        const QString late = m_program.makePhoto("late", {96, 64});
        std::unique_ptr<vbMainWnd> window = m_program.openWindow(album);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY(vbE2eProgram::addPhotos(window.get(), {m_program.makePhoto("first", {96, 64})}));
        vbModalScript script;
        script.expectComplete();
        script.expectComplete();
        QSignalSpy finished(window->uploadQueue(), &vbUploadQueue::sig_uploadFinished);
        vbE2eProgram::clickUpload(window.get());
        QVERIFY(window->session()->isUploading());
        window->fileList()->addPaths({late});
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finished.first(), (QVariantList{1, 0}));
        QCOMPARE(listedPaths(window.get()), QStringList{late});
        QCOMPARE(window->fileList()->node(0)->uploadState(), vbUploadState::Waiting);
        QCOMPARE(vbE2eProgram::upload(window.get()), (QVariantList{1, 0}));
        QCOMPARE(m_program.commitsOfAlbum(albumId).size(), 2);
    }

private:
    vbE2eProgram m_program;
};

QTEST_MAIN(tst_E2ePersist)
#include "tst_e2e_persist.moc"
