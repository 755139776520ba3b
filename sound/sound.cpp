// Sound effects: one buffer per WAVE, never doubled, resumed where stopped; the simple player without a
// device.
#include "sound/sound.h"

#include "sound/wave_reader.h"

#include <algorithm>

namespace tundrix {

SoundDevice::SoundDevice(AudioOut& out) : out_(out) {
    ready = out_.open();
}

SoundDevice::~SoundDevice() {
    // Closing the device releases every buffer still made from it.
    if (ready) out_.close();
}

Sound::Sound(SoundDevice& device, const ResourceStore& resources, uint16_t waveId)
    : useDevice_(device.ready), out_(device.out()) {
    // A missing or malformed WAVE leaves the sound silent.
    wellFormed_ = readWave(resources.find(waveId), wave_);
    if (useDevice_ && wellFormed_) buffer = out_.createBuffer(wave_.format, wave_.samples);
}

Sound::~Sound() {
    if (buffer != AudioOut::NO_BUFFER) out_.releaseBuffer(buffer);
}

void Sound::play() {
    if (useDevice_) {
        start();
        return;
    }
    // The simple player takes one sound at a time: this cuts off whatever it was playing.
    if (wellFormed_) out_.simplePlay(wave_.format, wave_.samples, loop);
}

void Sound::start() {
    if (!useDevice_ || buffer == AudioOut::NO_BUFFER) return;
    // A playing sound is neither restarted nor doubled.
    if (out_.isPlaying(buffer)) return;
    // The pan goes with every start: the output applies it right before the buffer plays.
    out_.start(buffer, loop, pan, volume);
}

void Sound::stop() {
    if (useDevice_) {
        if (buffer != AudioOut::NO_BUFFER) out_.stop(buffer);
    } else if (wellFormed_) {
        // The simple player has only one sound: this silences whatever it is playing.
        out_.simpleStop();
    }
}

void Sound::setPan(int value) {
    pan = std::clamp(value, -10000, 10000);
}

} // namespace tundrix
