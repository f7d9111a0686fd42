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
            done(available ? (entries.contains(account) ? Ok : NotFound) : Unavailable,
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
        if (!deferred)
            return work();
        ++pending;
        QTimer::singleShot(delayMs, context, [this, work] {
            --pending;
            work();
        });
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
    // The account as the settings file holds it: name, auto sign-in, password.
    QStringList saved() const
    {
        vbIniParser ini(m_ini);
        QStringList values;
        for (const char* key : {"username", "autologin", "password"})
            values << ini.getString("user.info", key, "<none>");
        return values;
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
    void init() { m_ini = m_dir.filePath(QString("system%1.ini").arg(++m_counter)); }

    // Saved by a sign-in, or found in the settings file (used at once and moved into the store
    // when it takes it), then read at the next start and forgotten at sign-out.
    void saveLoadForget()
    {
        // Store (0 none, 1 available, 2 unavailable), answering later, account found in the file,
        // password kept in the file.
        const std::tuple<int, bool, bool, bool> cases[] = {{0, false, false, true}, {1, false, false, false},
                                                           {1, true, false, false}, {2, true, false, true},
                                                           {1, true, true, false}, // moved into the store
                                                           {2, true, true, true}};
        for (const auto& [store, deferred, fromFile, passwordInFile] : cases) {
            init();
            vbFakeCredentials credentials;
            credentials.available = store == 1;
            credentials.deferred = deferred;
            const QStringList account{"me@velbrook.test", "p=w d"};
            // Something stored for an earlier account must not linger.
            vbIniParser file(m_ini);
            file.setString("user.info", "username", fromFile ? account.first() : "old@velbrook.test");
            file.setString("user.info", "password", fromFile ? account.last() : "old");
            file.setString("user.info", "autologin", fromFile ? "1" : "0");
            vbAccountStore accounts(m_ini, store ? &credentials : nullptr);

            if (fromFile)
                QCOMPARE(load(accounts), account);
            else
                accounts.save(account.first(), account.last());
            QVERIFY(settle(accounts));
            QCOMPARE(saved(),
                     (QStringList{account.first(), "1", passwordInFile ? account.last() : "<none>"}));
            QCOMPARE(credentials.entries.value(account.first()), store == 1 ? account.last() : QString());
            QCOMPARE(load(accounts), account);

            accounts.forget();
            QVERIFY(settle(accounts));
            QCOMPARE(saved(), (QStringList{account.first(), "0", "<none>"}));
            QVERIFY(credentials.entries.isEmpty());
            QCOMPARE(load(accounts), (QStringList{QString(), QString()}));
        }
    }

    // Changes reach a slow store in the order asked for: signing out right after
    // a sign-in that stored the password leaves nothing behind.
    void forgetRightAfterSaveWins()
    {
        vbFakeCredentials credentials;
        credentials.deferred = true;
        credentials.writeDelayMs = 50;
        vbAccountStore accounts(m_ini, &credentials);
        accounts.save("me@velbrook.test", "secret");
        accounts.forget();
        QVERIFY(settle(accounts));
        QTRY_COMPARE(credentials.pending, 0);
        QVERIFY(credentials.entries.isEmpty());
        QCOMPARE(saved(), (QStringList{"me@velbrook.test", "0", "<none>"}));
    }

    // The system's store: a round trip where a Secret Service runs, otherwise
    // "unavailable": at once without a bus, at the deadline when it never answers.
    void systemStore()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString name = "org.freedesktop.secrets";
        const bool secretService =
            bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(name);
        vbSilentSecretService silent;
        const bool hung = bus.isConnected() && !secretService && bus.registerService(name) &&
                          bus.registerVirtualObject("/", &silent, QDBusConnection::SubPath);
        const int deadlineMs = hung ? 1000 : 20000;
        vbKeychainStore store("pixelvane-test", deadlineMs);
        const QString account = QUuid::createUuid().toString(QUuid::WithoutBraces) + "@test";
        // A request's answer: its result and the password read.
        QString answer;
        const auto done = [&](vbCredentialStore::Result r, const QString& password = QString()) {
            answer = QStringList{"Ok", "NotFound", "Unavailable"}.at(r) + ' ' + password;
        };
        const auto ask = [&](const std::function<void()>& request) {
            answer.clear();
            request();
            return QTest::qWaitFor([&] { return !answer.isEmpty(); }, 25000) ? answer.trimmed() : "no answer";
        };
        const auto read = [&] { store.readPassword(account, this, done); };

        if (!secretService) {
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(ask(read), QStringLiteral("Unavailable"));
            QVERIFY(clock.elapsed() < 10000);
            if (hung) {
                QVERIFY(clock.elapsed() >= deadlineMs / 2); // it waited for the deadline, no quick error
                bus.unregisterObject("/", QDBusConnection::UnregisterTree);
                bus.unregisterService(name);
            }
            return;
        }
        QCOMPARE(ask([&] { store.writePassword(account, "p=w d", this, done); }), QStringLiteral("Ok"));
        QCOMPARE(ask(read), QStringLiteral("Ok p=w d"));
        QCOMPARE(ask([&] { store.removePassword(account, this, done); }), QStringLiteral("Ok"));
        QCOMPARE(ask(read), QStringLiteral("NotFound"));
    }
};

QTEST_GUILESS_MAIN(tst_AccountStore)
#include "tst_accountstore.moc"
