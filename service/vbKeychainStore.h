#pragma once

#include "vbCredentialStore.h"

namespace QKeychain {
class Job;
}

// The system's credential store through QtKeychain: Secret Service or KWallet
// on Linux, the Credential Manager on Windows, the Keychain on macOS.
//
// Every job has a deadline: a store that does not answer in time counts as
// unavailable, so a missing or hung store never holds up the sign-in (the job
// itself is left to end on its own; it is never waited for).
class vbKeychainStore : public vbCredentialStore
{
    Q_OBJECT
public:
    explicit vbKeychainStore(const QString& service, int deadlineMs = 5000, QObject* parent = nullptr);

    void readPassword(const QString& account, QObject* context, ReadDone done) override;
    void writePassword(const QString& account, const QString& password, QObject* context, Done done) override;
    void removePassword(const QString& account, QObject* context, Done done) override;

private:
    // Starts job and calls finish once: with the job when it ends, or with null at the deadline.
    void run(QKeychain::Job* job, QObject* context, std::function<void(QKeychain::Job*)> finish);

    QString m_service;
    int m_deadlineMs;
};
