// The audio device of one game world and the sound effects that play on it.
#pragma once
#include "core/sound_effect.h"
#include "platform/audio.h"
#include "platform/resource_store.h"
#include "sound/wave_reader.h"

#include <cstdint>

namespace tundrix {

// Opens the platform's audio output for one game world and closes it again with the world. The output
// itself belongs to the shell and outlives every world.
class SoundDevice {
  public:
    explicit SoundDevice(AudioOut& out);
    virtual ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    AudioOut& out() { return out_; }

    // The device opened; false means every sound falls back to the simple player.
    bool ready = false;

  private:
    AudioOut& out_;
};

// One sound effect: a WAVE resource loaded once into its own buffer of the device, or, without a
// device, handed whole to the simple player. Build every Sound after its SoundDevice and destroy it
// before the device.
class Sound : public SoundEffect {
  public:
    Sound(SoundDevice& device, const ResourceStore& resources, uint16_t waveId);
    ~Sound() override;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    void play() override;
    void start() override;
    void stop() override;
    // Clamped to -10000..+10000.
    void setPan(int value) override;
    void setLoop(bool value) override { loop = value; }

    // Hundredths of a decibel of attenuation; 0 is full volume.
    int volume = 0;
    // -10000 full left .. +10000 full right.
    int pan = 0;
    bool loop = false;
    AudioOut::BufferId buffer = AudioOut::NO_BUFFER;

  private:
    bool useDevice_;
    AudioOut& out_;
    // The WAVE parsed: without a device only such a sound goes to the simple player. Its samples point
    // into the resource store, which outlives every sound.
    bool wellFormed_ = false;
    WaveData wave_;
};

} // namespace tundrix
