#pragma once

#include "vbUploadItem.h"
#include "vbUploadList.h"

#include <QList>

// The decisions of the upload queue, kept apart from the widgets and nodes
// that carry them out.
namespace vbUploadPlan {

constexpr int kMaxInFlight = 3;
constexpr int kMaxListPhotos = vbUploadList::kMaxPhotos;
constexpr int kMaxAlbumPhotos = vbUploadList::kMaxAlbumPhotos;
constexpr int kMaxStepFailures = 5;

// What the tick reads of one photo.
struct NodeView
{
    vbUploadState state = vbUploadState::Waiting;
    int keyFailures = 0;
    int commitFailures = 0;
    bool resultLogged = false;
};

enum class Action
{
    None,
    RequestKey,
    StartTransfer,
    Commit,
    SetFailed,
    LogFailure,
    LogSuccess
};

struct Tick
{
    QList<Action> actions; // one per photo, in list order
    int total = 0;
    int done = 0;
    int uploaded = 0;
    bool finished() const { return done == total; }
};

// One walk over the photos in list order: at most three requesting a key or
// transferring; a key is asked for every prepared photo while fewer than three
// are active, transfers start only up to three.
Tick planTick(const QList<NodeView>& nodes);

// Room left in an album for a run of count photos.
enum class AlbumRoom
{
    Enough, // everything fits
    Full,   // the album is full already
    Partial // only kMaxAlbumPhotos - photoCount fit
};
AlbumRoom albumRoom(int photoCount, int count);

} // namespace vbUploadPlan
