#include "vbAccountStore.h"
#include "vbCredentialStore.h"
#include "vbIniParser.h"
#include "vbKeychainStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QHash>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

// A credential store in memory: available or not, answering at once or from the event loop
// (writes then as late as writeDelayMs, so later requests can overtake them).
class vbFakeCredentials : public vbCredentialStore
{
    Q_OBJECT
public:
    bool available = true;
    bool deferred = false;
    int writeDelayMs = 0;
    int pending = 0; // answers not given yet
    QHash<QString, QString> entries;

    void readPassword(const QString& account, QObject* context, ReadDone done) override
    {
        answer(context, 0, [=] {
            done(!available                  ? Unavailable
                 : entries.contains(account) ? Ok
                                             : NotFound,
                 entries.value(account));
        });
    }
    void writePassword(const QString& account, const QString& password, QObject* context, Done done) override
    {
        answer(context, writeDelayMs, [=] { done(change([&] { entries.insert(account, password); })); });
    }
    void removePassword(const QString& account, QObject* context, Done done) override
    {
        answer(context, 0, [=] { done(change([&] { entries.remove(account); })); });
    }

private:
    Result change(const std::function<void()>& edit)
    {
        if (available)
            edit();
        return available ? Ok : Unavailable;
    }
    void answer(QObject* context, int delayMs, const std::function<void()>& work)
    {
        if (deferred) {
            ++pending;
            QTimer::singleShot(delayMs, context, [this, work] {
                --pending;
                work();
            });
        } else {
            work();
        }
    }
};

// A Secret Service that takes every call and never answers, like a hung keyring.
class vbSilentSecretService : public QDBusVirtualObject
{
    Q_OBJECT
public:
    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
};

// The account kept between runs: its password in the credential store or, without one, the settings file.
class tst_AccountStore : public QObject
{
    Q_OBJECT

private:
    QString value(const char* key, const char* section = "user.info") const
    {
        return vbIniParser(m_ini).getString(QLatin1String(section), QLatin1String(key),
                                            QStringLiteral("<none>"));
    }
    void writeAccount(const QString& name, const QString& password, const QString& autoLogin)
    {
        vbIniParser ini(m_ini);
        ini.setString(QStringLiteral("user.info"), QStringLiteral("username"), name);
        ini.setString(QStringLiteral("user.info"), QStringLiteral("password"), password);
        ini.setString(QStringLiteral("user.info"), QStringLiteral("autologin"), autoLogin);
    }
    static QStringList load(vbAccountStore& accounts)
    {
        QStringList got;
        accounts.load(nullptr, [&got](const QString& name, const QString& password) {
            got = {name, password};
        });
        if (got.isEmpty())
            (void)QTest::qWaitFor([&got] { return !got.isEmpty(); }, 5000);
        return got;
    }
    static bool settle(vbAccountStore& accounts)
    {
        return !accounts.isBusy() || QSignalSpy(&accounts, &vbAccountStore::sig_idle).wait(5000);
    }

    QTemporaryDir m_dir;
    QString m_ini;
    int m_counter = 0;

private slots:
    void initTestCase()
    {
        // Without a session bus, make sure nothing starts one behind the test's back.
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/pixelvane-test-bus");
    }
    void init() { m_ini = m_dir.filePath(QStringLiteral("system%1.ini").arg(++m_counter)); }

    void saveLoadForget_data()
    {
        QTest::addColumn<int>("store"); // 0 none, 1 available, 2 unavailable
        QTest::addColumn<bool>("deferred");
        QTest::addColumn<bool>("passwordInFile");
        QTest::newRow("no credential store") << 0 << false << true;
        QTest::newRow("store") << 1 << false << false;
        QTest::newRow("store answering later") << 1 << true << false;
        QTest::newRow("store unavailable") << 2 << true << true;
    }
    void saveLoadForget()
    {
        QFETCH(int, store);
        QFETCH(bool, deferred);
        QFETCH(bool, passwordInFile);
        vbFakeCredentials credentials;
        credentials.available = store == 1;
        credentials.deferred = deferred;
        // Something stored for an earlier account must not linger.
        writeAccount(QStringLiteral("old@velbrook.test"), QStringLiteral("old"), QStringLiteral("0"));
        vbAccountStore accounts(m_ini, store ? &credentials : nullptr);

        accounts.save(QStringLiteral("me@velbrook.test"), QStringLiteral("p=w d"));
        QVERIFY(settle(accounts));
        QCOMPARE(value("username"), QStringLiteral("me@velbrook.test"));
        QCOMPARE(value("autologin"), QStringLiteral("1"));
        QCOMPARE(value("password"), passwordInFile ? QStringLiteral("p=w d") : QStringLiteral("<none>"));
        QCOMPARE(credentials.entries.value(QStringLiteral("me@velbrook.test")),
                 store == 1 ? QStringLiteral("p=w d") : QString());
        QCOMPARE(load(accounts), (QStringList{QStringLiteral("me@velbrook.test"), QStringLiteral("p=w d")}));

        accounts.forget();
        QVERIFY(settle(accounts));
        QCOMPARE(value("autologin"), QStringLiteral("0"));
        QCOMPARE(value("password"), QStringLiteral("<none>"));
        QVERIFY(credentials.entries.isEmpty());
        QCOMPARE(load(accounts), (QStringList{QString(), QString()}));
    }

    // A password found in the settings file is used at once and moved into the store when it takes it.
    void passwordMovesIntoStore_data()
    {
        QTest::addColumn<bool>("available");
        QTest::newRow("store available") << true;
        QTest::newRow("store unavailable") << false;
    }
    void passwordMovesIntoStore()
    {
        QFETCH(bool, available);
        writeAccount(QStringLiteral("me@velbrook.test"), QStringLiteral("secret"), QStringLiteral("yes"));
        vbFakeCredentials credentials;
        credentials.available = available;
        credentials.deferred = true;
        vbAccountStore accounts(m_ini, &credentials);
        QCOMPARE(load(accounts), (QStringList{QStringLiteral("me@velbrook.test"), QStringLiteral("secret")}));
        QVERIFY(settle(accounts));
        QCOMPARE(value("password"), available ? QStringLiteral("<none>") : QStringLiteral("secret"));
        QCOMPARE(credentials.entries.value(QStringLiteral("me@velbrook.test")),
                 available ? QStringLiteral("secret") : QString());
        // The next start reads it from wherever it now is.
        QCOMPARE(load(accounts), (QStringList{QStringLiteral("me@velbrook.test"), QStringLiteral("secret")}));
    }

    // Changes reach a slow store in the order asked for: signing out right after
    // a sign-in that stored the password leaves nothing behind.
    void forgetRightAfterSaveWins()
    {
        vbFakeCredentials credentials;
        credentials.deferred = true;
        credentials.writeDelayMs = 50;
        vbAccountStore accounts(m_ini, &credentials);
        accounts.save(QStringLiteral("me@velbrook.test"), QStringLiteral("secret"));
        accounts.forget();
        QVERIFY(settle(accounts));
        QTRY_COMPARE(credentials.pending, 0);
        QVERIFY(credentials.entries.isEmpty());
        QCOMPARE(value("password"), QStringLiteral("<none>"));
        QCOMPARE(value("autologin"), QStringLiteral("0"));
    }

    // The system's store: a round trip where a Secret Service runs, otherwise
    // "unavailable": at once without a bus, at the deadline when it never answers.
    void systemStore()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString name = QStringLiteral("org.freedesktop.secrets");
        const bool secretService =
            bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(name);
        vbSilentSecretService silent;
        const bool hung = bus.isConnected() && !secretService && bus.registerService(name) &&
                          bus.registerVirtualObject(QStringLiteral("/"), &silent, QDBusConnection::SubPath);
        const int deadlineMs = hung ? 1000 : 20000;
        vbKeychainStore store(QStringLiteral("pixelvane-test"), deadlineMs);
        const QString account = QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@test");

        vbCredentialStore::Result result = vbCredentialStore::NotFound;
        QString read;
        // Sends one request ('r'ead, 'w'rite, 'd'elete) and waits for its answer.
        const auto run = [&](char op) {
            bool done = false;
            const auto finish = [&](vbCredentialStore::Result r) {
                result = r;
                done = true;
            };
            if (op == 'r')
                store.readPassword(account, this, [&](vbCredentialStore::Result r, const QString& p) {
                    read = p;
                    finish(r);
                });
            else if (op == 'w')
                store.writePassword(account, QStringLiteral("p=w d"), this, finish);
            else
                store.removePassword(account, this, finish);
            return QTest::qWaitFor([&] { return done; }, 25000);
        };

        if (!secretService) {
            QElapsedTimer clock;
            clock.start();
            QVERIFY(run('r'));
            QCOMPARE(result, vbCredentialStore::Unavailable);
            QVERIFY(clock.elapsed() < 10000);
            if (hung) {
                QVERIFY(clock.elapsed() >= deadlineMs / 2); // it waited for the deadline, no quick error
                bus.unregisterObject(QStringLiteral("/"), QDBusConnection::UnregisterTree);
                bus.unregisterService(name);
            }
            return;
        }
        QVERIFY(run('w'));
        QCOMPARE(result, vbCredentialStore::Ok);
        QVERIFY(run('r'));
        QCOMPARE(result, vbCredentialStore::Ok);
        QCOMPARE(read, QStringLiteral("p=w d"));
        QVERIFY(run('d'));
        QCOMPARE(result, vbCredentialStore::Ok);
        QVERIFY(run('r'));
        QCOMPARE(result, vbCredentialStore::NotFound);
    }
};

QTEST_GUILESS_MAIN(tst_AccountStore)
#include "tst_accountstore.moc"
