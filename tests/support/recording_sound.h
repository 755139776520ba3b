// A sound effect for tests that only records what the game asked of it.
#pragma once
#include "sound/sound_effect.h"

#include <string>
#include <vector>

namespace tundrix::test {

class RecordingSound : public SoundEffect {
  public:
    void play() override { calls.push_back("play"), ++plays; }
    void start() override { calls.push_back("start"), ++starts; }
    void stop() override { calls.push_back("stop"); }
    void setPan(int p) override { calls.push_back("pan"), pan = p; }
    void setLoop(bool l) override { calls.push_back("loop"), loop = l; }

    std::vector<std::string> calls;
    int plays = 0;
    int starts = 0;
    int pan = 0;
    bool loop = false;
};

} // namespace tundrix::test
