// SDL2_mixer output: samples converted to the device format, pause as stop, resume or play as start.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tundrix {

namespace {

constexpr size_t MAX_SAMPLE_BYTES = size_t{16} << 20;

// Hundredths of a decibel of attenuation as a linear factor.
double attenuation(int hundredthsDb) {
    return std::pow(10.0, -hundredthsDb / 2000.0);
}

// The pan attenuates the opposite side: +10000 silences the left, -10000 the right.
void applyPan(int channel, int pan) {
    uint8_t left = 255, right = 255;
    if (pan > 0) left = static_cast<uint8_t>(std::lround(255 * attenuation(pan)));
    if (pan < 0) right = static_cast<uint8_t>(std::lround(255 * attenuation(-pan)));
    Mix_SetPanning(channel, left, right);
}

// At or beyond this attenuation nothing is heard, and nothing is mixed.
constexpr int SILENT = 10000;

} // namespace

void SdlAudio::applyVolume(int channel, int volume) const {
    const int total = std::max(volume, 0) + std::max(outputAttenuation_, 0);
    Mix_Volume(channel,
               total >= SILENT ? 0 : static_cast<int>(std::lround(MIX_MAX_VOLUME * attenuation(total))));
}

void SdlAudio::setOutputVolume(int attenuation) {
    outputAttenuation_ = std::clamp(attenuation, 0, SILENT);
    if (!open_) return; // the next open's starts take it
    // Every channel at once, the ones playing included.
    applyVolume(SIMPLE_CHANNEL, 0);
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].chunk != nullptr) applyVolume(channelOf(static_cast<BufferId>(i)), slots_[i].volume);
    }
}

SdlAudio::~SdlAudio() {
    close();
}

bool SdlAudio::open() {
    if (open_) return true;
    // Audio is initialised apart from video, so a machine without sound still gets a window.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // No changes allowed: SDL converts the mix to what the hardware takes, so the mix format is known.
    if (Mix_OpenAudioDevice(OUTPUT_FREQUENCY, AUDIO_S16SYS, OUTPUT_CHANNELS, 512, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    // The mixer keeps its device's id to itself; it is the one device of this program that plays.
    deviceId_ = 0;
    for (SDL_AudioDeviceID id = 1; id <= 16 && deviceId_ == 0; ++id)
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) deviceId_ = id;
    deviceRunning_ = true;
    // Mix_Pause records SDL_GetTicks() as its paused mark, and a mark of 0 reads as "not paused":
    // a stop in the very first millisecond after SDL started would be lost.
    while (SDL_GetTicks() == 0)
        SDL_Delay(1);
    open_ = true;
    setMuted(muted_);
    return true;
}

void SdlAudio::setMuted(bool muted) {
    muted_ = muted;
    if (open_) Mix_MasterVolume(muted ? 0 : MIX_MAX_VOLUME);
}

bool SdlAudio::anyChannelPlaying() const {
    const int channels = Mix_AllocateChannels(-1);
    for (int c = 0; c < channels; ++c)
        if (Mix_Playing(c) != 0 && Mix_Paused(c) == 0) return true;
    return false;
}

void SdlAudio::runDevice(bool run) {
    if (!open_ || deviceId_ == 0 || run == deviceRunning_) return;
    SDL_PauseAudioDevice(deviceId_, run ? 0 : 1);
    deviceRunning_ = run;
}

void SdlAudio::pauseWhileSilent() {
    if (open_) runDevice(anyChannelPlaying());
}

void SdlAudio::close() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    for (Slot& slot : slots_)
        free(slot);
    slots_.clear();
    free(simple_);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

bool SdlAudio::load(const PcmFormat& format, std::span<const uint8_t> samples, Slot& slot) {
    if (format.formatTag != 1 || format.channels < 1 || format.channels > 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.samplesPerSec < 1000 || format.samplesPerSec > 192000) return false;
    const size_t frameBytes = size_t{format.channels} * format.bitsPerSample / 8;
    const size_t usable = samples.size() / frameBytes * frameBytes;
    if (usable == 0 || usable > MAX_SAMPLE_BYTES) return false;

    int frequency = 0, channels = 0;
    Uint16 deviceFormat = 0;
    if (Mix_QuerySpec(&frequency, &deviceFormat, &channels) == 0) return false;
    SDL_AudioCVT cvt;
    const SDL_AudioFormat source = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    if (SDL_BuildAudioCVT(&cvt, source, static_cast<Uint8>(format.channels),
                          static_cast<int>(format.samplesPerSec), deviceFormat, static_cast<Uint8>(channels),
                          frequency) < 0)
        return false;
    const size_t capacity = usable * static_cast<size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1);
    auto data = std::make_unique<uint8_t[]>(capacity);
    std::memcpy(data.get(), samples.data(), usable);
    size_t length = usable;
    if (cvt.needed) {
        cvt.buf = data.get();
        cvt.len = static_cast<int>(usable);
        if (SDL_ConvertAudio(&cvt) != 0 || cvt.len_cvt <= 0) return false;
        length = static_cast<size_t>(cvt.len_cvt);
    }
    Mix_Chunk* chunk = Mix_QuickLoad_RAW(data.get(), static_cast<Uint32>(length));
    if (chunk == nullptr) return false;
    slot.samples = std::move(data);
    slot.chunk = chunk;
    return true;
}

void SdlAudio::free(Slot& slot) {
    // Mix_FreeChunk halts any channel still playing the chunk; only then may the samples go.
    if (slot.chunk != nullptr) Mix_FreeChunk(slot.chunk);
    slot.chunk = nullptr;
    slot.samples.reset();
}

SdlAudio::Slot* SdlAudio::slotOf(BufferId id) {
    if (!open_ || id < 0 || static_cast<size_t>(id) >= slots_.size() || slots_[id].chunk == nullptr)
        return nullptr;
    return &slots_[id];
}

AudioOut::BufferId SdlAudio::createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) {
    if (!open_) return NO_BUFFER;
    size_t index = 0;
    while (index < slots_.size() && slots_[index].chunk != nullptr)
        ++index;
    if (index == slots_.size()) slots_.emplace_back();
    if (!load(format, samples, slots_[index])) return NO_BUFFER;
    const BufferId id = static_cast<BufferId>(index);
    // Every buffer has a channel of its own; growing the channel count leaves the playing ones alone.
    if (Mix_AllocateChannels(-1) < channelOf(id) + 1) Mix_AllocateChannels(channelOf(id) + 1);
    return id;
}

void SdlAudio::releaseBuffer(BufferId id) {
    Slot* slot = slotOf(id);
    if (slot == nullptr) return;
    Mix_HaltChannel(channelOf(id));
    free(*slot);
}

bool SdlAudio::isPlaying(BufferId id) {
    if (slotOf(id) == nullptr) return false;
    const int channel = channelOf(id);
    // A paused channel still counts as playing for the mixer; for the game it is stopped.
    return Mix_Playing(channel) != 0 && Mix_Paused(channel) == 0;
}

void SdlAudio::start(BufferId id, bool loop, int pan, int volume) {
    Slot* slot = slotOf(id);
    if (slot == nullptr) return;
    const int channel = channelOf(id);
    const bool busy = Mix_Playing(channel) != 0;
    const bool paused = busy && Mix_Paused(channel) != 0;
    // Playing to the end, halting and Mix_PlayChannel all drop a channel's panning, so it is set right
    // before every start; a channel found idle stays idle until the play below.
    applyPan(channel, pan);
    slot->volume = volume;
    applyVolume(channel, volume);
    if (busy && !paused) return;
    if (paused) {
        Mix_Resume(channel); // continues from where stop paused it
    } else {
        Mix_PlayChannel(channel, slot->chunk, loop ? -1 : 0); // from the beginning
    }
    runDevice(true);
}

void SdlAudio::stop(BufferId id) {
    if (slotOf(id) == nullptr) return;
    const int channel = channelOf(id);
    // Pausing keeps the position; halting would lose it.
    if (Mix_Playing(channel) != 0 && Mix_Paused(channel) == 0) Mix_Pause(channel);
}

void SdlAudio::simplePlay(const PcmFormat& format, std::span<const uint8_t> samples, bool loop) {
    if (!open_) return;
    // One sound at a time: a new one cuts off the old.
    Mix_HaltChannel(SIMPLE_CHANNEL);
    free(simple_);
    if (!load(format, samples, simple_)) return;
    applyVolume(SIMPLE_CHANNEL, 0);
    Mix_PlayChannel(SIMPLE_CHANNEL, simple_.chunk, loop ? -1 : 0);
    runDevice(true);
}

void SdlAudio::simpleStop() {
    if (!open_) return;
    Mix_HaltChannel(SIMPLE_CHANNEL);
    free(simple_);
}

bool SdlAudio::simplePlaying() const {
    return open_ && Mix_Playing(SIMPLE_CHANNEL) != 0;
}

} // namespace tundrix
