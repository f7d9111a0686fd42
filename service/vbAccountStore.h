#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class vbCredentialStore;

// What the program keeps of the user's account between runs: the account of
// the automatic sign-in (name and switch in the settings file, the password in
// the credential store) and the album last chosen by each account.
//
// Without a credential store, or while it is unavailable, the password is
// kept in the settings file; a password found there is moved into the store
// once the store takes it. Changes run one after another in the order asked
// for, so forgetting the account right after saving it never leaves the
// password behind. Without a credential store every call completes before it
// returns.
class vbAccountStore : public QObject
{
    Q_OBJECT
public:
    using LoadDone = std::function<void(const QString& name, const QString& password)>;

    vbAccountStore(const QString& iniPath, vbCredentialStore* credentials, QObject* parent = nullptr);

    // The account of the automatic sign-in, both parts empty while it is
    // switched off. done is called once, never after context is gone.
    void load(QObject* context, LoadDone done);
    // Keeps the account for the automatic sign-in and switches it on.
    void save(const QString& name, const QString& password);
    // Switches the automatic sign-in off and removes the stored password.
    void forget();
    // True while a change is still under way in the credential store.
    bool isBusy() const { return m_busy || !m_steps.isEmpty(); }

    // The album id last chosen by the account userId, 0 when none.
    int lastAlbum(int userId) const;
    void setLastAlbum(int userId, int albumId);

signals:
    // Every change asked for so far is done.
    void sig_idle();

private:
    using Step = std::function<void()>;
    void enqueue(Step step);
    void stepDone();
    void pump();

    QString m_iniPath;
    QPointer<vbCredentialStore> m_credentials;
    QList<Step> m_steps;
    bool m_busy = false;
    bool m_pumping = false;
};
