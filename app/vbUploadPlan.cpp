#include "vbUploadPlan.h"

namespace vbUploadPlan {

Tick planTick(const QList<NodeView>& nodes)
{
    Tick tick;
    tick.total = int(nodes.size());
    int active = 0;
    for (const NodeView& node : nodes) {
        if (node.state == vbUploadState::RequestingKey || node.state == vbUploadState::Transferring)
            ++active;
    }
    tick.actions.reserve(nodes.size());
    for (const NodeView& node : nodes) {
        Action action = Action::None;
        switch (node.state) {
        case vbUploadState::Prepared:
            if (active < kMaxInFlight)
                action = Action::RequestKey;
            break;
        case vbUploadState::KeyFailed:
            action = node.keyFailures > kMaxStepFailures ? Action::SetFailed : Action::RequestKey;
            break;
        case vbUploadState::KeyReady:
            if (active < kMaxInFlight) {
                action = Action::StartTransfer;
                ++active;
            }
            break;
        case vbUploadState::Transferred:
            action = Action::Commit;
            break;
        case vbUploadState::CommitFailed:
            action = node.commitFailures > kMaxStepFailures ? Action::SetFailed : Action::Commit;
            break;
        case vbUploadState::Stopped: // left out for want of room: counted, so logged, as failed
        case vbUploadState::Failed:
            if (!node.resultLogged)
                action = Action::LogFailure;
            ++tick.done;
            break;
        case vbUploadState::Uploaded:
            if (!node.resultLogged)
                action = Action::LogSuccess;
            ++tick.done;
            ++tick.uploaded;
            break;
        default: // Waiting, RequestingKey, Transferring, Committing
            break;
        }
        tick.actions.append(action);
    }
    return tick;
}

AlbumRoom albumRoom(int photoCount, int count)
{
    if (photoCount >= kMaxAlbumPhotos)
        return AlbumRoom::Full;
    if (photoCount + count > kMaxAlbumPhotos)
        return AlbumRoom::Partial;
    return AlbumRoom::Enough;
}

} // namespace vbUploadPlan
