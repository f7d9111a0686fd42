#include "vbSceneState.h"

bool vbSceneState::movedFrom(const vbSceneState& other) const
{
    if (overlays.size() != other.overlays.size())
        return true;
    for (qsizetype i = 0; i < overlays.size(); ++i) {
        if (overlays.at(i).id != other.overlays.at(i).id || overlays.at(i).pos != other.overlays.at(i).pos)
            return true;
    }
    return false;
}
