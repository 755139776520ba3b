// The SDL2_mixer output on SDL's dummy and disk drivers: pause and resume, the channels, real samples out.
#include "platform/sdl_audio.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "wave_test.h"

#include <gtest/gtest.h>

#include <chrono>
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
    for (int i = 0; i < 500 && !condition(); ++i)
        pause(10);
    return condition();
}

class DummyAudio : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    SdlAudio audio;
};

TEST_F(DummyAudio, PauseKeepsThePlaceAndAFinishedChannelPlaysAgain) {
    ASSERT_TRUE(audio.open());
    EXPECT_TRUE(audio.open()); // already open: nothing changes
    const auto id = audio.createBuffer({}, test::squareWave(300));
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
    const auto loop = audio.createBuffer({}, test::squareWave(50));
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

TEST_F(DummyAudio, TenSoundsEachHaveAChannelAndPlayTogether) {
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

TEST_F(DummyAudio, UnplayableFormatsAndAMissingDeviceAreSilent) {
    ASSERT_TRUE(audio.open());
    const auto samples = test::squareWave(10);
    // ADPCM, 12-bit samples, no rate, no samples, less than one stereo 16-bit frame; then one that plays.
    const PcmFormat adpcm{2, 1, 8000, 8000, 1, 8}, twelveBits{1, 1, 8000, 8000, 1, 12},
        noRate{1, 1, 0, 8000, 1, 8}, stereo16{1, 2, 8000, 32000, 4, 16};
    const std::vector<uint8_t> none, three{1, 2, 3};
    for (auto [format, bytes] : {std::pair{adpcm, &samples},
                                 {twelveBits, &samples},
                                 {noRate, &samples},
                                 {PcmFormat{}, &none},
                                 {stereo16, &three}})
        EXPECT_EQ(audio.createBuffer(format, *bytes), AudioOut::NO_BUFFER) << format.bitsPerSample;
    EXPECT_NE(audio.createBuffer(stereo16, samples), AudioOut::NO_BUFFER);
    audio.simplePlay(std::vector<uint8_t>{'R', 'I', 'F', 'F'}, false);
    EXPECT_FALSE(audio.simplePlaying());
    audio.close();

    // An audio driver that does not exist: no device, and everything is a quiet no-op.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SdlAudio absent;
    EXPECT_FALSE(absent.open());
    EXPECT_EQ(absent.createBuffer({}, samples), AudioOut::NO_BUFFER);
    absent.start(0, false, 0, 0);
    absent.simplePlay(test::monoWave(samples), false);
    EXPECT_FALSE(absent.simplePlaying());
    absent.simpleStop();
    absent.close();
}

// The disk driver writes the mixed stream (signed 16-bit stereo at the mix rate) to a file.
class DiskAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove(file_); }

    // What came out: frames louder than a square wave's edges on each side, the loud stretches
    // separated by real silence, and the left side's peak.
    struct Output {
        size_t loudLeft = 0, loudRight = 0, loud = 0, stretches = 0;
        int peakLeft = 0;
    };
    Output output() const {
        std::ifstream in(file_, std::ios::binary);
        Output out;
        size_t quietRun = SIZE_MAX / 2;
        for (int16_t lr[2]; in.read(reinterpret_cast<char*>(lr), sizeof lr);) {
            const bool left = std::abs(lr[0]) > 4000, right = std::abs(lr[1]) > 4000;
            out.loudLeft += left, out.loudRight += right, out.loud += left || right;
            out.peakLeft = std::max(out.peakLeft, std::abs(int{lr[0]}));
            if ((left || right) && quietRun > 1000) ++out.stretches; // a gap longer than the edges
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

TEST_F(DiskAudio, ASoundReallyComesOutPannedToTheRight) {
    {
        SdlAudio audio;
        MemoryResourceStore store;
        store.put(305, test::riff({test::chunk("data", test::squareWave(500)),
                                   test::chunk("fmt ", test::formatBody())}));
        GameSounds sounds(audio, store);
        ASSERT_TRUE(sounds.device.ready);
        sounds.rightFigureSound.setPan(10000);
        sounds.rightFigureSound.play();
        ASSERT_TRUE(audio.isPlaying(sounds.rightFigureSound.buffer));
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(sounds.rightFigureSound.buffer); }));
        pause(50);
    }
    // Half a second at the mix rate on the right; the left is attenuated by 100 dB.
    const Output out = output();
    EXPECT_GT(out.loudRight, 0.5 * second * 0.9);
    EXPECT_LT(out.loudRight, 0.5 * second * 1.05);
    EXPECT_EQ(out.loudLeft, 0u);
    EXPECT_LT(out.peakLeft, 300);
}

TEST_F(DiskAudio, StopThenStartResumesRatherThanRestarts) {
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.open());
        const auto id = audio.createBuffer({}, test::squareWave(1000));
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
    const Output out = output();
    EXPECT_EQ(out.stretches, 2u);
    EXPECT_GT(out.loud, second * 0.9);
    EXPECT_LT(out.loud, second * 1.05);
}

TEST_F(DiskAudio, MutedWhileTheGameIsPausedAndHeardAgainAfter) {
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.open());
        const auto id = audio.createBuffer({}, test::squareWave(1000));
        ASSERT_NE(id, AudioOut::NO_BUFFER);
        audio.start(id, false, 0, 0);
        pause(300);
        audio.setMuted(true);
        pause(300);
        audio.setMuted(false);
        EXPECT_TRUE(eventually([&] { return !audio.isPlaying(id); }));
        pause(50);
    }
    // The sound went on silently while muted: two loud stretches, together well short of a second.
    const Output out = output();
    EXPECT_EQ(out.stretches, 2u);
    EXPECT_GT(out.loud, second * 0.55);
    EXPECT_LT(out.loud, second * 0.85);
}

} // namespace
} // namespace tundrix
