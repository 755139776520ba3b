// The fixed order of a frame of play.
#include "actors/play_frame.h"

namespace tundrix {

bool playFrame(Player& player, ObjectList& figures) {
    player.update();
    updateAll(figures);
    player.check();
    checkAll(figures);
    if (!player.caught) return false;
    player.resetToRaidStart();
    return true;
}

} // namespace tundrix
