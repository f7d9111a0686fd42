#include "vbSingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

vbSingleInstance::vbSingleInstance(const QString& name) : m_lockFilePath(lockFilePathFor(name)) {}

vbSingleInstance::~vbSingleInstance() = default;

QString vbSingleInstance::lockFilePathFor(const QString& name)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime + QLatin1Char('/') + name + QStringLiteral(".lock");
    // No runtime folder: the shared temp folder, told apart by the user name.
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", QStringLiteral("user")));
    return QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('-') + user + QStringLiteral(".lock");
}

bool vbSingleInstance::tryLock()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockFilePath);
    // A lock whose owner is no longer running is stale however young it is;
    // QLockFile checks the owner's process before it looks at the age.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError)
        return false;
    // The lock file cannot be created at all (read-only folder): better one
    // program too many than no program.
    return true;
}
