// The audio device the sound effects play through: per-sound buffers and a simple player.
#pragma once
#include <cstdint>
#include <span>

namespace tundrix {

// The sample format of a WAVE "fmt " chunk.
struct PcmFormat {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t samplesPerSec = 8000;
    uint32_t avgBytesPerSec = 8000;
    uint16_t blockAlign = 1;
    uint16_t bitsPerSample = 8;
};

class AudioOut {
  public:
    using BufferId = int;
    static constexpr BufferId NO_BUFFER = -1;

    virtual ~AudioOut() = default;
    // Opens the default device; false when there is none (the game then runs silent or on the
    // simple player).
    virtual bool open() = 0;
    virtual void close() = 0;

    // A buffer holding the whole sound; NO_BUFFER on failure.
    virtual BufferId createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) = 0;
    virtual void releaseBuffer(BufferId id) = 0;
    virtual bool isPlaying(BufferId id) = 0;
    // Starts from the buffer's current position (its beginning once it has played to the end).
    // pan: -10000 full left .. +10000 full right; volume: hundredths of a decibel of attenuation.
    virtual void start(BufferId id, bool loop, int pan, int volume) = 0;
    // Stops and keeps the position, so a later start resumes there.
    virtual void stop(BufferId id) = 0;
    // The player's volume, hundredths of a decibel of attenuation on top of every sound's own volume
    // (10000 and more is silence): applied at once to the sounds already playing, to every later start
    // and to the simple player, and kept while the device is closed and opened again.
    virtual void setOutputVolume(int attenuation) = 0;

    // One sound at a time, played from its samples in the given format; a new one cuts off the old.
    virtual void simplePlay(const PcmFormat& format, std::span<const uint8_t> samples, bool loop) = 0;
    virtual void simpleStop() = 0;
};

} // namespace tundrix
