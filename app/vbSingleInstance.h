#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second copy of the program from starting in the same user session.
// The lock lives in the per-user runtime folder, so two users of one machine
// never block each other; the lock of a crashed run is recognised as stale.
class vbSingleInstance
{
public:
    explicit vbSingleInstance(const QString& name);
    ~vbSingleInstance();

    // True when this process now holds the lock; false when another live process does.
    bool tryLock();

    QString lockFilePath() const { return m_lockFilePath; }

    // Where the lock file for name lives.
    static QString lockFilePathFor(const QString& name);

private:
    QString m_lockFilePath;
    std::unique_ptr<QLockFile> m_lock;
};
