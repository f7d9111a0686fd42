#include "vbProbe.h"
#include "vbSession.h"
#include "vbSignIn.h"
#include "vbTestService.h"

#include <QJsonArray>

#include <QtTest>

using Faults = QList<QJsonObject>;
Q_DECLARE_METATYPE(Faults)

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

    void races_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<int>("signedIn");
        QTest::addColumn<QString>("host"); // "wangtong", "dianxin" or empty: refused

        const QString right = QLatin1String(velbrook::kDemoPassword);
        const QString wrong = QStringLiteral("wrong");
        const QJsonObject later{{"ms", 400}};
        const QJsonObject accept{{"value", "1001"}};
        // With a wrong password a mirror answering normally refuses; a delay makes it answer last.
        QTest::newRow("wangtong accepts, dianxin refuses later")
            << wrong
            << Faults{fault("signin", "wangtong", "value", accept),
                      fault("signin", "dianxin", "delay", later)}
            << 1 << "wangtong";
        QTest::newRow("wangtong refuses, dianxin accepts later")
            << right
            << Faults{fault("signin", "wangtong", "refuse"), fault("signin", "dianxin", "delay", later)} << 1
            << "dianxin";
        QTest::newRow("both refuse") << wrong << Faults{fault("signin", "dianxin", "delay", later)} << 0
                                     << "";
        // A refusal is the service's word on the account even when the other mirror failed.
        QTest::newRow("one down, one refusing")
            << wrong << Faults{fault("signin", "wangtong", "down")} << 0 << "";
        QTest::newRow("one down, one accepting")
            << right << Faults{fault("signin", "dianxin", "down")} << 1 << "wangtong";
        QTest::newRow("both accept, wangtong later")
            << right << Faults{fault("signin", "wangtong", "delay", later)} << 2 << "wangtong";
        // dianxin accepts first but its album answer never comes: wangtong's is used, not
        // overridden by the stalled one.
        QTest::newRow("both accept, dianxin's albums never come")
            << right
            << Faults{fault("signin", "wangtong", "delay", later), fault("albumlist", "dianxin", "stall")}
            << 2 << "wangtong";
    }
    void races()
    {
        QFETCH(QString, password);
        QFETCH(Faults, faults);
        QFETCH(int, signedIn);
        QFETCH(QString, host);
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
            return;
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

    void serviceFaults_data()
    {
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<int>("outcome"); // Answered: signed in despite the fault
        const auto any = [](const char* kind, const QJsonObject& extra = {}) {
            return Faults{fault("signin", "any", kind, extra)};
        };
        const int unreachable = vbServiceCall::Unreachable, unreadable = vbServiceCall::Unreadable;
        QTest::newRow("reset") << any("reset") << unreachable;
        QTest::newRow("stall") << any("stall") << unreachable;
        QTest::newRow("truncated") << any("truncated") << unreadable;
        QTest::newRow("wrong envelope") << any("novalue") << unreadable;
        QTest::newRow("endless") << any("endless") << unreadable;
        QTest::newRow("one down, one HTTP 500")
            << Faults{fault("signin", "wangtong", "down"),
                      fault("signin", "dianxin", "status", {{"status", 500}})}
            << unreadable;
        // Answers that arrive in pieces are read whole.
        QTest::newRow("split") << any("split", {{"ms", 200}}) << int(vbServiceCall::Answered);
    }
    void serviceFaults()
    {
        QFETCH(Faults, faults);
        QFETCH(int, outcome);
        QVERIFY(inject(faults));
        Run run(m_service->endpoints(), 1500);
        QVERIFY(run.start());
        QCOMPARE(run.loginFailed.size(), 0);
        if (outcome == vbServiceCall::Answered) {
            QCOMPARE(run.serviceFailed.size(), 0);
            QCOMPARE(run.session.albums().size(), 3);
            return;
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

    // A bad album answer keeps the old list and can be asked again.
    void albumFaults_data()
    {
        QTest::addColumn<QJsonObject>("albumFault");
        // Half of the list is still a list answer: it must not be taken for the whole.
        QTest::newRow("truncated") << fault("albumlist", "any", "truncated");
        QTest::newRow("HTTP 500") << fault("albumlist", "any", "status");
    }
    void albumFaults()
    {
        QFETCH(QJsonObject, albumFault);
        QVERIFY(m_service->injectFault(albumFault));
        Run run(m_service->endpoints(), 1500);
        run.session.setAlbums({{QStringLiteral("Old"), 7, 1}});
        QVERIFY(run.start());
        QVERIFY(run.albumsFailed.size() >= 1);
        QCOMPARE(run.albumsFailed.last().first().value<vbServiceCall::Outcome>(), vbServiceCall::Unreadable);
        QCOMPARE(run.albums.size(), 0);
        QVERIFY(run.session.isLoggedIn());
        QCOMPARE(run.session.albums().size(), 1);
        QVERIFY(m_service->clearFaults());
        QVERIFY(run.signIn.retryAlbums());
        QVERIFY(run.albums.wait(10000));
        QCOMPARE(run.session.albums().size(), 3);
    }

    // The probe account's answer decides whether uploads are allowed; only a clear refusal forbids them.
    void probe_data()
    {
        QTest::addColumn<QJsonObject>("probeFault");
        QTest::addColumn<bool>("allowed");
        const auto value = [](const char* v) { return fault("signin", "dianxin", "value", {{"value", v}}); };
        QTest::newRow("accepted") << QJsonObject() << true;
        QTest::newRow("zero") << value("0") << false;
        QTest::newRow("no value") << fault("signin", "dianxin", "novalue") << true;
        QTest::newRow("mirror down") << fault("signin", "dianxin", "down") << true;
        QTest::newRow("stall") << fault("signin", "dianxin", "stall") << true;
    }
    void probe()
    {
        QFETCH(QJsonObject, probeFault);
        QFETCH(bool, allowed);
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
        if (QTest::currentDataTag() == QByteArray("mirror down"))
            return;
        // One request, for the probe account, to dianxin.
        const QList<QJsonObject> signIns = requestsTo("signin");
        QCOMPARE(signIns.size(), 1);
        QCOMPARE(signIns.first()["address"].toString(), m_service->dianxin());
        QCOMPARE(signIns.first()["params"]["username"].toString(), QLatin1String(velbrook::kProbeEmail));
    }
};

QTEST_MAIN(tst_vbSignIn)
#include "tst_vbSignIn.moc"
