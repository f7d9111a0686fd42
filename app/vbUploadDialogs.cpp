#include "vbUploadDialogs.h"

#include "KitButtonFlags.h"
#include "vbFileNode.h"
#include "vbMessageBox.h"
#include "vbRequests.h"
#include "vbUploadAgainBox.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"
#include "vbUploadQueue.h"

#include <QDesktopServices>

int vbUploadDialogs::message(int flags, const QString& text)
{
    vbMessageBox box(flags, tr("Tips"), text, m_parent);
    return box.exec();
}

void vbUploadDialogs::refuse(const QString& text)
{
    message(OkButton, text);
}

bool vbUploadDialogs::cancelRunningUpload()
{
    return message(OkButton | CancelButton, tr("It's uploading image.Do you want cancel uploading?")) == 1;
}

bool vbUploadDialogs::uploadFrontPhotos(int room)
{
    return message(OkButton | CancelButton, vbUploadQueue::albumRoomQuestion(room)) == 1;
}

vbUploadPrompts::Again vbUploadDialogs::uploadAgain(vbUploadItem* item)
{
    const auto* node = qobject_cast<vbFileNode*>(item);
    vbUploadAgainBox box(node ? node->thumbnail() : QImage(), item->absoluteFilePath(), m_parent);
    box.exec();
    switch (box.resultValue()) {
    case vbUploadAgainBox::YesAll:
        return Again::YesAll;
    case vbUploadAgainBox::No:
        return Again::No;
    case vbUploadAgainBox::NoAll:
        return Again::NoAll;
    default:
        return Again::Yes;
    }
}

bool vbUploadDialogs::uploadNextTime()
{
    vbMessageBox box(OkButton | CancelButton, tr("Tips"), tr("Do you want upload photos next time?"),
                     m_parent);
    box.setButtonImages(OkButton, QStringLiteral(":/Resources/autoLoad.png"),
                        QStringLiteral(":/Resources/autoLoad_hover.png"));
    box.setButtonImages(CancelButton, QStringLiteral(":/Resources/noLoad.png"),
                        QStringLiteral(":/Resources/noLoad_hover.png"));
    return box.exec() == 1;
}

bool vbUploadDialogs::runEnded(int uploaded, int failed, const UploadLogRecords& failures)
{
    if (failed > 0) {
        vbUploadFailed box(m_parent);
        box.setCounts(uploaded, failed);
        box.setFailures(failures);
        box.exec();
        return box.resultValue() == vbUploadFailed::ReUpload;
    }
    vbUploadComplete box(m_endpoints.webPage(QString()), m_parent);
    box.setUploaded(uploaded);
    box.exec();
    if (box.resultValue() == vbUploadComplete::VisitSite)
        QDesktopServices::openUrl(vbRequests::homePageUrl(m_endpoints));
    return false;
}

void vbUploadDialogs::saveFailed(const QString& text, bool wait)
{
    auto* box = new vbMessageBox(OkButton, tr("Tips"), text, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // During an upload the tick must go on: the box waits beside it.
    if (wait)
        box->exec();
    else
        box->open();
}
