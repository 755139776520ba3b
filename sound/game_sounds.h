// The audio device and the ten sound effects of one game world, built and destroyed in order.
#pragma once
#include "core/resource_ids.h"
#include "sound/sound.h"

namespace tundrix {

// Members are built top to bottom and destroyed bottom to top, so the device opens before any sound
// loads and closes only after every sound is gone. The three background loops repeat.
struct GameSounds {
    GameSounds(AudioOut& out, const ResourceStore& resources);

    SoundDevice device;
    // In the order of their WAVE ids, the right figure's last.
    Sound titleTuneSound;
    Sound playLoopSound1;
    Sound playLoopSound2;
    Sound bigCaptureSound;
    Sound opponentSound;
    Sound timeWarningSound;
    Sound periodEndSound;
    Sound refereeCutSound;
    Sound leftFigureSound;
    Sound rightFigureSound;
};

} // namespace tundrix
