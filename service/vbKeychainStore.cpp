#include "vbKeychainStore.h"

#include <qt6keychain/keychain.h>

#include <QPointer>
#include <QTimer>

#include <memory>

namespace {
vbCredentialStore::Result resultOf(const QKeychain::Job* job, bool absentIsOk)
{
    if (!job)
        return vbCredentialStore::Unavailable;
    switch (job->error()) {
    case QKeychain::NoError:
        return vbCredentialStore::Ok;
    case QKeychain::EntryNotFound:
        return absentIsOk ? vbCredentialStore::Ok : vbCredentialStore::NotFound;
    default:
        // No backend, no session bus, a locked or refused store: the caller falls back.
        return vbCredentialStore::Unavailable;
    }
}
} // namespace

vbKeychainStore::vbKeychainStore(const QString& service, int deadlineMs, QObject* parent)
    : vbCredentialStore(parent), m_service(service), m_deadlineMs(deadlineMs)
{}

void vbKeychainStore::run(QKeychain::Job* job, QObject* context, std::function<void(QKeychain::Job*)> finish)
{
    auto reported = std::make_shared<bool>(false);
    const bool hasContext = context != nullptr;
    QPointer<QObject> guard(context);
    auto report = [reported, hasContext, guard, finish](QKeychain::Job* finished) {
        if (*reported)
            return;
        *reported = true;
        if (!hasContext || guard)
            finish(finished);
    };
    connect(job, &QKeychain::Job::finished, this, report);
    // The timer dies with the job, so it cannot fire after a real answer was handled.
    QTimer::singleShot(m_deadlineMs, job, [report] { report(nullptr); });
    job->setAutoDelete(true);
    job->start();
}

void vbKeychainStore::readPassword(const QString& account, QObject* context, ReadDone done)
{
    auto* job = new QKeychain::ReadPasswordJob(m_service, this);
    job->setKey(account);
    run(job, context, [done](QKeychain::Job* finished) {
        const Result result = resultOf(finished, false);
        const auto* read = static_cast<QKeychain::ReadPasswordJob*>(finished);
        done(result, result == Ok ? read->textData() : QString());
    });
}

void vbKeychainStore::writePassword(const QString& account, const QString& password, QObject* context,
                                    Done done)
{
    auto* job = new QKeychain::WritePasswordJob(m_service, this);
    job->setKey(account);
    job->setTextData(password);
    run(job, context, [done](QKeychain::Job* finished) { done(resultOf(finished, false)); });
}

void vbKeychainStore::removePassword(const QString& account, QObject* context, Done done)
{
    auto* job = new QKeychain::DeletePasswordJob(m_service, this);
    job->setKey(account);
    run(job, context, [done](QKeychain::Job* finished) { done(resultOf(finished, true)); });
}
