// What a game world needs from outside it; the shell owns all of these for the whole run.
#pragma once
#include "core/game_rules.h"
#include "input/keyboard_input.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/resource_store.h"
#include "platform/video.h"

namespace tundrix {

struct GameServices {
    Clock& clock;
    KeyboardInput& keyboard;
    const ResourceStore& resources;
    AudioOut& audio;
    VideoOut& video;
    // Counts drawn title frames for the blinking prompt; lives for the whole run, across new games.
    int titleBlink = 0;
    // The way in the player chose; a world keeps the one it was built with to its end.
    PlayMode mode = PlayMode::Original;
};

} // namespace tundrix
