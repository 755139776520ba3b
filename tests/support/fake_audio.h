// An audio output for tests: records what plays and models each buffer's position in milliseconds.
#pragma once
#include "platform/audio.h"
#include "sound/wave_reader.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tundrix::test {

class FakeAudio : public AudioOut {
  public:
    struct Buffer {
        PcmFormat format;
        std::vector<uint8_t> samples;
        uint32_t lengthMs = 0;
        uint32_t positionMs = 0;
        bool playing = false;
        bool loop = false;
        int pan = 0;
        int volume = 0;
        int starts = 0; // start requests that began or resumed playback
    };
    struct Event {
        std::string what; // "start", "stop", "simplePlay", "simpleStop"
        BufferId id = NO_BUFFER;
        bool loop = false;
        int pan = 0;
        uint32_t positionMs = 0; // where a start began
        bool operator==(const Event&) const = default;
    };

    // Settings a test may change before the device is opened or buffers are made.
    bool deviceAvailable = true;
    bool failBuffers = false;

    bool open() override {
        ++opens;
        calls.push_back("open");
        isOpen = deviceAvailable;
        return isOpen;
    }
    void close() override {
        ++closes;
        calls.push_back("close");
        isOpen = false;
        buffers.clear();
    }
    BufferId createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) override {
        calls.push_back("createBuffer");
        if (!isOpen || failBuffers || samples.empty() || format.avgBytesPerSec == 0) return NO_BUFFER;
        Buffer b;
        b.format = format;
        b.samples.assign(samples.begin(), samples.end());
        b.lengthMs = static_cast<uint32_t>(uint64_t{1000} * samples.size() / format.avgBytesPerSec);
        buffers[nextId_] = std::move(b);
        return nextId_++;
    }
    void releaseBuffer(BufferId id) override {
        buffers.erase(id);
        ++releases;
        calls.push_back("releaseBuffer");
    }
    bool isPlaying(BufferId id) override {
        auto it = buffers.find(id);
        return it != buffers.end() && it->second.playing;
    }
    void start(BufferId id, bool loop, int pan, int volume) override {
        auto it = buffers.find(id);
        if (it == buffers.end()) return;
        Buffer& b = it->second;
        b.loop = loop, b.pan = pan, b.volume = volume;
        if (b.playing) return; // a playing buffer just takes the new settings
        b.playing = true;
        ++b.starts;
        events.push_back({"start", id, loop, pan, b.positionMs});
    }
    void stop(BufferId id) override {
        auto it = buffers.find(id);
        if (it == buffers.end()) return;
        it->second.playing = false;
        events.push_back({"stop", id, it->second.loop, it->second.pan, it->second.positionMs});
    }
    void simplePlay(std::span<const uint8_t> wave, bool loop) override {
        simpleWave.assign(wave.begin(), wave.end());
        simpleLoop = loop;
        simplePositionMs = 0;
        WaveData parsed;
        simpleLengthMs =
            readWave(simpleWave, parsed) && parsed.format.avgBytesPerSec != 0
                ? static_cast<uint32_t>(uint64_t{1000} * parsed.samples.size() / parsed.format.avgBytesPerSec)
                : 0;
        simplePlaying = simpleLengthMs > 0;
        events.push_back({"simplePlay", NO_BUFFER, loop, 0, 0});
    }
    void simpleStop() override {
        simplePlaying = false;
        events.push_back({"simpleStop", NO_BUFFER, false, 0, 0});
    }

    // Lets time pass: playing buffers move on; a one-shot that reaches its end stops and rewinds.
    void advance(uint32_t ms) {
        for (auto& [id, b] : buffers) {
            if (!b.playing || b.lengthMs == 0) continue;
            uint64_t pos = uint64_t{b.positionMs} + ms;
            if (b.loop) {
                b.positionMs = static_cast<uint32_t>(pos % b.lengthMs);
            } else if (pos >= b.lengthMs) {
                b.positionMs = 0;
                b.playing = false;
            } else {
                b.positionMs = static_cast<uint32_t>(pos);
            }
        }
        if (simplePlaying) {
            uint64_t pos = uint64_t{simplePositionMs} + ms;
            if (simpleLoop) {
                simplePositionMs = static_cast<uint32_t>(pos % simpleLengthMs);
            } else if (pos >= simpleLengthMs) {
                simplePlaying = false;
                simplePositionMs = 0;
            } else {
                simplePositionMs = static_cast<uint32_t>(pos);
            }
        }
    }

    const Buffer* buffer(BufferId id) const {
        auto it = buffers.find(id);
        return it == buffers.end() ? nullptr : &it->second;
    }
    int playingCount() const {
        int n = 0;
        for (const auto& [id, b] : buffers)
            n += b.playing ? 1 : 0;
        return n;
    }

    bool isOpen = false;
    int opens = 0;
    int closes = 0;
    int releases = 0;
    std::map<BufferId, Buffer> buffers;
    std::vector<Event> events;
    // open, close, createBuffer and releaseBuffer in the order they came.
    std::vector<std::string> calls;
    std::vector<uint8_t> simpleWave;
    bool simpleLoop = false;
    bool simplePlaying = false;
    uint32_t simplePositionMs = 0;
    uint32_t simpleLengthMs = 0;

  private:
    BufferId nextId_ = 1;
};

} // namespace tundrix::test
