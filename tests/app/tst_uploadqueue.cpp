// The upload queue driven through its interfaces: fake photos, and the test itself as
// the photo list and the user answering from a table. Links no widget library.
#include "vbSession.h"
#include "vbUploadList.h"
#include "vbUploadLog.h"
#include "vbUploadPrompts.h"
#include "vbUploadQueue.h"

#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class FakeItem : public vbUploadItem
{
public:
    // Everything done to the photo goes into events, in order.
    FakeItem(const QString& itemName, QStringList* log) : name(itemName), events(log) {}

    State uploadState() const override { return state; }
    void setUploadState(State s) override
    {
        if (s == State::Waiting || s == State::Prepared)
            keys = commits = 0;
        state = s;
        emit sig_uploadStateChanged(this);
    }
    int keyFailures() const override { return keys; }
    int commitFailures() const override { return commits; }
    bool resultLogged() const override { return logged; }
    void setResultLogged(bool l) override { logged = l; }
    void setInUploadRun(bool) override {}
    QString sourcePath() const override { return QDir::current().filePath(name + QStringLiteral(".jpg")); }
    QString absoluteFilePath() const override { return sourcePath(); }
    bool isUnreadable() const override { return false; }
    QString failureReason() const override { return reason; }
    void setFailureReason(const QString& r) override { reason = r; }
    void requestKey() override { *events << QStringLiteral("key ") + name; }
    void startTransfer(bool, const QString& host, const QString& user, const QString&,
                       const QString& folder) override
    {
        *events << QStringLiteral("send %1 %2 %3 %4").arg(name, host, user, folder);
    }
    void commit() override { *events << QStringLiteral("commit ") + name; }
    void abortTransfer() override { *events << QStringLiteral("abort ") + name; }
    void cancelUpload() override
    {
        *events << QStringLiteral("cancel ") + name;
        setUploadState(State::Stopped);
    }
    // "<State>[:failures][*]" as the tables write a photo; "*": its result is logged.
    void setFromTable(QString spec)
    {
        logged = spec.endsWith(QLatin1Char('*'));
        const QStringList parts = spec.remove(QLatin1Char('*')).split(QLatin1Char(':'));
        bool ok = false;
        setUploadState(
            State(QMetaEnum::fromType<State>().keyToValue(parts.at(0).toLatin1().constData(), &ok)));
        QVERIFY2(ok, qPrintable(spec));
        (state == State::CommitFailed ? commits : keys) = parts.value(1).toInt();
    }

    QString name;
    QStringList* events;
    State state = State::Waiting;
    int keys = 0;
    int commits = 0;
    bool logged = false;
    QString reason;
};

} // namespace

// The test is the photo list and the user answering the questions, from a queue of words:
// "ok", "cancel", "Yes", "YesAll", "No", "NoAll", "again".
class tst_UploadQueue : public QObject, public vbUploadList, public vbUploadPrompts
{
    Q_OBJECT

public:
    QList<vbUploadItem*> uploadItems() const override { return m_items; }
    void removeItems(const QList<vbUploadItem*>& gone) override
    {
        m_items.removeIf([&](vbUploadItem* item) { return gone.contains(item); });
    }
    void removeUploaded() override
    {
        m_items.removeIf([](vbUploadItem* item) { return item->uploadState() == vbUploadState::Uploaded; });
    }
    void prepareItems(const QList<vbUploadItem*>& prepared) override
    {
        m_events << "prepare " + names(prepared);
    }
    void restoreFiles(const QStringList&) override {}

    void refuse(const QString& text) override { m_events << "refuse " + text; }
    bool cancelRunningUpload() override { return ask("cancel upload?") == "ok"; }
    bool uploadFrontPhotos(int room) override { return ask(QStringLiteral("front %1?").arg(room)) == "ok"; }
    Again uploadAgain(vbUploadItem* item) override
    {
        const QString answer = ask(QStringLiteral("again %1?").arg(static_cast<FakeItem*>(item)->name));
        return Again(qMax(0, int(QStringList{"Yes", "YesAll", "No", "NoAll"}.indexOf(answer))));
    }
    bool uploadNextTime() override { return ask("next time?") == "ok"; }
    bool runEnded(int uploaded, int failed, const UploadLogRecords& failures) override
    {
        return ask(QStringLiteral("ended %1 %2 (%3 named)").arg(uploaded).arg(failed).arg(failures.size())) ==
               "again";
    }
    void saveFailed(const QString& text, bool) override { m_events << "save failed " + text; }

private:
    QString ask(const QString& question)
    {
        m_events << question;
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    }
    FakeItem* add(const QString& name)
    {
        m_owned.push_back(std::make_unique<FakeItem>(name, &m_events));
        m_items.append(m_owned.back().get());
        return m_owned.back().get();
    }
    FakeItem* at(int i) const { return static_cast<FakeItem*>(m_items.at(i)); }
    static QString names(const QList<vbUploadItem*>& list)
    {
        QStringList names;
        for (vbUploadItem* item : list)
            names << static_cast<FakeItem*>(item)->name;
        return names.join(' ');
    }
    // A signed-in session on album 7 holding albumPhotos photos (-1: no album chosen) and the
    // listed photos by name ("*" after a name: the log has it as uploaded; "#n": n photos).
    void setUp(bool signedIn, int albumPhotos, const QString& photos, const QStringList& answers = {})
    {
        m_queue.reset(); // before the session and photos it uses
        m_events.clear();
        m_session = std::make_unique<vbSession>(vbEndpoints(), nullptr);
        if (signedIn)
            m_session->signIn(1001, "ann@x", "pw", "h", "http");
        if (albumPhotos >= 0) {
            m_session->setAlbums({AlbumRecord{"Family", 7, albumPhotos}});
            m_session->setCurrentAlbum(0);
        }
        m_items.clear();
        m_owned.clear();
        UploadLogRecords log;
        for (QString name : photos.split(' ', Qt::SkipEmptyParts)) {
            if (name.startsWith('#')) {
                for (int i = name.mid(1).toInt(); i > 0; --i)
                    add(QString::number(i));
            } else if (name.endsWith('*')) {
                name.chop(1);
                log.append({true, "ann@x", add(name)->sourcePath(), {}, {}, {}});
            } else {
                add(name);
            }
        }
        QVERIFY(vbUploadLog::save(vbUploadQueue::logPath(), log));
        m_answers = answers;
        vbUploadQueue::FtpCalls ftp;
        ftp.testLogin = [this](const QString&, int, const QString&, const QString&) {
            m_events << "ftp login";
            return m_ftp;
        };
        ftp.createFolder = [this](const QString&, int, const QString&, const QString&,
                                  const QString& folder) {
            m_events << "ftp folder " + folder;
            return true;
        };
        m_queue = std::make_unique<vbUploadQueue>(m_session.get(), this, this, ftp);
        m_queue->loadLog();
    }
    // Starts an upload of photos a, b, ... and lets the queue see them in the given states.
    void startWithStates(const QString& states)
    {
        const QStringList specs = states.split(' ');
        QString names;
        for (int i = 0; i < specs.size(); ++i)
            names += QChar('a' + i) + QStringLiteral(" ");
        setUp(true, 3, names);
        m_queue->startUpload();
        QVERIFY(m_session->isUploading());
        for (int i = 0; i < specs.size(); ++i)
            at(i)->setFromTable(specs.at(i));
        m_events.clear();
    }

    QTemporaryDir m_dir;
    // Everything the queue did to photos, list, questions and FTP, in order.
    QStringList m_events;
    bool m_ftp = true;
    std::unique_ptr<vbSession> m_session;
    QList<vbUploadItem*> m_items;
    std::vector<std::unique_ptr<FakeItem>> m_owned;
    QStringList m_answers;
    std::unique_ptr<vbUploadQueue> m_queue;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(QDir().mkpath("data"));
    }
    void cleanup()
    {
        m_queue.reset();
        m_ftp = true;
    }

    // Everything an upload's start checks and asks, in order, and what then goes.
    void start()
    {
        // Signed in, the photos listed, the album's photos, what happens, the answers given, and the
        // photos listed after the start.
        const std::tuple<bool, QString, int, QString, QStringList, QString> cases[] = {
            {false, "a", 3, "refuse Please login!", {}, "a"},
            {true, "a", -1, "ftp login | refuse Please select a photo list!", {}, "a"},
            {true, "", 3, "ftp login | refuse Please select image to upload", {}, ""},
            {true, "#301", 3, "ftp login | refuse Cann't upload more than 300 images", {}, ""},
            {true, "a", 500, "ftp login | refuse " + vbUploadQueue::albumFullText(), {}, "a"},
            // Room for two: declined, taken.
            {true, "a b c", 498, "ftp login | front 2?", {"cancel"}, "a b c"},
            {true, "a b c", 498, "ftp login | front 2? | prepare a b", {"ok"}, "a b c"},
            // An empty album gets its FTP folder.
            {true, "a", 0, "ftp login | ftp folder 7 | prepare a", {}, "a"},
            // Uploaded before: No leaves one out, NoAll the rest, YesAll stops asking.
            {true, "a* b c*", 3, "ftp login | again a? | again c? | prepare b c", {"No", "Yes"}, "b c"},
            {true, "a b* c d*", 3, "ftp login | again b? | prepare a", {"NoAll"}, "a"},
            {true, "a* b*", 3, "ftp login | again a? | prepare a b", {"YesAll"}, "a b"}};
        for (const auto& [signedIn, photos, albumPhotos, events, answers, listed] : cases) {
            setUp(signedIn, albumPhotos, photos, answers);
            m_queue->startUpload();
            QCOMPARE(m_events.join(" | "), events);
            if (!photos.startsWith('#'))
                QCOMPARE(names(m_items), listed);
            QCOMPARE(m_session->isUploading(), events.section(" | ", -1).startsWith("prepare"));
            QVERIFY(m_answers.isEmpty());
            // The photos left over for want of room are stopped and stay listed.
            if (albumPhotos == 498 && answers == QStringList{"ok"})
                QCOMPARE(at(2)->uploadState(), vbUploadState::Stopped);
        }
    }

    // One tick over photos in the given states: the steps it starts, the results on disk, and at
    // the end of a run the result and the photos left; "Upload again" then starts a new run.
    void tick_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::addColumn<QString>("states");
        QTest::addColumn<bool>("again"); // the answer when the run ends
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("logged");
        QTest::addColumn<QString>("listed");

        QTest::newRow("three transfers at most, FTP account and album folder")
            << true << "KeyReady Transferring KeyReady KeyReady Prepared" << false
            << "send a h ann@x 7 | send c h ann@x 7" << 0 << "a b c d e";
        QTest::newRow("keys for every prepared photo while fewer than three are busy")
            << true << "RequestingKey Transferring Prepared Prepared KeyFailed:1" << false
            << "key c | key d | key e" << 0 << "a b c d e";
        QTest::newRow("HTTP sends user id and album id")
            << false << "KeyReady" << false << "send a h 1001 7" << 0 << "a";
        QTest::newRow("retries until more than five failures")
            << true << "KeyFailed:6 KeyFailed:5 CommitFailed:6 CommitFailed:5 Transferred" << false
            << "key b | commit d | commit e" << 0 << "a b c d e";
        QTest::newRow("results logged once, busy photo keeps the run going")
            << true << "Uploaded* Failed Committing" << false << "" << 1 << "a b c";
        QTest::newRow("run ends: uploaded photos leave, stopped ones count as failed")
            << true << "Uploaded Failed Stopped" << false << "ended 1 2 (1 named)" << 3 << "b c";
        QTest::newRow("run ends without failures")
            << true << "Uploaded Uploaded" << false << "ended 2 0 (0 named)" << 2 << "";
        QTest::newRow("upload again after failures")
            << true << "Uploaded Failed" << true << "ended 1 1 (1 named) | prepare b" << 2 << "b";
    }
    void tick()
    {
        QFETCH(bool, ftp);
        QFETCH(QString, states);
        QFETCH(bool, again);
        QFETCH(QString, events);
        QFETCH(int, logged);
        QFETCH(QString, listed);
        m_ftp = ftp;
        startWithStates(states);
        m_answers = QStringList{again ? "again" : "done"};
        QSignalSpy finished(m_queue.get(), &vbUploadQueue::sig_uploadFinished);
        m_queue->checkToUpload();
        QCOMPARE(m_events.join(" | "), events);
        QCOMPARE(names(m_items), listed);
        const UploadLogRecords log = vbUploadLog::load(vbUploadQueue::logPath());
        QCOMPARE(log.size(), logged);
        const bool ended = events.contains("ended");
        QCOMPARE(finished.size(), ended ? 1 : 0);
        QCOMPARE(m_session->isUploading(), !ended || again);
        if (!ended)
            return;
        // Every result is on disk, and the uploaded ones count into the album.
        const int uploaded = finished.at(0).at(0).toInt();
        QCOMPARE(int(std::count_if(log.begin(), log.end(), [](const auto& r) { return r.succeeded; })),
                 uploaded);
        QVERIFY(log.at(0).filePath.endsWith("/a.jpg"));
        QCOMPARE(log.at(0).albumName, QStringLiteral("Family"));
        QCOMPARE(m_session->currentAlbumPhotoCount(), 3 + uploaded);
        if (again)
            QCOMPARE(at(0)->uploadState(), vbUploadState::Waiting);
    }

    // Upload pressed again while a run goes: cancel it, or let it go on.
    void cancel()
    {
        for (const bool cancelled : {true, false}) {
            startWithStates("KeyReady Prepared Prepared");
            m_queue->checkToUpload();
            at(1)->setUploadState(vbUploadState::Uploaded);
            m_answers = QStringList{cancelled ? "ok" : "cancel"};
            m_events.clear();
            m_queue->startUpload();
            // Cancelled: queued preparation is dropped, then the transfer ends.
            QCOMPARE(m_events, (cancelled ? QStringList{"cancel upload?", "prepare ", "abort a", "cancel a"}
                                          : QStringList{"cancel upload?"}));
            QCOMPARE(m_session->isUploading(), !cancelled);
            QCOMPARE(m_queue->uploadTimer()->isActive(), !cancelled);
            // Cancelled: the uploaded photo leaves, the others stay; nothing is logged.
            QCOMPARE(names(m_items), cancelled ? "a c" : "a b c");
            QVERIFY(m_queue->logRecords().isEmpty());
        }
    }

    // The closing sequence's questions and files.
    void closeDown()
    {
        // Uploading, the answers, whether the program closes, whether the photos wait for next time.
        const std::tuple<bool, QString, bool, bool> cases[] = {
            {false, "ok", true, true},       // upload next time
            {false, "cancel", true, false},  // not next time
            {true, "ok ok", true, true},     // running upload cancelled
            {true, "cancel", false, false}}; // running upload kept
        for (const auto& [uploading, answers, closes, pendingKept] : cases) {
            setUp(true, 3, "a b");
            QStringList photos;
            for (vbUploadItem* item : m_items) {
                QFile file(item->sourcePath());
                QVERIFY(file.open(QIODevice::WriteOnly));
                photos << item->sourcePath();
            }
            QFile::remove(vbUploadQueue::pendingPath());
            m_queue->restorePending();
            QVERIFY(QFile::exists(vbUploadQueue::recoveryPath()));
            if (uploading)
                m_queue->startUpload();
            QFile::remove(vbUploadQueue::logPath());
            m_answers = answers.split(' ');
            m_events.clear();

            QCOMPARE(m_queue->closeDown(), closes);
            QCOMPARE(m_events.contains("next time?"), closes);
            QCOMPARE(QFile::exists(vbUploadQueue::logPath()), closes);
            QCOMPARE(QFile::exists(vbUploadQueue::recoveryPath()), !closes);
            QCOMPARE(vbUploadLog::readPaths(vbUploadQueue::pendingPath()),
                     pendingKept ? photos : QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(tst_UploadQueue)
#include "tst_uploadqueue.moc"
