#pragma once

#include <QList>
#include <QStringList>

class vbUploadItem;

// The photo list as the upload controller sees it.
class vbUploadList
{
public:
    // A photo list holds at most this many photos, and an upload run takes no more.
    static constexpr int kMaxPhotos = 300;
    // An album holds at most this many photos.
    static constexpr int kMaxAlbumPhotos = 500;

    virtual ~vbUploadList() = default;

    // The listed photos in list order.
    virtual QList<vbUploadItem*> uploadItems() const = 0;
    // Removes these photos without asking anyone.
    virtual void removeItems(const QList<vbUploadItem*>& items) = 0;
    virtual void removeUploaded() = 0;
    // Queues the photos for preparation; each ends with sig_preUploadComplete.
    virtual void prepareItems(const QList<vbUploadItem*>& items) = 0;
    // Adds the photos of an earlier run, those whose file exists.
    virtual void restoreFiles(const QStringList& paths) = 0;
};
