// The audio output on SDL2_mixer: one mixer channel per sound buffer, one more for the simple player.
#pragma once
#include "platform/audio.h"

#include <cstdint>
#include <memory>
#include <vector>

struct Mix_Chunk;

namespace tundrix {

class SdlAudio : public AudioOut {
  public:
    // The mixing format asked of SDL; SDL converts to whatever the hardware takes.
    static constexpr int OUTPUT_FREQUENCY = 22050;
    static constexpr int OUTPUT_CHANNELS = 2; // interleaved signed 16-bit, native byte order

    SdlAudio() = default;
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Initialises SDL's audio apart from its video; false (and silence) if that or the mixer fails.
    bool open() override;
    void close() override;
    bool isOpen() const { return open_; }

    BufferId createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) override;
    void releaseBuffer(BufferId id) override;
    bool isPlaying(BufferId id) override;
    void start(BufferId id, bool loop, int pan, int volume) override;
    void stop(BufferId id) override;
    void setOutputVolume(int attenuation) override;

    void simplePlay(const PcmFormat& format, std::span<const uint8_t> samples, bool loop) override;
    void simpleStop() override;
    bool simplePlaying() const;
    // Silences everything that plays (the game paused) or lets it be heard again; kept across reopening.
    void setMuted(bool muted);
    // Pauses the sound device while no sound plays, so that SDL stops mixing silence; starting a sound
    // runs it again at once. The loop calls this once a pass, for the sounds that ended on their own.
    void pauseWhileSilent();

  private:
    // Converted samples and the chunk that plays them. Mix_QuickLoad_RAW neither copies nor frees, so
    // the samples live here until after Mix_FreeChunk.
    struct Slot {
        std::unique_ptr<uint8_t[]> samples;
        Mix_Chunk* chunk = nullptr;
        int volume = 0; // the sound's own, as last started
    };
    static constexpr int SIMPLE_CHANNEL = 0;
    static int channelOf(BufferId id) { return id + 1; }

    bool load(const PcmFormat& format, std::span<const uint8_t> samples, Slot& slot);
    static void free(Slot& slot);
    Slot* slotOf(BufferId id);

    void applyVolume(int channel, int volume) const;
    bool anyChannelPlaying() const;
    void runDevice(bool run);

    bool open_ = false;
    int outputAttenuation_ = 0;
    bool muted_ = false;
    unsigned deviceId_ = 0; // SDL's id of the device the mixer opened; 0 when it was not found
    bool deviceRunning_ = true;
    std::vector<Slot> slots_;
    Slot simple_;
};

} // namespace tundrix
