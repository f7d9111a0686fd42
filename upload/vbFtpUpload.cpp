#include "vbFtpUpload.h"

#include "vbFtpSession.h"

#include <Poco/Exception.h>
#include <Poco/Net/NetException.h>

#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <memory>
#include <ostream>

vbFtpUpload::vbFtpUpload(const QString& host, int port, const QString& user, const QString& password,
                         const QString& folder, const vbNetDeadlines& deadlines)
    : vbBaseUpload(host, port, user, password, folder, deadlines)
{}

vbFtpUpload::~vbFtpUpload()
{
    // Nothing is removed from the server here: only stopping does that. A run
    // that has reported may still be saying goodbye: that is cut short.
    endThread();
}

bool vbFtpUpload::filesPresent(const vbUploadFiles& files) const
{
    return QFileInfo(files.smallFile).isFile() && QFileInfo(files.mediumFile).isFile() &&
           QFileInfo(files.photoFile).isFile();
}

void vbFtpUpload::stopUpload()
{
    if (m_finished)
        return;
    abortRun();
    removeRemoteLater(m_photoIdText);
}

bool vbFtpUpload::removeRemote(const QString& photoIdText)
{
    return removeRemoteFiles(m_host, m_port, m_user, m_password, m_folder, photoIdText, m_deadlines);
}

void vbFtpUpload::removeRemoteLater(const QString& photoIdText)
{
    if (photoIdText.isEmpty())
        return;
    const QString host = m_host;
    const int port = m_port;
    const QString user = m_user;
    const QString password = m_password;
    const QString folder = m_folder;
    const vbNetDeadlines deadlines = m_deadlines;
    QThreadPool::globalInstance()->start(
        [=] { removeRemoteFiles(host, port, user, password, folder, photoIdText, deadlines); });
}

bool vbFtpUpload::removeRemoteFiles(const QString& host, int port, const QString& user,
                                    const QString& password, const QString& folder,
                                    const QString& photoIdText, const vbNetDeadlines& deadlines)
{
    std::unique_ptr<vbFtpSession> session = openFtpSession(host, port, user, password, folder, deadlines);
    if (!session)
        return false;
    bool all = true;
    // Each name is tried: a file missing because the run stopped early must
    // not keep the others on the server.
    for (const char* suffix : {"_1.jpg", "_2.jpg", ".jpg"}) {
        try {
            session->remove(QString(photoIdText + QLatin1String(suffix)).toStdString());
        } catch (const Poco::Net::FTPException&) {
            all = false;
        } catch (...) {
            return false; // the connection itself is gone
        }
    }
    session->closeSession();
    return all;
}

void vbFtpUpload::run()
{
    m_totalBytes = 0;
    m_sentBytes = 0;
    m_finished = false;

    auto report = [this](bool ok) {
        m_finished = true;
        emit sig_done(ok);
    };

    QFile small(m_files.smallFile);
    QFile medium(m_files.mediumFile);
    QFile photo(m_files.photoFile);
    for (QFile* file : {&small, &medium, &photo}) {
        if (!file->open(QIODevice::ReadOnly)) {
            setLastError(tr("Cannot read %1").arg(file->fileName()));
            report(false);
            return;
        }
        m_totalBytes += file->size();
    }

    std::unique_ptr<vbFtpSession> session =
        openFtpSession(m_host, m_port, m_user, m_password, m_folder, m_deadlines, &aborter());
    if (stopRequested()) {
        m_finished = true;
        return;
    }
    if (!session) {
        setLastError(tr("Cannot log in to the FTP server %1 or open the folder %2").arg(m_host, m_folder));
        report(false);
        return;
    }

    qint64 runningTotal = 0;
    const std::array<std::pair<QFile*, const char*>, 3> order{
        {{&small, "_2.jpg"}, {&medium, "_1.jpg"}, {&photo, ".jpg"}}};
    for (const auto& [file, suffix] : order) {
        const QString remoteName = m_photoIdText + QLatin1String(suffix);
        QString error;
        const bool sent = sendFile(*session, *file, remoteName, runningTotal, error);
        if (stopRequested()) {
            m_finished = true;
            return;
        }
        if (!sent) {
            setLastError(tr("Storing %1 failed: %2").arg(remoteName, error));
            report(false);
            return;
        }
    }
    // Everything is stored: the photo goes on at once, whatever the goodbye
    // costs (a stop cuts it short too).
    report(true);
    session->closeSession();
}

bool vbFtpUpload::sendFile(vbFtpSession& session, QFile& file, const QString& remoteName,
                           qint64& runningTotal, QString& error)
{
    try {
        if (!file.seek(0)) {
            error = tr("the local file could not be read");
            return false;
        }
        session.beginUpload(remoteName.toStdString());
        // Pieces of 512 bytes are read from disk; they go to the socket gathered
        // into larger writes, and progress follows each write. (A signal per
        // piece floods the GUI thread and halves the speed.)
        QByteArray outgoing;
        outgoing.reserve(kSendBlock);
        auto flush = [&] {
            session.sendData(outgoing.constData(), static_cast<int>(outgoing.size()));
            runningTotal += outgoing.size();
            outgoing.clear();
            if (runningTotal > m_sentBytes)
                m_sentBytes = runningTotal;
            emit sig_dataTransfer(std::min<qint64>(runningTotal, m_totalBytes), m_totalBytes);
        };
        std::array<char, kPieceSize> piece;
        bool readFailed = false;
        while (!file.atEnd()) {
            const qint64 n = file.read(piece.data(), kPieceSize);
            if (n <= 0) {
                readFailed = true;
                break;
            }
            outgoing.append(piece.data(), n);
            if (outgoing.size() >= kSendBlock)
                flush();
            if (stopRequested())
                return true; // the run ends; the shut connections need no goodbye
        }
        if (!outgoing.isEmpty())
            flush();
        session.finishTransfer(); // throws when the server did not store the file
        if (readFailed)
            error = tr("the local file could not be read");
        return !readFailed;
    } catch (const Poco::Exception& e) {
        error = QString::fromStdString(e.displayText());
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        error = tr("the connection broke");
    }
    // After a broken transfer the server's word on it is not waited for (it
    // would cost another deadline): the session is dropped without a goodbye.
    session.abandon();
    return false;
}
