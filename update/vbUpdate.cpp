#include "vbUpdate.h"

#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <climits>

vbUpdate::vbUpdate(const QString& remoteFolder, const QString& targetFolder, const vbEndpoints& endpoints,
                   QWidget* parent)
    : vbKitDialog(parent), m_downloader(new vbUpdateDownloader(remoteFolder, targetFolder, endpoints, this))
{
    setupUi();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    title->setTitle(tr("Updating"));
    setWindowTitle(title->title());
    progressBar->setValue(0);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbUpdate::on_btnCancel_clicked);
    // Closing from the title bar must stop the transfer like Cancel does.
    connect(title, &vbTitleBar::Closed, this, &vbUpdate::on_btnCancel_clicked);
    connect(m_downloader, &vbUpdateDownloader::sig_stateChanged, this, &vbUpdate::showState);
    connect(m_downloader, &vbUpdateDownloader::sig_progress, this, &vbUpdate::showProgress);
    m_downloader->start();
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

void vbUpdate::showState(vbUpdateDownloader::State state)
{
    switch (state) {
    case vbUpdateDownloader::Checking:
    case vbUpdateDownloader::Cancelled:
        break;
    case vbUpdateDownloader::Downloading:
        lblStatus->setText(tr("Download files"));
        break;
    case vbUpdateDownloader::NothingToDownload:
        lblStatus->setText(tr("No files to download.Click cancel to continue!"));
        accept();
        break;
    case vbUpdateDownloader::Complete:
        lblStatus->setText(tr("Download Complete"));
        accept();
        break;
    case vbUpdateDownloader::Failed: {
        lblStatus->setText(tr("Download failed!"));
        // The user acknowledges the failure with OK and the dialog closes; the
        // box is opened, not executed, so no FTP signal arrives in a nested loop.
        auto* box = new vbMessageBox(8, tr("Tips"), tr("Download failed!"), this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(box, &QDialog::finished, this, [this] { done(1); });
        box->open();
        break;
    }
    }
}

void vbUpdate::showProgress(qint64 done, qint64 total)
{
    // Totals above 2 GiB are scaled down into the bar's int range.
    int shift = 0;
    while ((total >> shift) > INT_MAX)
        ++shift;
    if (progressBar->maximum() != int(total >> shift))
        progressBar->setRange(0, int(total >> shift));
    progressBar->setValue(int(done >> shift));
}

void vbUpdate::on_btnCancel_clicked()
{
    if (!m_downloader->isFinished()) {
        m_downloader->cancel();
        QDialog::reject();
    } else {
        accept();
    }
}

void vbUpdate::reject()
{
    on_btnCancel_clicked();
}
