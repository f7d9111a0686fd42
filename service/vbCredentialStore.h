#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Where the password of the automatic sign-in is kept, by account name.
//
// A store may answer later (the system's credential store works
// asynchronously): each call reports exactly once through its callback, on
// the caller's thread, and never after context is destroyed. A store that
// cannot be reached answers Unavailable, so the caller can fall back to the
// settings file.
class vbCredentialStore : public QObject
{
    Q_OBJECT
public:
    enum Result
    {
        Ok,
        NotFound,
        Unavailable
    };
    using ReadDone = std::function<void(Result result, const QString& password)>;
    using Done = std::function<void(Result result)>;

    using QObject::QObject;

    virtual void readPassword(const QString& account, QObject* context, ReadDone done) = 0;
    virtual void writePassword(const QString& account, const QString& password, QObject* context,
                               Done done) = 0;
    // Removing an absent entry is Ok.
    virtual void removePassword(const QString& account, QObject* context, Done done) = 0;
};
