#include "vbUpdateDownloader.h"

#include "vbFtp.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

// The update area's account, the same for every installation.
const char updateUser[] = "updateclient";
const char updatePassword[] = "tbnQrpowzxlmvkea";

} // namespace

vbUpdateDownloader::vbUpdateDownloader(const QString& remoteFolder, const QString& targetFolder,
                                       const vbEndpoints& endpoints, QObject* parent)
    : QObject(parent), m_remoteFolder(remoteFolder), m_targetPath(targetFolder), m_targetDir(targetFolder),
      m_endpoints(endpoints), m_ftp(new vbFtp(this))
{
    connect(m_ftp, &vbFtp::commandStarted, this, &vbUpdateDownloader::onCommandStarted);
    connect(m_ftp, &vbFtp::commandFinished, this, &vbUpdateDownloader::onCommandFinished);
    connect(m_ftp, &vbFtp::dataTransferProgress, this, [this](qint64 done, qint64) {
        m_currentBytes = done;
        emit sig_progress(m_finishedBytes + done, m_totalSize);
    });
    connect(m_ftp, &vbFtp::listInfo, this, &vbUpdateDownloader::onListInfo);
}

void vbUpdateDownloader::start()
{
    m_ftp->connectToHost(m_endpoints.updateFtp(), quint16(m_endpoints.ftpPort()));
    m_ftp->login(QLatin1String(updateUser), QLatin1String(updatePassword));
    m_ftp->cd("update");
    m_ftp->cd(m_remoteFolder.toLocal8Bit());
    m_listId = m_ftp->list();
}

void vbUpdateDownloader::setTimeout(int ms)
{
    m_ftp->setTimeout(ms);
}

bool vbUpdateDownloader::isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20 ||
            c.unicode() == 0x7f)
            return false;
    }
    return true;
}

void vbUpdateDownloader::onListInfo(const vbFtpEntry& entry)
{
    if (!entry.isFile())
        return;
    if (!isPlainFileName(entry.name)) {
        // A server must not make us write outside the target folder.
        qWarning() << "vbUpdate: refusing listed name" << entry.name;
        return;
    }
    qDebug() << entry.name;
    m_fileNames.append(entry.name);
    m_totalSize += entry.size;
}

void vbUpdateDownloader::onCommandFinished(int id, bool error)
{
    if (isFinished())
        return; // a cancelled or failed run: the aborted command's end is no news
    if (error) {
        qDebug() << "vbUpdate: command" << id << "failed:" << m_ftp->errorString();
        end(Failed);
    } else if (id == m_listId) {
        startDownloads();
    } else if (id == m_lastGetId) {
        finishDownloads();
    }
}

void vbUpdateDownloader::startDownloads()
{
    if (m_fileNames.isEmpty()) {
        m_completed = true;
        end(NothingToDownload);
        return;
    }
    if (!m_targetPath.isEmpty())
        m_targetDir.mkpath(QStringLiteral("."));
    for (const QString& name : std::as_const(m_fileNames)) {
        auto file = std::make_unique<QFile>(localPath(name) + QLatin1String(".newVersion"));
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
            continue;
        file->setParent(this);
        m_openFiles.insert(name, file.get());
        qDebug() << "get" << name;
        m_lastGetId = m_ftp->get(name.toLocal8Bit(), file.release());
        m_getIds.insert(m_lastGetId);
    }
    if (m_getIds.isEmpty()) {
        // Not one file could be created: waiting would wait forever.
        end(Failed);
        return;
    }
    m_state = Downloading;
    emit sig_stateChanged(m_state);
    emit sig_progress(0, m_totalSize);
}

void vbUpdateDownloader::onCommandStarted(int id)
{
    if (m_getIds.contains(id)) {
        m_finishedBytes += m_currentBytes;
        m_currentBytes = 0;
    }
}

void vbUpdateDownloader::cancel()
{
    if (!isFinished())
        end(Cancelled);
}

void vbUpdateDownloader::end(State state)
{
    if (state == Failed || state == Cancelled) {
        m_ftp->abort();
        removeDownloads();
        m_completed = false;
    }
    m_state = state;
    emit sig_stateChanged(state);
}

void vbUpdateDownloader::removeDownloads()
{
    // Half-written files would only be mistaken for complete ones later.
    for (QFile* file : std::as_const(m_openFiles)) {
        file->close();
        file->remove();
    }
    m_openFiles.clear();
}

void vbUpdateDownloader::finishDownloads()
{
    // Files that could not be opened for writing were never asked for.
    bool all = m_openFiles.size() == m_fileNames.size();
    for (auto it = m_openFiles.cbegin(); it != m_openFiles.cend(); ++it)
        all = swapIn(it.key(), it.value()) && all;
    m_openFiles.clear();
    m_completed = all;
    end(Complete);
}

bool vbUpdateDownloader::swapIn(const QString& name, QFile* file)
{
    file->close();
    const QString finalPath = localPath(name);
    const QString newPath = finalPath + QLatin1String(".newVersion");
    const QString asidePath = finalPath + QLatin1String(".tmp");

    bool movedAside = false;
    QFile::Permissions permissions;
    const QFileInfo old(finalPath);
    if (old.exists() && !old.isDir()) {
        permissions = old.permissions();
        // A ".tmp" left by an interrupted run would block the move.
        if (QFileInfo(asidePath).isFile())
            QFile::remove(asidePath);
        movedAside = QFile::rename(finalPath, asidePath);
    }
    if (QFile::rename(newPath, finalPath)) {
        if (movedAside) {
            QFile::setPermissions(finalPath, permissions);
            QFile::remove(asidePath);
        }
        return true;
    }
    if (movedAside) {
        // The new file could not take the name: the old one goes back.
        QFile::rename(asidePath, finalPath);
    }
    return false;
}

QString vbUpdateDownloader::localPath(const QString& name) const
{
    if (m_targetPath.isEmpty())
        return name;
    return m_targetPath + QLatin1Char('/') + name;
}
