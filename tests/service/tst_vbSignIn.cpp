#include "vbProbe.h"
#include "vbSession.h"
#include "vbSignIn.h"
#include "vbTestService.h"

#include <QJsonArray>

#include <QtTest>

using Faults = QList<QJsonObject>;

// The automatic sign-in against both mirrors and the start-up probe, against
// the stand-in service with faults that decide who answers what, and when.
class tst_vbSignIn : public QObject
{
    Q_OBJECT

    std::unique_ptr<vbTestService> m_service;

    // A sign-in of the demo account after the given faults, run to its end.
    struct Run
    {
        vbSession session;
        vbSignIn signIn{session.endpoints(), QStringLiteral("http")};
        QSignalSpy signedIn{&signIn, &vbSignIn::sig_signedIn};
        QSignalSpy loginFailed{&signIn, &vbSignIn::sig_loginFailed};
        QSignalSpy serviceFailed{&signIn, &vbSignIn::sig_serviceFailed};
        QSignalSpy albums{&signIn, &vbSignIn::sig_albumsReceived};
        QSignalSpy albumsFailed{&signIn, &vbSignIn::sig_albumsFailed};
        explicit Run(const vbEndpoints& endpoints, int deadlineMs = 0) : session(endpoints, nullptr)
        {
            signIn.setSession(&session);
            if (deadlineMs)
                signIn.setDeadlineMs(deadlineMs);
        }
        bool start(const QString& password = QLatin1String(velbrook::kDemoPassword))
        {
            return signIn.start(QLatin1String(velbrook::kDemoEmail), password) &&
                   QTest::qWaitFor([this] { return !signIn.isBusy(); }, 10000);
        }
    };
    // A fault of one endpoint on one mirror ("wangtong", "dianxin" or "any").
    static QJsonObject fault(const char* endpoint, const char* mirror, const char* kind,
                             QJsonObject extra = {})
    {
        extra.insert("mirror", mirror);
        return vbTestService::fault(endpoint, kind, extra);
    }
    QList<QJsonObject> requestsTo(const char* endpoint) { return m_service->requests(endpoint); }
    bool inject(const Faults& faults)
    {
        return std::all_of(faults.begin(), faults.end(),
                           [this](const auto& f) { return m_service->injectFault(f); });
    }

private slots:
    void initTestCase()
    {
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
    }
    void init() { QVERIFY(m_service->clearFaults(true)); }

    void races()
    {
        const QString right = QLatin1String(velbrook::kDemoPassword);
        const QString wrong = QStringLiteral("wrong");
        const QJsonObject later{{"ms", 400}};
        const QJsonObject accept{{"value", "1001"}};
        // The password, the faults, how often it is signed in, the mirror kept (empty: refused). With
        // a wrong password a mirror answering normally refuses; a delay makes it answer last.
        const std::tuple<QString, Faults, int, QString> cases[] = {
            {wrong,
             {fault("signin", "wangtong", "value", accept), fault("signin", "dianxin", "delay", later)},
             1,
             "wangtong"},
            {right,
             {fault("signin", "wangtong", "refuse"), fault("signin", "dianxin", "delay", later)},
             1,
             "dianxin"},
            {wrong, {fault("signin", "dianxin", "delay", later)}, 0, ""},
            // A refusal is the service's word on the account even when the other mirror failed.
            {wrong, {fault("signin", "wangtong", "down")}, 0, ""},
            {right, {fault("signin", "dianxin", "down")}, 1, "wangtong"},
            {right, {fault("signin", "wangtong", "delay", later)}, 2, "wangtong"},
            // dianxin accepts first but its album answer never comes: wangtong's is used, not
            // overridden by the stalled one.
            {right,
             {fault("signin", "wangtong", "delay", later), fault("albumlist", "dianxin", "stall")},
             2,
             "wangtong"}};
        for (const auto& [password, faults, signedIn, host] : cases) {
            init();
            QVERIFY(inject(faults));
            Run run(m_service->endpoints());
            // The refusal may only be reported once both mirrors have answered.
            bool failedEarly = false;
            connect(&run.signIn, &vbSignIn::sig_loginFailed, this,
                    [&] { failedEarly = requestsTo("signin").size() < 2 || run.signIn.isBusy(); });
            QVERIFY(run.start(password));
            QCOMPARE(run.signedIn.size(), signedIn);
            QCOMPARE(run.loginFailed.size(), signedIn ? 0 : 1);
            QVERIFY(!failedEarly);
            QCOMPARE(run.session.isLoggedIn(), signedIn > 0);
            const QList<QJsonObject> albumRequests = requestsTo("albumlist");
            if (signedIn == 0) {
                QCOMPARE(run.session.userId(), 0);
                QVERIFY(albumRequests.isEmpty());
                continue;
            }
            const QString expectedHost =
                host == QLatin1String("wangtong") ? m_service->wangtong() : m_service->dianxin();
            QCOMPARE(run.session.host(), expectedHost);
            QCOMPARE(run.session.userId(), velbrook::kDemoUserId);
            QCOMPARE(run.session.password(), password);
            // Each acceptance asks for the albums; the latest one is kept.
            QVERIFY(albumRequests.size() >= 1 && albumRequests.size() <= signedIn);
            QCOMPARE(albumRequests.last()["address"].toString(), expectedHost);
            QVERIFY(run.albums.size() >= 1 && run.albums.size() <= albumRequests.size());
            QCOMPARE(run.albumsFailed.size(), 0);
            QCOMPARE(run.session.albums().size(), 3);
            QCOMPARE(run.session.currentAlbumIdText(), QStringLiteral("12"));
        }
    }

    void serviceFaults()
    {
        const auto any = [](const char* kind, const QJsonObject& extra = {}) {
            return Faults{fault("signin", "any", kind, extra)};
        };
        const int unreachable = vbServiceCall::Unreachable, unreadable = vbServiceCall::Unreadable;
        // The faults and the outcome told (Answered: signed in despite the fault).
        const std::pair<Faults, int> cases[] = {
            {any("reset"), unreachable},
            {any("stall"), unreachable},
            {any("truncated"), unreadable},
            {any("novalue"), unreadable}, // wrong envelope
            {any("endless"), unreadable},
            {{fault("signin", "wangtong", "down"), fault("signin", "dianxin", "status", {{"status", 500}})},
             unreadable},
            // Answers that arrive in pieces are read whole.
            {any("split", {{"ms", 200}}), vbServiceCall::Answered}};
        for (const auto& [faults, outcome] : cases) {
            init();
            QVERIFY(inject(faults));
            Run run(m_service->endpoints(), 1500);
            QVERIFY(run.start());
            QCOMPARE(run.loginFailed.size(), 0);
            if (outcome == vbServiceCall::Answered) {
                QCOMPARE(run.serviceFailed.size(), 0);
                QCOMPARE(run.session.albums().size(), 3);
                continue;
            }
            QCOMPARE(run.serviceFailed.size(), 1);
            QCOMPARE(int(run.serviceFailed.first().first().value<vbServiceCall::Outcome>()), outcome);
            QVERIFY(!run.session.isLoggedIn());
            QVERIFY(requestsTo("albumlist").isEmpty());
            // Once the service is well again, starting again signs in.
            QVERIFY(m_service->clearFaults());
            run.signIn.setDeadlineMs(10000);
            QVERIFY(run.start());
            QVERIFY(run.session.isLoggedIn());
            QCOMPARE(run.serviceFailed.size(), 1);
        }
    }

    // A bad album answer keeps the old list and can be asked again. Half of the list is still a
    // list answer: it must not be taken for the whole.
    void albumFaults()
    {
        for (const char* kind : {"truncated", "status"}) {
            QVERIFY(m_service->injectFault(fault("albumlist", "any", kind)));
            Run run(m_service->endpoints(), 1500);
            run.session.setAlbums({{QStringLiteral("Old"), 7, 1}});
            QVERIFY(run.start());
            QVERIFY(run.albumsFailed.size() >= 1);
            QCOMPARE(run.albumsFailed.last().first().value<vbServiceCall::Outcome>(),
                     vbServiceCall::Unreadable);
            QCOMPARE(run.albums.size(), 0);
            QVERIFY(run.session.isLoggedIn());
            QCOMPARE(run.session.albums().size(), 1);
            QVERIFY(m_service->clearFaults());
            QVERIFY(run.signIn.retryAlbums());
            QVERIFY(run.albums.wait(10000));
            QCOMPARE(run.session.albums().size(), 3);
        }
    }

    // The probe account's answer decides whether uploads are allowed; only a clear refusal forbids them.
    void probe()
    {
        const auto value = [](const char* v) { return fault("signin", "dianxin", "value", {{"value", v}}); };
        const std::pair<QJsonObject, bool> cases[] = {{QJsonObject(), true},
                                                      {value("0"), false},
                                                      {fault("signin", "dianxin", "novalue"), true},
                                                      {fault("signin", "dianxin", "stall"), true}};
        for (const auto& [probeFault, allowed] : cases) {
            init();
            if (!probeFault.isEmpty())
                QVERIFY(m_service->injectFault(probeFault));
            vbSession session(m_service->endpoints(), nullptr);
            session.setUploadAllowed(!allowed); // the probe must set it either way
            vbProbe probe{session.endpoints()};
            probe.setSession(&session);
            probe.setDeadlineMs(1500);
            QSignalSpy finished(&probe, &vbProbe::sig_probeFinished);
            probe.start();
            QVERIFY(finished.wait(10000));
            QCOMPARE(finished.first().first().toBool(), allowed);
            QCOMPARE(session.uploadAllowed(), allowed);
            // One request, for the probe account, to dianxin.
            const QList<QJsonObject> signIns = requestsTo("signin");
            QCOMPARE(signIns.size(), 1);
            QCOMPARE(signIns.first()["address"].toString(), m_service->dianxin());
            QCOMPARE(signIns.first()["params"]["username"].toString(), QLatin1String(velbrook::kProbeEmail));
        }
    }
};

QTEST_MAIN(tst_vbSignIn)
#include "tst_vbSignIn.moc"
