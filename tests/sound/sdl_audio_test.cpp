// The SDL2_mixer output on SDL's dummy and disk drivers: pause and resume, the channels, real samples out.
#include "platform/sdl_audio.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "wave_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

namespace tundrix {
namespace {

void pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Waits for a condition the mixer thread brings about; the limit is only there so a fault cannot hang.
bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        pause(10);
    }
    return condition();
}

PcmFormat mono8() {
    return PcmFormat{};
}

TEST(SdlAudio, PauseKeepsThePlaceAndAFinishedChannelPlaysAgain) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudio audio;
    ASSERT_TRUE(audio.open());
    EXPECT_TRUE(audio.open()); // already open: nothing changes
    const auto samples = test::squareWave(300);
    const auto id = audio.createBuffer(mono8(), samples);
    ASSERT_NE(id, AudioOut::NO_BUFFER);
    EXPECT_FALSE(audio.isPlaying(id));

    audio.start(id, false, 0, 0);
    EXPECT_TRUE(audio.isPlaying(id));
    audio.stop(id);
    EXPECT_FALSE(audio.isPlaying(id));
    // Stopped is paused, not finished: it stays resumable however long it waits.
    pause(500);
    EXPECT_FALSE(audio.isPlaying(id));
    audio.start(id, false, 0, 0);
    EXPECT_TRUE(audio.isPlaying(id));
    audio.start(id, false, 0, 0); // already playing: left alone
    EXPECT_TRUE(eventually([&] { return !audio.isPlaying(id); }));
    // Played to its end: a start plays it again from the beginning.
    audio.start(id, false, 0, 0);
    EXPECT_TRUE(audio.isPlaying(id));

    // A looping buffer outlasts its length.
    const auto loop = audio.createBuffer(mono8(), test::squareWave(50));
    audio.start(loop, true, 0, 0);
    pause(300);
    EXPECT_TRUE(audio.isPlaying(loop));
    audio.stop(loop);
    EXPECT_FALSE(audio.isPlaying(loop));

    // A released buffer is gone; its id does nothing.
    audio.releaseBuffer(id);
    EXPECT_FALSE(audio.isPlaying(id));
    audio.start(id, false, 0, 0);
    audio.stop(id);
    EXPECT_FALSE(audio.isPlaying(id));
    audio.close();
    EXPECT_FALSE(audio.isPlaying(loop));
}

TEST(SdlAudio, TenSoundsEachHaveAChannelAndPlayTogether) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudio audio;
    MemoryResourceStore store;
    for (uint16_t id : {305, 308, 309, 310, 311, 312, 313, 314, 315, 317})
        store.put(id, test::monoWave(test::squareWave(2000)));
    GameSounds sounds(audio, store);
    ASSERT_TRUE(sounds.device.ready);
    Sound* all[] = {&sounds.rightFigureSound, &sounds.titleTuneSound,  &sounds.playLoopSound1,
                    &sounds.playLoopSound2,   &sounds.bigCaptureSound, &sounds.opponentSound,
                    &sounds.timeWarningSound, &sounds.periodEndSound,  &sounds.refereeCutSound,
                    &sounds.leftFigureSound};
    for (Sound* s : all)
        s->start();
    for (Sound* s : all)
        EXPECT_TRUE(audio.isPlaying(s->buffer)) << s->resourceId;

    // The simple player has a channel of its own and cuts off only itself.
    audio.simplePlay(store.find(314), false);
    EXPECT_TRUE(audio.simplePlaying());
    audio.simplePlay(store.find(312), true);
    EXPECT_TRUE(audio.simplePlaying());
    audio.simpleStop();
    EXPECT_FALSE(audio.simplePlaying());
    for (Sound* s : all)
        EXPECT_TRUE(audio.isPlaying(s->buffer)) << s->resourceId;
}

TEST(SdlAudio, UnplayableFormatsAndAMissingDeviceAreSilent) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudio audio;
    ASSERT_TRUE(audio.open());
    const auto samples = test::squareWave(10);
    PcmFormat adpcm;
    adpcm.formatTag = 2;
    PcmFormat odd;
    odd.bitsPerSample = 12;
    PcmFormat noRate;
    noRate.samplesPerSec = 0;
    PcmFormat stereo16;
    stereo16.channels = 2, stereo16.bitsPerSample = 16, stereo16.blockAlign = 4;
    EXPECT_EQ(audio.createBuffer(adpcm, samples), AudioOut::NO_BUFFER);
    EXPECT_EQ(audio.createBuffer(odd, samples), AudioOut::NO_BUFFER);
    EXPECT_EQ(audio.createBuffer(noRate, samples), AudioOut::NO_BUFFER);
    EXPECT_EQ(audio.createBuffer(mono8(), {}), AudioOut::NO_BUFFER);
    EXPECT_EQ(audio.createBuffer(stereo16, std::vector<uint8_t>{1, 2, 3}),
              AudioOut::NO_BUFFER); // less than a frame
    EXPECT_NE(audio.createBuffer(stereo16, samples), AudioOut::NO_BUFFER);
    audio.simplePlay(std::vector<uint8_t>{'R', 'I', 'F', 'F'}, false);
    EXPECT_FALSE(audio.simplePlaying());
    audio.close();

    // An audio driver that does not exist: no device, and everything is a quiet no-op.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SdlAudio none;
    EXPECT_FALSE(none.open());
    EXPECT_EQ(none.createBuffer(mono8(), samples), AudioOut::NO_BUFFER);
    none.start(0, false, 0, 0);
    none.simplePlay(test::monoWave(samples), false);
    EXPECT_FALSE(none.simplePlaying());
    none.simpleStop();
    MemoryResourceStore store;
    store.put(314, test::monoWave(samples));
    SoundDevice device(none);
    EXPECT_FALSE(device.ready);
    Sound periodEnd(device, store, 314);
    periodEnd.play();
    periodEnd.stop();
    none.close();
}

// The disk driver writes the mixed stream (signed 16-bit stereo at the mix rate) to a file.
class DiskAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = std::filesystem::temp_directory_path() /
                ("tundrix-disk-audio-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove(file_); }

    // Left and right samples of every frame written.
    std::vector<std::pair<int16_t, int16_t>> frames() const {
        std::ifstream in(file_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::pair<int16_t, int16_t>> out(bytes.size() / 4);
        for (size_t i = 0; i < out.size(); ++i) {
            int16_t lr[2];
            std::memcpy(lr, bytes.data() + i * 4, 4);
            out[i] = {lr[0], lr[1]};
        }
        return out;
    }

    std::filesystem::path file_;
};

constexpr int LOUD = 4000;
constexpr int QUIET = 300;

TEST_F(DiskAudio, ASoundReallyComesOutPannedToTheRight) {
    const auto samples = test::squareWave(500);
    {
        SdlAudio audio;
        MemoryResourceStore store;
        store.put(305, test::riff({test::chunk("data", samples), test::chunk("fmt ", test::formatBody())}));
        GameSounds sounds(audio, store);
        ASSERT_TRUE(sounds.device.ready);
        sounds.rightFigureSound.setPan(10000);
        sounds.rightFigureSound.play();
        ASSERT_TRUE(audio.isPlaying(sounds.rightFigureSound.buffer));
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(sounds.rightFigureSound.buffer); }));
        pause(50);
    }
    const auto out = frames();
    ASSERT_FALSE(out.empty());
    size_t loudRight = 0, loudLeft = 0;
    int peakLeft = 0;
    for (auto [l, r] : out) {
        loudRight += std::abs(r) > LOUD ? 1 : 0;
        loudLeft += std::abs(l) > LOUD ? 1 : 0;
        peakLeft = std::max(peakLeft, std::abs(int{l}));
    }
    // Half a second at the mix rate on the right; the left is attenuated by 100 dB.
    const double expected = 0.5 * SdlAudio::OUTPUT_FREQUENCY;
    EXPECT_GT(loudRight, expected * 0.9);
    EXPECT_LT(loudRight, expected * 1.05);
    EXPECT_EQ(loudLeft, 0u);
    EXPECT_LT(peakLeft, QUIET);
}

TEST_F(DiskAudio, StopThenStartResumesRatherThanRestarts) {
    const auto samples = test::squareWave(1000);
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.open());
        const auto id = audio.createBuffer(mono8(), samples);
        ASSERT_NE(id, AudioOut::NO_BUFFER);
        audio.start(id, false, 0, 0);
        pause(300);
        audio.stop(id);
        pause(300);
        audio.start(id, false, 0, 0);
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(id); }));
        pause(50);
    }
    // Two loud stretches with silence between them, together exactly one second long.
    const auto out = frames();
    size_t loud = 0, stretches = 0, quietRun = SIZE_MAX / 2;
    for (auto [l, r] : out) {
        const bool isLoud = std::abs(l) > LOUD || std::abs(r) > LOUD;
        if (isLoud) {
            ++loud;
            if (quietRun > 1000) ++stretches; // a gap longer than a square wave's edges
            quietRun = 0;
        } else {
            ++quietRun;
        }
    }
    const double expected = 1.0 * SdlAudio::OUTPUT_FREQUENCY;
    EXPECT_EQ(stretches, 2u);
    EXPECT_GT(loud, expected * 0.9);
    EXPECT_LT(loud, expected * 1.05);
}

} // namespace
} // namespace tundrix
