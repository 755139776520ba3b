// An audio output for tests: records what plays and models each buffer's position in milliseconds. It takes
// the formats the real output takes and keeps its promises (tests/sound's contract suite runs on both).
#pragma once
#include "platform/audio.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace tundrix::headless {

class FakeAudio : public AudioOut {
  public:
    struct Buffer {
        PcmFormat format;
        std::vector<uint8_t> samples;
        uint32_t lengthMs = 0;
        uint32_t positionMs = 0;
        bool playing = false;
        bool loop = false;
        int starts = 0; // start requests that began or resumed playback
    };
    // A start request that began or resumed playback.
    struct Start {
        bool loop = false;
        int pan = 0;
        uint32_t positionMs = 0; // where it began
    };

    explicit FakeAudio(bool device = true) : deviceAvailable(device) {}

    bool open() override {
        ++opens, calls.push_back("open");
        return isOpen = deviceAvailable;
    }
    void close() override {
        ++closes, calls.push_back("close");
        isOpen = false;
        buffers.clear();
    }
    BufferId createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) override {
        calls.push_back("createBuffer");
        if (!isOpen || failBuffers || !playable(format, samples.size())) return NO_BUFFER;
        Buffer& b = buffers[nextId_];
        b.format = format;
        b.samples.assign(samples.begin(), samples.end());
        b.lengthMs = lengthOf(format, samples.size());
        return nextId_++;
    }
    void releaseBuffer(BufferId id) override {
        buffers.erase(id);
        calls.push_back("releaseBuffer");
    }
    bool isPlaying(BufferId id) override { return buffer(id) && buffer(id)->playing; }
    void start(BufferId id, bool loop, int pan, int) override {
        Buffer* b = buffer(id);
        if (!b) return;
        b->loop = loop;
        if (b->playing) return; // a playing buffer just takes the new settings
        b->playing = true, ++b->starts;
        started.push_back({loop, pan, b->positionMs});
    }
    void stop(BufferId id) override {
        if (Buffer* b = buffer(id)) b->playing = false;
    }
    void setOutputVolume(int) override {}
    void simplePlay(const PcmFormat& format, std::span<const uint8_t> samples, bool loop) override {
        simple = Buffer{};
        simple.format = format;
        simple.samples.assign(samples.begin(), samples.end());
        simple.lengthMs = lengthOf(format, samples.size());
        simple.loop = loop;
        simple.playing = playable(format, samples.size());
        ++simplePlays;
    }
    void simpleStop() override { simple.playing = false; }

    // Lets time pass: playing buffers move on; a one-shot that reaches its end stops and rewinds.
    void advance(uint32_t ms) {
        for (auto& [id, b] : buffers)
            step(b, ms);
        step(simple, ms);
    }
    Buffer* buffer(BufferId id) {
        auto it = buffers.find(id);
        return it == buffers.end() ? nullptr : &it->second;
    }
    int playingCount() const {
        int n = 0;
        for (const auto& [id, b] : buffers)
            n += b.playing ? 1 : 0;
        return n;
    }

    // Settings a test may change before the device is opened or buffers are made.
    bool deviceAvailable;
    bool failBuffers = false;

    bool isOpen = false;
    int opens = 0;
    int closes = 0;
    std::map<BufferId, Buffer> buffers;
    Buffer simple; // the simple player
    std::vector<Start> started;
    int simplePlays = 0;
    std::vector<std::string> calls; // open, close, createBuffer and releaseBuffer in the order they came

  private:
    // PCM, one or two channels of 8 or 16 bits, 1000 to 192000 frames a second, at least one whole frame.
    static size_t frameBytes(const PcmFormat& f) { return size_t{f.channels} * f.bitsPerSample / 8; }
    static bool playable(const PcmFormat& f, size_t bytes) {
        return f.formatTag == 1 && f.channels >= 1 && f.channels <= 2 &&
               (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec >= 1000 &&
               f.samplesPerSec <= 192000 && bytes >= frameBytes(f);
    }
    static uint32_t lengthOf(const PcmFormat& f, size_t bytes) {
        return playable(f, bytes)
                   ? static_cast<uint32_t>(uint64_t{1000} * (bytes / frameBytes(f)) / f.samplesPerSec)
                   : 0;
    }
    static void step(Buffer& b, uint32_t ms) {
        if (!b.playing || b.lengthMs == 0) return;
        const uint64_t pos = uint64_t{b.positionMs} + ms;
        if (b.loop)
            b.positionMs = static_cast<uint32_t>(pos % b.lengthMs);
        else if (pos >= b.lengthMs)
            b.positionMs = 0, b.playing = false;
        else
            b.positionMs = static_cast<uint32_t>(pos);
    }

    BufferId nextId_ = 1;
};

} // namespace tundrix::headless
