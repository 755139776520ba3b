// The SDL2_mixer output on SDL's disk driver: the channels, real samples out, the game's loudest mix below
// full scale, the player's volume reaching every sound, the pause's mute and the resting device. Then what
// every audio output promises the game, checked on the tests' fake and on the real output (the disk driver
// writes its mixed stream at the pace of a sound card), so the fake stands for the real thing.
#include "platform/headless/fake_audio.h"
#include "platform/sdl/sdl_audio.h"
#include "resources/embedded_resources.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "sound/volume_level.h"
#include "sound/wave_reader.h"
#include "sound_mix.h"
#include "wave_test.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <tuple>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tundrix {
namespace {

void pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Waits for a condition the mixer thread brings about; the limit is only there so a fault cannot hang.
bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500 && !condition(); ++i)
        pause(10);
    return condition();
}

// The disk driver writes the mixed stream (signed 16-bit stereo at the mix rate) to a file.
class DiskAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove(file_); }

    // The mixed stream from a byte offset on: left and right samples by turns.
    std::vector<int16_t> mixed(uintmax_t from = 0) const {
        std::ifstream in(file_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(from));
        std::vector<int16_t> out;
        for (int16_t v; in.read(reinterpret_cast<char*>(&v), sizeof v);)
            out.push_back(v);
        return out;
    }
    // What came out: frames louder than a square wave's edges on the right, the loud frames of each
    // stretch separated by real silence, and the peaks of the left side and of both.
    struct Output {
        size_t loudRight = 0;
        std::vector<size_t> stretches;
        int peakLeft = 0, peak = 0;
    };
    Output output(uintmax_t from = 0) const {
        Output out;
        size_t quietRun = SIZE_MAX / 2;
        const std::vector<int16_t> m = mixed(from);
        for (size_t i = 0; i + 1 < m.size(); i += 2) {
            const bool left = std::abs(m[i]) > 4000, right = std::abs(m[i + 1]) > 4000;
            out.loudRight += right;
            out.peakLeft = std::max(out.peakLeft, std::abs(int{m[i]}));
            out.peak = std::max({out.peak, out.peakLeft, std::abs(int{m[i + 1]})});
            if ((left || right) && quietRun > 1000) out.stretches.push_back(0); // a gap longer than the edges
            if (left || right) ++out.stretches.back();
            quietRun = left || right ? 0 : quietRun + 1;
        }
        return out;
    }

    const double second = SdlAudio::OUTPUT_FREQUENCY;
    const std::filesystem::path file_ =
        std::filesystem::temp_directory_path() /
        ("tundrix-disk-audio-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
};

TEST_F(DiskAudio, TheTenSoundsHaveAChannelEachAndASoundReallyComesOutPannedToTheRight) {
    uintmax_t from = 0;
    {
        SdlAudio audio;
        MemoryResourceStore store;
        for (uint16_t id : {305, 308, 309, 310, 311, 312, 313, 314, 315, 317})
            store.put(id, test::monoWave(test::squareWave(id == WAVE_RIGHT_FIGURE ? 500 : 2000)));
        GameSounds sounds(audio, store);
        ASSERT_TRUE(sounds.device.ready);
        Sound* all[] = {&sounds.titleTuneSound,  &sounds.playLoopSound1,  &sounds.playLoopSound2,
                        &sounds.bigCaptureSound, &sounds.opponentSound,   &sounds.timeWarningSound,
                        &sounds.periodEndSound,  &sounds.refereeCutSound, &sounds.leftFigureSound};
        for (Sound* s : all)
            s->setPan(-10000), s->start();
        // The simple player has a channel of its own and cuts off only itself.
        audio.simplePlay(PcmFormat{}, test::squareWave(2000), false);
        audio.simplePlay(PcmFormat{}, test::squareWave(1000), true);
        EXPECT_TRUE(audio.simplePlaying());
        audio.simpleStop();
        EXPECT_FALSE(audio.simplePlaying());
        for (Sound* s : all) {
            EXPECT_TRUE(audio.isPlaying(s->buffer));
            s->stop();
        }
        pause(100);
        from = std::filesystem::file_size(file_);
        sounds.rightFigureSound.setPan(10000);
        sounds.rightFigureSound.play();
        ASSERT_TRUE(audio.isPlaying(sounds.rightFigureSound.buffer));
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(sounds.rightFigureSound.buffer); }));
        pause(50);
    }
    // Half a second at the mix rate on the right; the left is attenuated by 100 dB, far below loud.
    const Output out = output(from);
    EXPECT_GT(out.loudRight, 0.5 * second * 0.9);
    EXPECT_LT(out.loudRight, 0.5 * second * 1.05);
    EXPECT_LT(out.peakLeft, 300);
}

TEST_F(DiskAudio, TheLoudestMixTheGameCanMakeStaysBelowFullScale) {
    const EmbeddedResources store;
    {
        // The worst case of play: every sound that can sound at once cut to begin 5 ms before its loudest
        // sample, and all started between two mixes of the device, so every peak lands on the same output
        // sample; first the peaks upward, then downward, twice.
        SdlAudio audio;
        ASSERT_TRUE(audio.open());
        std::vector<AudioOut::BufferId> up, down;
        for (int id : test::PLAY_MIX) {
            WaveData wave;
            ASSERT_TRUE(readWave(store.find(static_cast<uint16_t>(id)), wave));
            const std::span<const uint8_t> s = wave.samples;
            for (auto* set : {&up, &down}) {
                const auto at =
                    set == &up ? std::max_element(s.begin(), s.end()) : std::min_element(s.begin(), s.end());
                const size_t from = static_cast<size_t>(std::max<std::ptrdiff_t>(0, at - s.begin() - 40));
                set->push_back(
                    audio.createBuffer(wave.format, s.subspan(from, std::min<size_t>(800, s.size() - from))));
            }
        }
        for (int round = 0; round < 2; ++round) {
            for (const auto* set : {&up, &down}) {
                for (AudioOut::BufferId id : *set)
                    audio.start(id, false, 0, 0);
                EXPECT_TRUE(eventually([&] {
                    return std::none_of(set->begin(), set->end(),
                                        [&](auto id) { return audio.isPlaying(id); });
                }));
            }
        }
        pause(50);
    }
    // Kept beside the test as a WAVE file, to listen to or measure.
    const std::vector<int16_t> m = mixed();
    const auto* bytes = reinterpret_cast<const uint8_t*>(m.data());
    const PcmFormat stereo16{1, 2, SdlAudio::OUTPUT_FREQUENCY, SdlAudio::OUTPUT_FREQUENCY * 4, 4, 16};
    std::filesystem::create_directories("sounds");
    const std::vector<uint8_t> wave = writeWave(stereo16, {bytes, m.size() * 2});
    std::ofstream("sounds/loudest_mix.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wave.data()), static_cast<std::streamsize>(wave.size()));
    const int loudest = output().peak; // of full scale 32768
    EXPECT_LT(loudest, test::MIX_LIMIT * 32768 * 1.04) << "the limit, with room for the resampler's ripple";
    EXPECT_GT(loudest, test::MIX_LIMIT * 32768 * 0.8) << "the peaks met";
}

TEST_F(DiskAudio, ThePlayersVolumeReachesSoundsPlayingAndStartedLaterAndOutlastsTheDevice) {
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.open());
        const auto tone = audio.createBuffer({}, test::squareWave(100));
        audio.start(tone, true, 0, 0);
        pause(300);
        // Two steps down while the tone plays; then muted, and a new sound and the simple player start
        // muted too; then back to full.
        audio.setOutputVolume(VolumeLevel{2, false}.attenuation());
        pause(300);
        audio.setOutputVolume(VolumeLevel{2, true}.attenuation());
        audio.start(audio.createBuffer({}, test::squareWave(200)), false, 0, 0);
        audio.simplePlay(PcmFormat{}, test::squareWave(200), false);
        pause(300);
        audio.setOutputVolume(VolumeLevel{}.attenuation());
        pause(300);
        audio.stop(tone);
        pause(50);
    }
    // The left side's level in consecutive 20 ms windows.
    std::vector<double> levels;
    const std::vector<int16_t> m = mixed();
    for (size_t at = 0, n = SdlAudio::OUTPUT_FREQUENCY / 50; (at + n) * 2 <= m.size(); at += n) {
        double sum = 0;
        for (size_t k = at; k < at + n; ++k)
            sum += static_cast<double>(m[2 * k]) * m[2 * k];
        levels.push_back(std::sqrt(sum / static_cast<double>(n)));
    }
    ASSERT_GT(levels.size(), 50u);
    const double full = *std::max_element(levels.begin(), levels.end());
    // The stretches in their order, each five 20 ms windows long at least (they last 300 ms, but a busy
    // machine moves their edges): full, two steps down (a quarter, 12 dB), nothing while muted (new sounds
    // included), full again with the same tone.
    size_t i = 0;
    for (double share : {1.0, 0.25, 0.0, 1.0}) {
        const auto at = [&](size_t k) {
            return share == 0 ? levels[k] == 0 : std::abs(levels[k] / full - share) < share * 0.1;
        };
        while (i < levels.size() && !at(i))
            ++i;
        const size_t from = i;
        while (i < levels.size() && at(i))
            ++i;
        EXPECT_GE(i - from, 5u) << share;
    }

    // Chosen while the device is closed, the volume holds for the sounds of the next one.
    std::filesystem::remove(file_);
    {
        SdlAudio audio;
        audio.setOutputVolume(VolumeLevel{0, true}.attenuation());
        ASSERT_TRUE(audio.open());
        const auto tone = audio.createBuffer({}, test::squareWave(200));
        audio.start(tone, false, 0, 0);
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(tone); }));
    }
    EXPECT_EQ(output().peak, 0);
}

// The state of the one sound device the test has open.
SDL_AudioStatus deviceStatus() {
    for (SDL_AudioDeviceID id = 1; id <= 16; ++id)
        if (const SDL_AudioStatus status = SDL_GetAudioDeviceStatus(id); status != SDL_AUDIO_STOPPED)
            return status;
    return SDL_AUDIO_STOPPED;
}

TEST_F(DiskAudio, MutedWhileTheGameIsPausedRestingWhileNothingPlaysAndWokenByTheNextSound) {
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.open());
        const auto id = audio.createBuffer({}, test::squareWave(1000)),
                   next = audio.createBuffer({}, test::squareWave(200));
        ASSERT_NE(next, AudioOut::NO_BUFFER);
        audio.start(id, false, 0, 0);
        audio.pauseWhileSilent();
        EXPECT_EQ(deviceStatus(), SDL_AUDIO_PLAYING) << "a sound plays";
        pause(300);
        audio.setMuted(true);
        pause(300);
        audio.setMuted(false);
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(id); }));
        audio.pauseWhileSilent();
        EXPECT_EQ(deviceStatus(), SDL_AUDIO_PAUSED) << "nothing plays";
        pause(300);
        audio.start(next, false, 0, 0);
        EXPECT_EQ(deviceStatus(), SDL_AUDIO_PLAYING) << "the next sound wakes it at once";
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(next); }));
        pause(50);
    }
    // The first sound went on silently while muted: two loud stretches, together well short of a second.
    // After the rest the next sound came out whole.
    const Output out = output();
    ASSERT_EQ(out.stretches.size(), 3u);
    EXPECT_GT(out.stretches[0] + out.stretches[1], second * 0.55);
    EXPECT_LT(out.stretches[0] + out.stretches[1], second * 0.85);
    EXPECT_GT(out.stretches[2], 0.2 * second * 0.9);
    EXPECT_LT(out.stretches[2], 0.2 * second * 1.05);
}

// An output under test and the way time passes for it: the fake is told, SDL's mixer is waited for.
struct Tested {
    std::unique_ptr<AudioOut> out;
    std::function<void(uint32_t ms)> wait;
};

struct Kind {
    const char* name;
    std::function<Tested(bool withDevice)> make;
};
void PrintTo(const Kind& kind, std::ostream* os) {
    *os << kind.name;
}

const std::filesystem::path MIXED =
    std::filesystem::temp_directory_path() / ("tundrix-contract-" + std::to_string(::getpid()) + ".raw");

Tested fake(bool withDevice) {
    auto audio = std::make_unique<headless::FakeAudio>(withDevice);
    headless::FakeAudio* raw = audio.get();
    return {std::move(audio), [raw](uint32_t ms) { raw->advance(ms); }};
}

// Waits until the disk driver has written ms more of the mixed stream (16-bit stereo).
Tested sdl(bool withDevice) {
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
    Tested o;
};

TEST_P(AudioContract, ASoundPlaysToItsEndOnceAStartThenPlaysItAgainAndAStopKeepsThePlaceForAStart) {
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
    o.out->start(id, false, 0, 0); // from the beginning
    o.wait(400);
    EXPECT_TRUE(playing(id));
    // Stopped, it keeps its place for as long as the stop lasts.
    o.out->stop(id);
    EXPECT_FALSE(playing(id));
    o.wait(800);
    EXPECT_FALSE(playing(id));
    o.out->start(id, false, 0, 0);
    EXPECT_TRUE(playing(id));
    o.wait(350); // the 200 ms left, not 600 again
    EXPECT_FALSE(playing(id));
}

TEST_P(AudioContract, ALoopingSoundOutlastsItsLengthUntilStoppedAndSoundsPlayTogether) {
    const auto loop = tone(100), other = tone(500);
    o.out->start(loop, true, -10000, 0);
    o.out->start(other, false, 10000, 600);
    o.wait(300);
    EXPECT_EQ((std::tuple{playing(loop), playing(other)}), (std::tuple{true, true}));
    o.out->stop(loop);
    EXPECT_EQ((std::tuple{!playing(loop), playing(other)}), (std::tuple{true, true}));
}

TEST_P(AudioContract, AReleasedBufferIsGoneAndClosingStopsEverything) {
    const auto gone = tone(500), kept = tone(500);
    o.out->start(kept, true, 0, 0);
    o.out->releaseBuffer(gone);
    o.out->start(gone, false, 0, 0);
    o.out->stop(gone);
    EXPECT_EQ((std::tuple{!playing(gone), playing(kept)}), (std::tuple{true, true}));
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
        EXPECT_EQ(id != AudioOut::NO_BUFFER, c.plays) << "row " << &c - cases;
    }
}

TEST_P(AudioContract, WithoutADeviceEverythingIsAQuietNoOp) {
    o.out->close();
    Tested absent = GetParam().make(false);
    EXPECT_FALSE(absent.out->open());
    const std::vector<uint8_t> samples(80, 0x40);
    EXPECT_EQ(absent.out->createBuffer(PcmFormat{}, samples), AudioOut::NO_BUFFER);
    absent.out->start(0, false, 0, 0);
    EXPECT_FALSE(absent.out->isPlaying(0));
    absent.out->stop(0), absent.out->setOutputVolume(600),
        absent.out->simplePlay(PcmFormat{}, samples, false);
    absent.out->simpleStop(), absent.out->releaseBuffer(0), absent.out->close();
}

INSTANTIATE_TEST_SUITE_P(Outputs, AudioContract, ::testing::Values(Kind{"fake", fake}, Kind{"sdl", sdl}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tundrix
