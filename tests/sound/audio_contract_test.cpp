// What every audio output promises the game, checked on the tests' fake and on the real SDL2_mixer output
// (SDL's disk driver, whose mixed stream is written at the pace of a sound card), so the fake stands for
// the real thing.
#include "platform/headless/fake_audio.h"
#include "platform/sdl/sdl_audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tundrix {
namespace {

// An output under test and the way time passes for it: the fake is told, SDL's mixer is waited for.
struct Output {
    std::unique_ptr<AudioOut> out;
    std::function<void(uint32_t ms)> wait;
};

struct Kind {
    const char* name;
    std::function<Output(bool withDevice)> make;
};
void PrintTo(const Kind& kind, std::ostream* os) {
    *os << kind.name;
}

const std::filesystem::path MIXED =
    std::filesystem::temp_directory_path() / ("tundrix-contract-" + std::to_string(::getpid()) + ".raw");

Output fake(bool withDevice) {
    auto audio = std::make_unique<headless::FakeAudio>(withDevice);
    headless::FakeAudio* raw = audio.get();
    return {std::move(audio), [raw](uint32_t ms) { raw->advance(ms); }};
}

// Waits until the disk driver has written ms more of the mixed stream (16-bit stereo).
Output sdl(bool withDevice) {
    setenv("SDL_AUDIODRIVER", withDevice ? "disk" : "no-such-driver", 1);
    setenv("SDL_DISKAUDIOFILE", MIXED.c_str(), 1);
    return {std::make_unique<SdlAudio>(), [](uint32_t ms) {
                const auto written = [] {
                    std::error_code e;
                    return std::filesystem::file_size(MIXED, e);
                };
                const uintmax_t until = written() + uintmax_t{ms} * SdlAudio::OUTPUT_FREQUENCY * 4 / 1000;
                for (int i = 0; i < 2000 && written() < until; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }};
}

struct AudioContract : ::testing::TestWithParam<Kind> {
    void SetUp() override {
        o = GetParam().make(true);
        ASSERT_TRUE(o.out->open());
    }
    void TearDown() override {
        o.out->close();
        std::filesystem::remove(MIXED);
    }
    // Mono 8-bit samples at 8000 a second, ms long.
    AudioOut::BufferId tone(uint32_t ms) {
        return o.out->createBuffer(PcmFormat{}, std::vector<uint8_t>(size_t{ms} * 8, 0xC0));
    }
    bool playing(AudioOut::BufferId id) { return o.out->isPlaying(id); }
    Output o;
};

TEST_P(AudioContract, ASoundPlaysToItsEndOnceAndAStartThenPlaysItAgainFromTheBeginning) {
    const auto id = tone(600);
    ASSERT_NE(id, AudioOut::NO_BUFFER);
    EXPECT_FALSE(playing(id));
    o.out->start(id, false, 0, 0);
    EXPECT_TRUE(playing(id));
    o.wait(400);
    EXPECT_TRUE(playing(id));
    o.out->start(id, false, 0, 0); // still playing: neither restarted nor doubled
    o.wait(400);
    EXPECT_FALSE(playing(id));
    o.out->start(id, false, 0, 0);
    o.wait(400);
    EXPECT_TRUE(playing(id));
}

TEST_P(AudioContract, StopKeepsThePlaceForAsLongAsItLastsAndAStartResumesThere) {
    const auto id = tone(600);
    o.out->start(id, false, 0, 0);
    o.wait(450);
    o.out->stop(id);
    EXPECT_FALSE(playing(id));
    o.wait(800);
    EXPECT_FALSE(playing(id));
    o.out->start(id, false, 0, 0);
    EXPECT_TRUE(playing(id));
    o.wait(350); // the 150 ms left, not 600 again
    EXPECT_FALSE(playing(id));
}

TEST_P(AudioContract, ALoopingSoundOutlastsItsLengthUntilStoppedAndSoundsPlayTogether) {
    const auto loop = tone(100), other = tone(500);
    o.out->start(loop, true, -10000, 0);
    o.out->start(other, false, 10000, 600);
    o.wait(300);
    EXPECT_TRUE(playing(loop));
    EXPECT_TRUE(playing(other));
    o.out->stop(loop);
    EXPECT_FALSE(playing(loop));
    EXPECT_TRUE(playing(other));
}

TEST_P(AudioContract, AReleasedBufferIsGoneAndClosingStopsEverything) {
    const auto gone = tone(500), kept = tone(500);
    o.out->start(kept, true, 0, 0);
    o.out->releaseBuffer(gone);
    o.out->start(gone, false, 0, 0);
    o.out->stop(gone);
    EXPECT_FALSE(playing(gone));
    EXPECT_TRUE(playing(kept));
    o.out->close();
    EXPECT_FALSE(playing(kept));
    EXPECT_EQ(tone(100), AudioOut::NO_BUFFER) << "closed";
    ASSERT_TRUE(o.out->open());
    EXPECT_FALSE(playing(kept)) << "a new device holds none of the old buffers";
    EXPECT_NE(tone(100), AudioOut::NO_BUFFER);
}

TEST_P(AudioContract, OnlyWholeFramesOfPlainPcmArePlayed) {
    const std::vector<uint8_t> samples(80, 0x40), none, three{1, 2, 3};
    const struct {
        PcmFormat format;
        const std::vector<uint8_t>& bytes;
        bool plays;
    } cases[] = {{{2, 1, 8000, 8000, 1, 8}, samples, false},     // ADPCM
                 {{1, 1, 8000, 8000, 1, 12}, samples, false},    // 12-bit samples
                 {{1, 3, 8000, 24000, 3, 8}, samples, false},    // three channels
                 {{1, 1, 0, 8000, 1, 8}, samples, false},        // no rate
                 {{1, 1, 500000, 500000, 1, 8}, samples, false}, // no such rate
                 {{}, none, false},
                 {{1, 2, 8000, 32000, 4, 16}, three, false}, // less than one frame
                 {{1, 2, 8000, 32000, 4, 16}, samples, true},
                 {{1, 1, 44100, 44100, 1, 8}, samples, true}};
    for (const auto& c : cases) {
        const auto id = o.out->createBuffer(c.format, c.bytes);
        EXPECT_EQ(id != AudioOut::NO_BUFFER, c.plays)
            << c.format.formatTag << " " << c.format.channels << " " << c.format.samplesPerSec << " "
            << c.format.bitsPerSample;
    }
}

TEST_P(AudioContract, WithoutADeviceEverythingIsAQuietNoOp) {
    o.out->close();
    Output absent = GetParam().make(false);
    EXPECT_FALSE(absent.out->open());
    const std::vector<uint8_t> samples(80, 0x40);
    EXPECT_EQ(absent.out->createBuffer(PcmFormat{}, samples), AudioOut::NO_BUFFER);
    absent.out->start(0, false, 0, 0);
    EXPECT_FALSE(absent.out->isPlaying(0));
    absent.out->stop(0);
    absent.out->setOutputVolume(600);
    absent.out->simplePlay(PcmFormat{}, samples, false);
    absent.out->simpleStop();
    absent.out->releaseBuffer(0);
    absent.out->close();
}

INSTANTIATE_TEST_SUITE_P(Outputs, AudioContract, ::testing::Values(Kind{"fake", fake}, Kind{"sdl", sdl}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tundrix
