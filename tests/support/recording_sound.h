// A sound effect for tests that only records what the game asked of it.
#pragma once
#include "core/sound_effect.h"

namespace tundrix::test {

class RecordingSound : public SoundEffect {
  public:
    void play() override { ++plays; }
    void start() override { ++starts; }
    void stop() override {}
    void setPan(int p) override { pan = p; }
    void setLoop(bool) override {}

    int plays = 0;
    int starts = 0;
    int pan = 0;
};

} // namespace tundrix::test
