// The audio device and the ten sound effects of one game world, built and destroyed in order.
#pragma once
#include "sound/sound.h"

namespace tundrix {

constexpr uint16_t WAVE_RIGHT_FIGURE = 305;
constexpr uint16_t WAVE_TITLE_TUNE = 308;
constexpr uint16_t WAVE_PLAY_LOOP_1 = 309;
constexpr uint16_t WAVE_PLAY_LOOP_2 = 310;
constexpr uint16_t WAVE_BIG_CAPTURE = 311;
constexpr uint16_t WAVE_OPPONENT = 312;
constexpr uint16_t WAVE_TIME_WARNING = 313;
constexpr uint16_t WAVE_PERIOD_END = 314;
constexpr uint16_t WAVE_REFEREE_CUT = 315;
constexpr uint16_t WAVE_LEFT_FIGURE = 317;

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
