// The upload queue driven through its interfaces: fake photos, a fake list and
// a table of answers instead of dialogs. Links no widget library.
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

// Everything the queue did to photos, list, questions and FTP, in order.
QStringList g_events;

void note(const QString& event)
{
    g_events << event;
}

class FakeItem : public vbUploadItem
{
public:
    explicit FakeItem(const QString& itemName) : name(itemName) {}

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
    void requestKey() override { note(QStringLiteral("key ") + name); }
    void startTransfer(bool, const QString& host, const QString& user, const QString&,
                       const QString& folder) override
    {
        note(QStringLiteral("send %1 %2 %3 %4").arg(name, host, user, folder));
    }
    void commit() override { note(QStringLiteral("commit ") + name); }
    void abortTransfer() override { note(QStringLiteral("abort ") + name); }
    void cancelUpload() override
    {
        note(QStringLiteral("cancel ") + name);
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
    State state = State::Waiting;
    int keys = 0;
    int commits = 0;
    bool logged = false;
    QString reason;
};

class FakeList : public vbUploadList
{
public:
    QList<vbUploadItem*> uploadItems() const override { return items; }
    void removeItems(const QList<vbUploadItem*>& gone) override
    {
        items.removeIf([&](vbUploadItem* item) { return gone.contains(item); });
    }
    void removeUploaded() override
    {
        items.removeIf([](vbUploadItem* item) { return item->uploadState() == vbUploadState::Uploaded; });
    }
    void prepareItems(const QList<vbUploadItem*>& prepared) override
    {
        note(QStringLiteral("prepare ") + names(prepared));
    }
    void restoreFiles(const QStringList&) override {}

    FakeItem* add(const QString& name)
    {
        owned.push_back(std::make_unique<FakeItem>(name));
        items.append(owned.back().get());
        return owned.back().get();
    }
    FakeItem* at(int i) const { return static_cast<FakeItem*>(items.at(i)); }
    static QString names(const QList<vbUploadItem*>& list)
    {
        QStringList names;
        for (vbUploadItem* item : list)
            names << static_cast<FakeItem*>(item)->name;
        return names.join(QLatin1Char(' '));
    }

    QList<vbUploadItem*> items;
    std::vector<std::unique_ptr<FakeItem>> owned;
};

// Answers from a queue of words: "ok", "cancel", "Yes", "YesAll", "No", "NoAll", "again".
class FakePrompts : public vbUploadPrompts
{
public:
    QStringList answers;

    void refuse(const QString& text) override { note(QStringLiteral("refuse ") + text); }
    bool cancelRunningUpload() override
    {
        return ask(QStringLiteral("cancel upload?")) == QLatin1String("ok");
    }
    bool uploadFrontPhotos(int room) override
    {
        return ask(QStringLiteral("front %1?").arg(room)) == QLatin1String("ok");
    }
    Again uploadAgain(vbUploadItem* item) override
    {
        const QString answer = ask(QStringLiteral("again %1?").arg(static_cast<FakeItem*>(item)->name));
        return Again(qMax(0, int(QStringList{"Yes", "YesAll", "No", "NoAll"}.indexOf(answer))));
    }
    bool uploadNextTime() override { return ask(QStringLiteral("next time?")) == QLatin1String("ok"); }
    bool runEnded(int uploaded, int failed, const UploadLogRecords& failures) override
    {
        return ask(QStringLiteral("ended %1 %2 (%3 named)").arg(uploaded).arg(failed).arg(failures.size())) ==
               QLatin1String("again");
    }
    void saveFailed(const QString& text, bool) override { note(QStringLiteral("save failed ") + text); }

private:
    QString ask(const QString& question)
    {
        note(question);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

} // namespace

class tst_UploadQueue : public QObject
{
    Q_OBJECT

private:
    // A signed-in session on album 7 holding albumPhotos photos, the listed
    // photos by name ("*" after a name: the log has it as uploaded; "#n": n photos).
    void setUp(bool signedIn, int albumPhotos, const QString& photos, const QString& answers)
    {
        g_events.clear();
        m_session = std::make_unique<vbSession>(vbEndpoints(), nullptr);
        if (signedIn)
            m_session->signIn(1001, QStringLiteral("ann@x"), QStringLiteral("pw"), QStringLiteral("h"),
                              QStringLiteral("http"));
        if (albumPhotos >= 0) {
            m_session->setAlbums({AlbumRecord{QStringLiteral("Family"), 7, albumPhotos}});
            m_session->setCurrentAlbum(0);
        }
        m_list = std::make_unique<FakeList>();
        UploadLogRecords log;
        for (QString name : photos.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            for (int i = name.startsWith(QLatin1Char('#')) ? name.mid(1).toInt() : 0; i > 0; --i)
                m_list->add(QString::number(i)); // "#n": n photos
            if (name.startsWith(QLatin1Char('#')))
                continue;
            const bool before = name.endsWith(QLatin1Char('*'));
            name.remove(QLatin1Char('*'));
            if (before)
                log.append({true, QStringLiteral("ann@x"), m_list->add(name)->sourcePath(), {}, {}, {}});
            else
                m_list->add(name);
        }
        QVERIFY(vbUploadLog::save(vbUploadQueue::logPath(), log));
        m_prompts = std::make_unique<FakePrompts>();
        m_prompts->answers = answers.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        vbUploadQueue::FtpCalls ftp;
        ftp.testLogin = [this](const QString&, int, const QString&, const QString&) {
            g_events << QStringLiteral("ftp login");
            return m_ftp;
        };
        ftp.createFolder = [](const QString&, int, const QString&, const QString&, const QString& folder) {
            g_events << QStringLiteral("ftp folder ") + folder;
            return true;
        };
        m_queue = std::make_unique<vbUploadQueue>(m_session.get(), m_list.get(), m_prompts.get(), ftp);
        m_queue->loadLog();
    }
    // Starts an upload of every listed photo and lets the queue see them in the given states.
    void startWithStates(const QString& states)
    {
        const QStringList specs = states.split(QLatin1Char(' '));
        QString names;
        for (int i = 0; i < specs.size(); ++i)
            names += QLatin1Char(char('a' + i)) + QStringLiteral(" ");
        setUp(true, 3, names, QString());
        m_queue->startUpload();
        QVERIFY(m_session->isUploading());
        for (int i = 0; i < specs.size(); ++i)
            m_list->at(i)->setFromTable(specs.at(i));
        g_events.clear();
    }

    QTemporaryDir m_dir;
    bool m_ftp = true;
    std::unique_ptr<vbSession> m_session;
    std::unique_ptr<FakeList> m_list;
    std::unique_ptr<FakePrompts> m_prompts;
    std::unique_ptr<vbUploadQueue> m_queue;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(QDir().mkpath(QStringLiteral("data")));
    }
    void cleanup()
    {
        m_queue.reset();
        m_ftp = true;
    }

    // Everything an upload's start checks and asks, in order, and what then goes.
    void start_data()
    {
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<int>("albumPhotos"); // -1: no album chosen
        QTest::addColumn<QString>("photos");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("listed"); // after the start

        const QString login = QStringLiteral("ftp login");
        QTest::newRow("not signed in") << false << 3 << "a"
                                       << "" << QStringList{"refuse Please login!"} << "a";
        QTest::newRow("no album") << true << -1 << "a"
                                  << "" << QStringList{login, "refuse Please select a photo list!"} << "a";
        QTest::newRow("no photos") << true << 3 << ""
                                   << "" << QStringList{login, "refuse Please select image to upload"} << "";
        QTest::newRow("over the list limit")
            << true << 3 << "#301"
            << "" << QStringList{login, "refuse Cann't upload more than 300 images"} << "";
        QTest::newRow("album full") << true << 500 << "a"
                                    << "" << QStringList{login, "refuse " + vbUploadQueue::albumFullText()}
                                    << "a";
        QTest::newRow("room for two, declined") << true << 498 << "a b c"
                                                << "cancel" << QStringList{login, "front 2?"} << "a b c";
        QTest::newRow("room for two, taken")
            << true << 498 << "a b c"
            << "ok" << QStringList{login, "front 2?", "prepare a b"} << "a b c";
        QTest::newRow("empty album gets its FTP folder")
            << true << 0 << "a"
            << "" << QStringList{login, "ftp folder 7", "prepare a"} << "a";
        QTest::newRow("uploaded before: No leaves one out")
            << true << 3 << "a* b c*"
            << "No Yes" << QStringList{login, "again a?", "again c?", "prepare b c"} << "b c";
        QTest::newRow("uploaded before: NoAll leaves the rest out")
            << true << 3 << "a b* c d*"
            << "NoAll" << QStringList{login, "again b?", "prepare a"} << "a";
        QTest::newRow("uploaded before: YesAll stops asking")
            << true << 3 << "a* b*"
            << "YesAll" << QStringList{login, "again a?", "prepare a b"} << "a b";
    }
    void start()
    {
        QFETCH(bool, signedIn);
        QFETCH(int, albumPhotos);
        QFETCH(QString, photos);
        QFETCH(QString, answers);
        QFETCH(QStringList, events);
        QFETCH(QString, listed);
        setUp(signedIn, albumPhotos, photos, answers);
        m_queue->startUpload();
        QCOMPARE(g_events, events);
        if (!photos.startsWith(QLatin1Char('#')))
            QCOMPARE(FakeList::names(m_list->items), listed);
        QCOMPARE(m_session->isUploading(), events.last().startsWith(QLatin1String("prepare")));
        QVERIFY(m_prompts->answers.isEmpty());
        // The photos left over for want of room are stopped and stay listed.
        if (albumPhotos == 498 && answers == QLatin1String("ok"))
            QCOMPARE(m_list->at(2)->uploadState(), vbUploadState::Stopped);
    }

    // One tick over photos in the given states: the steps it starts, the
    // results on disk, and at the end of a run the result and the photos left.
    void tick_data()
    {
        QTest::addColumn<bool>("ftp");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<int>("logged");

        QTest::newRow("three transfers at most, FTP account and album folder")
            << true << "KeyReady Transferring KeyReady KeyReady Prepared"
            << QStringList{"send a h ann@x 7", "send c h ann@x 7"} << "a b c d e" << 0;
        QTest::newRow("keys for every prepared photo while fewer than three are busy")
            << true << "RequestingKey Transferring Prepared Prepared KeyFailed:1"
            << QStringList{"key c", "key d", "key e"} << "a b c d e" << 0;
        QTest::newRow("HTTP sends user id and album id")
            << false << "KeyReady" << QStringList{"send a h 1001 7"} << "a" << 0;
        QTest::newRow("retries until more than five failures")
            << true << "KeyFailed:6 KeyFailed:5 CommitFailed:6 CommitFailed:5 Transferred"
            << QStringList{"key b", "commit d", "commit e"} << "a b c d e" << 0;
        QTest::newRow("results logged once, busy photo keeps the run going")
            << true << "Uploaded* Failed Committing" << QStringList{} << "a b c" << 1;
        QTest::newRow("run ends: uploaded photos leave, stopped ones count as failed")
            << true << "Uploaded Failed Stopped" << QStringList{"ended 1 2 (1 named)"} << "b c" << 3;
        QTest::newRow("run ends without failures")
            << true << "Uploaded Uploaded" << QStringList{"ended 2 0 (0 named)"} << "" << 2;
    }
    void tick()
    {
        QFETCH(bool, ftp);
        QFETCH(QString, states);
        QFETCH(QStringList, events);
        QFETCH(QString, listed);
        QFETCH(int, logged);
        m_ftp = ftp;
        startWithStates(states);
        QSignalSpy finished(m_queue.get(), &vbUploadQueue::sig_uploadFinished);
        m_queue->checkToUpload();
        QCOMPARE(g_events, events);
        QCOMPARE(FakeList::names(m_list->items), listed);
        const UploadLogRecords log = vbUploadLog::load(vbUploadQueue::logPath());
        QCOMPARE(log.size(), logged);
        const bool ended = !events.isEmpty() && events.last().startsWith(QLatin1String("ended"));
        QCOMPARE(finished.size(), ended ? 1 : 0);
        QCOMPARE(m_session->isUploading(), !ended);
        if (!ended)
            return;
        // Every result is on disk, and the uploaded ones count into the album.
        const int uploaded = finished.at(0).at(0).toInt();
        QCOMPARE(int(std::count_if(log.begin(), log.end(), [](const auto& r) { return r.succeeded; })),
                 uploaded);
        QVERIFY(log.at(0).filePath.endsWith(QLatin1String("/a.jpg")));
        QCOMPARE(log.at(0).albumName, QStringLiteral("Family"));
        QCOMPARE(m_session->currentAlbumPhotoCount(), 3 + uploaded);
    }

    // "Upload again" after failures starts a new run with the photos left.
    void uploadAgainAfterFailures()
    {
        startWithStates(QStringLiteral("Uploaded Failed"));
        m_prompts->answers = QStringList{QStringLiteral("again")};
        m_queue->checkToUpload();
        QCOMPARE(g_events, (QStringList{"ended 1 1 (1 named)", "prepare b"}));
        QVERIFY(m_session->isUploading());
        QCOMPARE(m_list->at(0)->uploadState(), vbUploadState::Waiting);
    }

    // Upload pressed again while a run goes: cancel it, or let it go on.
    void cancel_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancelled") << "ok";
        QTest::newRow("kept running") << "cancel";
    }
    void cancel()
    {
        QFETCH(QString, answer);
        startWithStates(QStringLiteral("KeyReady Prepared Prepared"));
        m_queue->checkToUpload();
        m_list->at(1)->setUploadState(vbUploadState::Uploaded);
        m_prompts->answers = QStringList{answer};
        g_events.clear();
        m_queue->startUpload();
        const bool cancelled = answer == QLatin1String("ok");
        const QStringList expected =
            // Cancelled: queued preparation is dropped, then the transfer ends.
            cancelled ? QStringList{"cancel upload?", "prepare ", "abort a", "cancel a"}
                      : QStringList{"cancel upload?"};
        QCOMPARE(g_events, expected);
        QCOMPARE(m_session->isUploading(), !cancelled);
        QCOMPARE(m_queue->uploadTimer()->isActive(), !cancelled);
        // Cancelled: the uploaded photo leaves, the others stay; nothing is logged.
        QCOMPARE(FakeList::names(m_list->items), cancelled ? QStringLiteral("a c") : QStringLiteral("a b c"));
        QVERIFY(m_queue->logRecords().isEmpty());
    }

    // The closing sequence's questions and files.
    void closeDown_data()
    {
        QTest::addColumn<bool>("uploading");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("pendingKept");

        QTest::newRow("upload next time") << false << "ok" << true << true;
        QTest::newRow("not next time") << false << "cancel" << true << false;
        QTest::newRow("running upload cancelled") << true << "ok ok" << true << true;
        QTest::newRow("running upload kept") << true << "cancel" << false << false;
    }
    void closeDown()
    {
        QFETCH(bool, uploading);
        QFETCH(QString, answers);
        QFETCH(bool, closes);
        QFETCH(bool, pendingKept);
        setUp(true, 3, QStringLiteral("a b"), QString());
        QStringList photos;
        for (vbUploadItem* item : m_list->uploadItems()) {
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
        m_prompts->answers = answers.split(QLatin1Char(' '));
        g_events.clear();

        QCOMPARE(m_queue->closeDown(), closes);
        QCOMPARE(g_events.contains(QStringLiteral("next time?")), closes);
        QCOMPARE(QFile::exists(vbUploadQueue::logPath()), closes);
        QCOMPARE(QFile::exists(vbUploadQueue::recoveryPath()), !closes);
        const QStringList kept = pendingKept ? photos : QStringList();
        QCOMPARE(vbUploadLog::readPaths(vbUploadQueue::pendingPath()), kept);
    }
};

QTEST_GUILESS_MAIN(tst_UploadQueue)
#include "tst_uploadqueue.moc"
