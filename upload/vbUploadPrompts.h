#pragma once

#include "vbUploadLogRecord.h"

#include <QString>

class vbUploadItem;

// What the upload controller asks or tells its user. The window answers with
// its dialogs; tests answer from a table.
class vbUploadPrompts
{
public:
    enum class Again
    {
        Yes,
        YesAll,
        No,
        NoAll
    };

    virtual ~vbUploadPrompts() = default;

    // A refusal: the text with an OK button.
    virtual void refuse(const QString& text) = 0;
    // An upload runs: cancel it?
    virtual bool cancelRunningUpload() = 0;
    // The album has room for only room more photos: upload the front ones?
    virtual bool uploadFrontPhotos(int room) = 0;
    // The log has this photo as uploaded before: upload it again?
    virtual Again uploadAgain(vbUploadItem* item) = 0;
    // The program closes with photos listed: keep them for the next start?
    virtual bool uploadNextTime() = 0;
    // A run ended. failures: the photos that failed, with their reasons.
    // True asks for a new upload of the photos still listed.
    virtual bool runEnded(int uploaded, int failed, const UploadLogRecords& failures) = 0;
    // A file could not be saved; wait: the user reads it before anything goes on.
    virtual void saveFailed(const QString& text, bool wait) = 0;
};
