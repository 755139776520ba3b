// DirectSound buffers started, stopped, panned and restored; the simple player plays a RIFF image built
// from the samples, scaled to the player's volume.
#include "platform/win32/win32_audio.h"

#include <mmsystem.h>

#include <dsound.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tundrix {

namespace {
constexpr int SILENT = -DSBVOLUME_MIN; // 100 dB of attenuation

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}
} // namespace

Win32Audio::Win32Audio(HWND window) : window_(window) {}

Win32Audio::~Win32Audio() {
    close();
    simpleStop();
    if (device_) device_->Release();
}

bool Win32Audio::open() {
    if (device_) return true;
    // A machine without a device says so at once, every time: asked once per run.
    if (tried_) return false;
    tried_ = true;
    IDirectSound* device = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr)) || !device) return false;
    if (FAILED(device->SetCooperativeLevel(window_, DSSCL_EXCLUSIVE))) {
        device->Release();
        return false;
    }
    device_ = device;
    return true;
}

void Win32Audio::close() {
    for (Slot& slot : slots_) {
        if (slot.buffer) slot.buffer->Release();
        slot = Slot{};
    }
    slots_.clear();
}

Win32Audio::Slot* Win32Audio::slotOf(BufferId id) {
    if (id < 0 || static_cast<size_t>(id) >= slots_.size() || !slots_[id].buffer) return nullptr;
    return &slots_[id];
}

bool Win32Audio::fill(Slot& slot) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    const auto size = static_cast<DWORD>(slot.samples.size());
    if (FAILED(slot.buffer->Lock(0, size, &first, &firstBytes, &second, &secondBytes, 0))) return false;
    // The locked region may come in two parts.
    const DWORD a = std::min(firstBytes, size);
    std::memcpy(first, slot.samples.data(), a);
    if (second) std::memcpy(second, slot.samples.data() + a, std::min<DWORD>(secondBytes, size - a));
    slot.buffer->Unlock(first, firstBytes, second, secondBytes);
    return true;
}

AudioOut::BufferId Win32Audio::createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) {
    if (!device_ || samples.empty()) return NO_BUFFER;
    WAVEFORMATEX wave{};
    wave.wFormatTag = format.formatTag;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.samplesPerSec;
    wave.nAvgBytesPerSec = format.avgBytesPerSec;
    wave.nBlockAlign = format.blockAlign;
    wave.wBitsPerSample = format.bitsPerSample;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY |
                   DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = static_cast<DWORD>(samples.size());
    desc.lpwfxFormat = &wave;
    Slot slot;
    if (FAILED(device_->CreateSoundBuffer(&desc, &slot.buffer, nullptr)) || !slot.buffer) return NO_BUFFER;
    slot.samples.assign(samples.begin(), samples.end());
    if (!fill(slot)) {
        slot.buffer->Release();
        return NO_BUFFER;
    }
    slots_.push_back(std::move(slot));
    return static_cast<BufferId>(slots_.size() - 1);
}

void Win32Audio::releaseBuffer(BufferId id) {
    if (Slot* slot = slotOf(id)) {
        slot->buffer->Release();
        *slot = Slot{};
    }
}

void Win32Audio::restoreIfLost(Slot& slot) {
    DWORD status = 0;
    if (SUCCEEDED(slot.buffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST) &&
        SUCCEEDED(slot.buffer->Restore()))
        fill(slot);
}

bool Win32Audio::isPlaying(BufferId id) {
    Slot* slot = slotOf(id);
    if (!slot) return false;
    restoreIfLost(*slot);
    DWORD status = 0;
    return SUCCEEDED(slot->buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

int Win32Audio::deviceVolume(int ownVolume) const {
    if (muted_) return DSBVOLUME_MIN;
    return -std::clamp(ownVolume + outputAttenuation_, 0, SILENT);
}

void Win32Audio::start(BufferId id, bool loop, int pan, int volume) {
    Slot* slot = slotOf(id);
    if (!slot) return;
    restoreIfLost(*slot);
    slot->volume = volume;
    slot->buffer->SetPan(std::clamp(pan, DSBPAN_LEFT, DSBPAN_RIGHT));
    slot->buffer->SetVolume(deviceVolume(volume));
    slot->buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
}

void Win32Audio::stop(BufferId id) {
    if (Slot* slot = slotOf(id)) slot->buffer->Stop();
}

void Win32Audio::setOutputVolume(int attenuation) {
    outputAttenuation_ = std::max(0, attenuation);
    for (Slot& slot : slots_)
        if (slot.buffer) slot.buffer->SetVolume(deviceVolume(slot.volume));
}

void Win32Audio::setMuted(bool muted) {
    muted_ = muted;
    setOutputVolume(outputAttenuation_);
    if (muted) simpleStop();
}

void Win32Audio::simplePlay(const PcmFormat& format, std::span<const uint8_t> samples, bool loop) {
    simpleStop();
    const int attenuation = muted_ ? SILENT : outputAttenuation_;
    if (attenuation >= SILENT || samples.empty()) return;
    // PlaySoundA takes a whole RIFF file from memory; the player's volume is applied to the samples.
    const double gain = std::pow(10.0, -attenuation / 2000.0);
    std::vector<uint8_t>& w = simpleWave_;
    w.clear();
    putTag(w, "RIFF");
    put32(w, static_cast<uint32_t>(36 + samples.size()));
    putTag(w, "WAVE");
    putTag(w, "fmt ");
    put32(w, 16);
    put16(w, format.formatTag);
    put16(w, format.channels);
    put32(w, format.samplesPerSec);
    put32(w, format.avgBytesPerSec);
    put16(w, format.blockAlign);
    put16(w, format.bitsPerSample);
    putTag(w, "data");
    put32(w, static_cast<uint32_t>(samples.size()));
    if (format.bitsPerSample == 8) {
        for (uint8_t s : samples)
            w.push_back(static_cast<uint8_t>(std::lround(128.0 + (s - 128.0) * gain)));
    } else if (format.bitsPerSample == 16) {
        for (size_t i = 0; i + 1 < samples.size(); i += 2) {
            const auto s = static_cast<int16_t>(samples[i] | (samples[i + 1] << 8));
            put16(w, static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * gain))));
        }
    } else {
        w.insert(w.end(), samples.begin(), samples.end());
    }
    PlaySoundA(reinterpret_cast<LPCSTR>(w.data()), nullptr,
               SND_MEMORY | SND_ASYNC | SND_NODEFAULT | (loop ? SND_LOOP : 0));
}

void Win32Audio::simpleStop() {
    // Stopped before its memory is touched again.
    PlaySoundA(nullptr, nullptr, 0);
}

} // namespace tundrix
