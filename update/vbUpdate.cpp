#include "vbUpdate.h"

#include "vbEndpoints.h"
#include "vbFtp.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <climits>
#include <memory>

namespace {

// The update area's account, the same for every installation.
const char updateUser[] = "updateclient";
const char updatePassword[] = "tbnQrpowzxlmvkea";

} // namespace

vbUpdate::vbUpdate(const QString& remoteFolder, const QString& targetFolder, QWidget* parent)
    : vbKitDialog(parent), m_targetDir(targetFolder), m_targetPath(targetFolder), m_ftp(new vbFtp(this))
{
    setupUi();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    title->setTitle(tr("Updating"));
    setWindowTitle(title->title());
    progressBar->setValue(0);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbUpdate::on_btnCancel_clicked);
    // Closing from the title bar must stop the transfer like Cancel does.
    connect(title, &vbTitleBar::Closed, this, &vbUpdate::on_btnCancel_clicked);

    connect(m_ftp, &vbFtp::commandStarted, this, &vbUpdate::slot_commandStarted);
    connect(m_ftp, &vbFtp::commandFinished, this, &vbUpdate::slot_commandFinished);
    connect(m_ftp, &vbFtp::dataTransferProgress, this, &vbUpdate::slot_dataTransferProgress);
    connect(m_ftp, &vbFtp::listInfo, this, &vbUpdate::slot_listInfo);

    const vbEndpoints& endpoints = vbEndpoints::current();
    m_ftp->connectToHost(endpoints.updateFtp(), quint16(endpoints.ftpPort()));
    m_ftp->login(QLatin1String(updateUser), QLatin1String(updatePassword));
    m_ftp->cd("update");
    m_ftp->cd(remoteFolder.toLocal8Bit());
    m_listId = m_ftp->list();
}

bool vbUpdate::isPlainFileName(const QString& name)
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

void vbUpdate::setupUi()
{
    setObjectName(QStringLiteral("vbUpdateClass"));
    resize(360, 130);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(6);
    column->setContentsMargins(1, 1, 1, 8);

    title = new vbTitleBar(this);
    title->setObjectName(QStringLiteral("title"));
    title->setFixedHeight(30);
    column->addWidget(title);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(15, 4, 15, 0);
    body->setSpacing(6);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setText(QCoreApplication::translate("vbUpdateClass", "Check download..."));
    body->addWidget(lblStatus);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    body->addWidget(progressBar);
    column->addLayout(body);
    column->addStretch();

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    btnCancel = new vbPushButton(85, 25, QStringLiteral(":/Resources/cancel.png"),
                                 QStringLiteral(":/Resources/cancel_hover.png"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setCursor(Qt::PointingHandCursor);
    buttonRow->addWidget(btnCancel);
    buttonRow->addSpacing(15);
    column->addLayout(buttonRow);
}

void vbUpdate::slot_listInfo(const vbFtpEntry& i)
{
    if (!i.isFile())
        return;
    if (!isPlainFileName(i.name)) {
        // A server must not make us write outside the target folder.
        qWarning() << "vbUpdate: refusing listed name" << i.name;
        return;
    }
    qDebug() << i.name;
    m_fileNames.append(i.name);
    m_totalSize += i.size;
}

void vbUpdate::slot_commandFinished(int id, bool error)
{
    if (m_finished)
        return; // a cancelled or failed run: the aborted command's end is no news
    if (error) {
        qDebug() << "vbUpdate: command" << id << "failed:" << m_ftp->errorString();
        fail();
        return;
    }
    if (id == m_listId) {
        m_progressShift = 0;
        while ((m_totalSize >> m_progressShift) > INT_MAX)
            ++m_progressShift;
        progressBar->setRange(0, int(m_totalSize >> m_progressShift));
        progressBar->setValue(0);
        startDownloads();
    } else if (id == m_lastGetId) {
        finishDownloads();
    }
}

void vbUpdate::startDownloads()
{
    if (m_fileNames.isEmpty()) {
        m_finished = true;
        m_completed = true;
        lblStatus->setText(tr("No files to download.Click cancel to continue!"));
        accept();
        return;
    }
    lblStatus->setText(tr("Download files"));
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
        fail();
    }
}

void vbUpdate::fail()
{
    if (m_finished)
        return;
    m_finished = true;
    m_ftp->abort();
    removeDownloads();
    lblStatus->setText(tr("Download failed!"));
    // The user acknowledges the failure with OK and the dialog closes; the
    // box is opened, not executed, so no FTP signal arrives in a nested loop.
    auto* box = new vbMessageBox(8, tr("Tips"), tr("Download failed!"), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this] { done(1); });
    box->open();
}

void vbUpdate::removeDownloads()
{
    // Half-written files would only be mistaken for complete ones later.
    for (QFile* file : std::as_const(m_openFiles)) {
        file->close();
        file->remove();
    }
    m_openFiles.clear();
}

void vbUpdate::slot_commandStarted(int id)
{
    if (m_getIds.contains(id)) {
        m_finishedBytes += m_currentBytes;
        m_currentBytes = 0;
    }
}

void vbUpdate::slot_dataTransferProgress(qint64 done, qint64 total)
{
    Q_UNUSED(total)
    m_currentBytes = done;
    showProgress(m_finishedBytes + done);
}

void vbUpdate::showProgress(qint64 value)
{
    progressBar->setValue(int(value >> m_progressShift));
}

void vbUpdate::finishDownloads()
{
    lblStatus->setText(tr("Download Complete"));
    // Files that could not be opened for writing were never asked for.
    bool all = m_openFiles.size() == m_fileNames.size();
    for (auto it = m_openFiles.cbegin(); it != m_openFiles.cend(); ++it)
        all = swapIn(it.key(), it.value()) && all;
    m_completed = all;
    m_finished = true;
    accept();
}

bool vbUpdate::swapIn(const QString& name, QFile* file)
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

QString vbUpdate::localPath(const QString& name) const
{
    if (m_targetPath.isEmpty())
        return name;
    return m_targetPath + QLatin1Char('/') + name;
}

void vbUpdate::on_btnCancel_clicked()
{
    if (!m_finished) {
        m_finished = true;
        m_ftp->abort();
        removeDownloads();
        QDialog::reject();
    } else {
        accept();
    }
}

void vbUpdate::reject()
{
    on_btnCancel_clicked();
}
