// Builds the world's device and its ten sounds; the play loops and the time warning repeat.
#include "sound/game_sounds.h"

namespace tundrix {

GameSounds::GameSounds(AudioOut& out, const ResourceStore& resources)
    : device(out), titleTuneSound(device, resources, WAVE_TITLE_TUNE),
      playLoopSound1(device, resources, WAVE_PLAY_LOOP_1),
      playLoopSound2(device, resources, WAVE_PLAY_LOOP_2),
      bigCaptureSound(device, resources, WAVE_BIG_CAPTURE), opponentSound(device, resources, WAVE_OPPONENT),
      timeWarningSound(device, resources, WAVE_TIME_WARNING),
      periodEndSound(device, resources, WAVE_PERIOD_END),
      refereeCutSound(device, resources, WAVE_REFEREE_CUT),
      leftFigureSound(device, resources, WAVE_LEFT_FIGURE),
      rightFigureSound(device, resources, WAVE_RIGHT_FIGURE) {
    playLoopSound1.setLoop(true);
    playLoopSound2.setLoop(true);
    timeWarningSound.setLoop(true);
}

} // namespace tundrix
