#pragma once

#include "vbEndpoints.h"
#include "vbUploadPrompts.h"

#include <QCoreApplication>

class QWidget;

// The upload queue's questions, answered with the kit's dialogs over the main window.
class vbUploadDialogs : public vbUploadPrompts
{
    Q_DECLARE_TR_FUNCTIONS(vbUploadQueue)
public:
    vbUploadDialogs(const vbEndpoints& endpoints, QWidget* parent) : m_endpoints(endpoints), m_parent(parent)
    {}

    void refuse(const QString& text) override;
    bool cancelRunningUpload() override;
    bool uploadFrontPhotos(int room) override;
    Again uploadAgain(vbUploadItem* item) override;
    bool uploadNextTime() override;
    bool runEnded(int uploaded, int failed, const UploadLogRecords& failures) override;
    void saveFailed(const QString& text, bool wait) override;

private:
    int message(int flags, const QString& text);

    vbEndpoints m_endpoints;
    QWidget* m_parent;
};
