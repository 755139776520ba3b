// An audio output with no device: the game runs silent, as on a machine without a sound card.
#pragma once
#include "platform/audio.h"

namespace tundrix::headless {

class SilentAudio : public AudioOut {
  public:
    bool open() override { return false; }
    void close() override {}
    BufferId createBuffer(const PcmFormat&, std::span<const uint8_t>) override { return NO_BUFFER; }
    void releaseBuffer(BufferId) override {}
    bool isPlaying(BufferId) override { return false; }
    void start(BufferId, bool, int, int) override {}
    void stop(BufferId) override {}
    void setOutputVolume(int) override {}
    void simplePlay(const PcmFormat&, std::span<const uint8_t>, bool) override {}
    void simpleStop() override {}
};

} // namespace tundrix::headless
