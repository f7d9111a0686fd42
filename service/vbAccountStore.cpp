#include "vbAccountStore.h"

#include "vbCredentialStore.h"
#include "vbIniParser.h"

namespace {
const QString kUser = QStringLiteral("user.info");
const QString kName = QStringLiteral("username");
const QString kPassword = QStringLiteral("password");
const QString kAutoLogin = QStringLiteral("autologin");
const QString kAlbums = QStringLiteral("recent.album");

// Account values are read like the classic fixed buffers of 100 characters.
QString readAccountValue(const vbIniParser& ini, const QString& key)
{
    QString value;
    ini.getString(kUser, key, &value, 100);
    return value;
}

QString albumKey(int userId)
{
    return QStringLiteral("user") + QString::number(userId);
}
} // namespace

vbAccountStore::vbAccountStore(const QString& iniPath, vbCredentialStore* credentials, QObject* parent)
    : QObject(parent), m_iniPath(iniPath), m_credentials(credentials)
{}

void vbAccountStore::enqueue(Step step)
{
    m_steps.append(std::move(step));
    pump();
}

void vbAccountStore::stepDone()
{
    m_busy = false;
    pump();
}

void vbAccountStore::pump()
{
    // Steps that finish at once end inside this loop instead of recursing.
    if (m_pumping)
        return;
    m_pumping = true;
    while (!m_busy && !m_steps.isEmpty()) {
        m_busy = true;
        const Step step = m_steps.takeFirst();
        step();
    }
    m_pumping = false;
    if (!m_busy && m_steps.isEmpty())
        emit sig_idle();
}

void vbAccountStore::load(QObject* context, LoadDone done)
{
    const bool hasContext = context != nullptr;
    QPointer<QObject> guard(context);
    auto answer = [hasContext, guard, done](const QString& name, const QString& password) {
        if (!hasContext || guard)
            done(name, password);
    };
    enqueue([this, answer] {
        vbIniParser ini(m_iniPath);
        if (!ini.getBool(kUser, kAutoLogin, true)) {
            answer(QString(), QString());
            stepDone();
            return;
        }
        const QString name = readAccountValue(ini, kName);
        const QString plain = readAccountValue(ini, kPassword);
        if (!m_credentials || name.isEmpty()) {
            answer(name, plain);
            stepDone();
            return;
        }
        if (!plain.isEmpty()) {
            answer(name, plain);
            // Move it into the credential store; it stays in the file while the store is unavailable.
            m_credentials->writePassword(name, plain, this, [this, plain](vbCredentialStore::Result result) {
                vbIniParser file(m_iniPath);
                if (result == vbCredentialStore::Ok && readAccountValue(file, kPassword) == plain)
                    file.removeKey(kUser, kPassword);
                stepDone();
            });
            return;
        }
        m_credentials->readPassword(
            name, this, [this, name, answer](vbCredentialStore::Result result, const QString& password) {
                answer(name, result == vbCredentialStore::Ok ? password : QString());
                stepDone();
            });
    });
}

void vbAccountStore::save(const QString& name, const QString& password)
{
    enqueue([this, name, password] {
        vbIniParser ini(m_iniPath);
        ini.setString(kUser, kName, name);
        ini.setBool(kUser, kAutoLogin, true);
        if (!m_credentials) {
            ini.setString(kUser, kPassword, password);
            stepDone();
            return;
        }
        // Whatever the file held belonged to the account stored before.
        ini.removeKey(kUser, kPassword);
        m_credentials->writePassword(name, password, this,
                                     [this, password](vbCredentialStore::Result result) {
                                         if (result != vbCredentialStore::Ok)
                                             vbIniParser(m_iniPath).setString(kUser, kPassword, password);
                                         stepDone();
                                     });
    });
}

void vbAccountStore::forget()
{
    enqueue([this] {
        vbIniParser ini(m_iniPath);
        const QString name = readAccountValue(ini, kName);
        ini.setBool(kUser, kAutoLogin, false);
        ini.removeKey(kUser, kPassword);
        if (!m_credentials || name.isEmpty()) {
            stepDone();
            return;
        }
        m_credentials->removePassword(name, this, [this](vbCredentialStore::Result) { stepDone(); });
    });
}

int vbAccountStore::lastAlbum(int userId) const
{
    return vbIniParser(m_iniPath).getString(kAlbums, albumKey(userId)).toInt();
}

void vbAccountStore::setLastAlbum(int userId, int albumId)
{
    vbIniParser ini(m_iniPath);
    if (ini.getString(kAlbums, albumKey(userId)).toInt() != albumId)
        ini.setInt(kAlbums, albumKey(userId), albumId);
}
