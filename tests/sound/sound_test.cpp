// Sound effects over the fake output: with a device (buffers, never doubled, resume) and without (the simple
// player), the world's ten sounds built and torn down in order, sounds that cannot play kept silent, and the
// player's volume with its text in the settings file.
#include "platform/headless/fake_audio.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "sound/volume_level.h"
#include "wave_test.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tundrix {
namespace {

using headless::FakeAudio;

// The ten sounds, each its own length (8000 samples a second) and filled with its id's low byte.
MemoryResourceStore allSounds() {
    MemoryResourceStore store;
    const std::pair<int, size_t> lengths[] = {{305, 960},   {308, 29920}, {309, 15840}, {310, 12160},
                                              {311, 11200}, {312, 1680},  {313, 11361}, {314, 3841},
                                              {315, 2721},  {317, 881}};
    for (auto [id, samples] : lengths)
        store.put(id, test::monoWave(std::vector<uint8_t>(samples, static_cast<uint8_t>(id & 0xFF))));
    return store;
}

TEST(GameSounds, OpenTheDeviceThenMakeABufferForEachSoundInOrderAndTearDownInReverse) {
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    {
        GameSounds sounds(audio, store);
        EXPECT_TRUE(sounds.device.ready);
        std::vector<int> made;
        for (const auto& [id, buffer] : audio.buffers)
            made.push_back(buffer.samples[0] + 256);
        EXPECT_EQ(made, (std::vector<int>{308, 309, 310, 311, 312, 313, 314, 315, 317, 305}));
        EXPECT_EQ(audio.buffer(sounds.periodEndSound.buffer)->samples,
                  std::vector<uint8_t>(3841, 314 & 0xFF));
        // Only the three background loops repeat.
        for (Sound* s : {&sounds.playLoopSound1, &sounds.playLoopSound2, &sounds.timeWarningSound})
            s->play();
        for (Sound* s : {&sounds.titleTuneSound, &sounds.bigCaptureSound, &sounds.rightFigureSound})
            s->play();
        std::vector<bool> loops;
        for (const auto& start : audio.started)
            loops.push_back(start.loop);
        EXPECT_EQ(loops, (std::vector<bool>{true, true, true, false, false, false}));
    }
    std::vector<std::string> expected{"open"};
    expected.insert(expected.end(), 10, "createBuffer");
    expected.insert(expected.end(), 10, "releaseBuffer");
    expected.push_back("close");
    EXPECT_EQ(audio.calls, expected);
}

TEST(Sound, WithADevicePlayStartsItsBufferNeverDoubledResumedWhereStoppedAndPannedWithinTheSides) {
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    GameSounds sounds(audio, store);
    Sound& loop = sounds.playLoopSound1;
    loop.start();
    audio.advance(500);
    loop.start();
    EXPECT_EQ(audio.started.size(), 1u);
    audio.advance(2000);
    loop.stop();
    EXPECT_FALSE(audio.isPlaying(loop.buffer));
    audio.advance(10000);
    loop.play();
    ASSERT_EQ(audio.started.size(), 2u);
    EXPECT_EQ(audio.started[1].positionMs, 2500u % 1980u);
    // Each start takes the pan as it is then, held within full left and full right.
    Sound& right = sounds.rightFigureSound;
    for (auto [pan, sent] : {std::pair{25000, 10000}, {-3000, -3000}, {-12000, -10000}}) {
        right.setPan(pan);
        right.play();
        EXPECT_EQ(audio.started.back().pan, sent) << pan;
        audio.advance(1000);
    }
    EXPECT_EQ(audio.simplePlays, 0);
}

TEST(Sound, WithoutADeviceEverythingGoesThroughTheOneSimplePlayer) {
    FakeAudio audio(false);
    MemoryResourceStore store = allSounds();
    GameSounds sounds(audio, store);
    EXPECT_FALSE(sounds.device.ready);
    EXPECT_TRUE(audio.buffers.empty());
    for (Sound* s : {&sounds.titleTuneSound, &sounds.playLoopSound1, &sounds.timeWarningSound})
        s->start(); // only ever started: silent
    EXPECT_EQ(audio.simplePlays, 0);
    // play hands over the sound's samples; playing it again restarts it; another sound cuts it off.
    sounds.periodEndSound.play();
    audio.advance(200);
    sounds.periodEndSound.play();
    EXPECT_EQ(audio.simple.samples, std::vector<uint8_t>(3841, 314 & 0xFF));
    EXPECT_EQ(audio.simple.positionMs, 0u);
    sounds.opponentSound.play();
    EXPECT_EQ(audio.simple.samples.size(), 1680u);
    EXPECT_FALSE(audio.simple.loop);
    EXPECT_EQ(audio.simplePlays, 3);
    // Stopping any sound silences the one that is playing; a looping sound asks the player to repeat it.
    sounds.playLoopSound1.stop();
    EXPECT_FALSE(audio.simple.playing);
    sounds.timeWarningSound.play();
    EXPECT_TRUE(audio.simple.loop);
}

TEST(Sound, MissingOrMalformedWavesAndRefusedBuffersLeaveSilentSounds) {
    for (bool device : {true, false}) {
        FakeAudio audio(device);
        MemoryResourceStore store;
        store.put(310,
                  test::riff({test::chunk("fmt ", test::formatBody(8000, 12)), test::chunk("data", {1, 2})}));
        store.put(311, {'R', 'I', 'F', 'F', 0xFF, 0xFF});
        SoundDevice dev(audio);
        Sound missing(dev, store, 309), shortFormat(dev, store, 310), truncated(dev, store, 311);
        for (Sound* s : {&missing, &shortFormat, &truncated}) {
            EXPECT_EQ(s->buffer, AudioOut::NO_BUFFER);
            s->setLoop(true);
            s->play();
            s->start();
            s->stop();
        }
        EXPECT_TRUE(audio.started.empty()) << device;
        EXPECT_EQ(audio.simplePlays, 0) << device;
        EXPECT_TRUE(audio.buffers.empty()) << device;
    }
    // The device refuses one buffer: that sound is silent, the others are not affected.
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    SoundDevice dev(audio);
    audio.failBuffers = true;
    Sound refused(dev, store, 314);
    audio.failBuffers = false;
    Sound fine(dev, store, 315);
    refused.play();
    fine.play();
    EXPECT_EQ(audio.started.size(), 1u);
    EXPECT_TRUE(audio.isPlaying(fine.buffer));
}

TEST(VolumeLevel, StartsAtFullVolumeStepsDownByHalvesAndMuteKeepsTheStep) {
    VolumeLevel level;
    EXPECT_EQ(level.attenuation(), 0);
    EXPECT_EQ(level.louder(), level) << "already full";
    for (int i = 0; i < 10; ++i)
        level = level.quieter();
    EXPECT_EQ(level.step, VolumeLevel::STEPS - 1);
    EXPECT_EQ(level.attenuation(), (VolumeLevel::STEPS - 1) * 600);
    const VolumeLevel muted = level.toggledMute();
    EXPECT_EQ(muted.attenuation(), VolumeLevel::SILENT);
    EXPECT_EQ(muted.louder().attenuation(), VolumeLevel::SILENT) << "a step does not unmute";
    EXPECT_EQ(muted.louder().toggledMute().attenuation(), (VolumeLevel::STEPS - 2) * 600);
    EXPECT_EQ(VolumeLevel{}.withStep(-3).step, 0);
    EXPECT_EQ(VolumeLevel::stepLabel(0), "100 %");
    EXPECT_EQ(VolumeLevel::stepLabel(1), "50 %");
    EXPECT_EQ(VolumeLevel::stepLabel(3), "13 %");
}

TEST(VolumeLevel, TheSettingsTextReadsBackAndAnythingElseGivesFullVolume) {
    for (int step = 0; step < VolumeLevel::STEPS; ++step) {
        for (bool muted : {false, true}) {
            const VolumeLevel level{step, muted};
            EXPECT_EQ(parseVolume(formatVolume(level)), level) << formatVolume(level);
        }
    }
    EXPECT_EQ(formatVolume({2, true}), "2 mute\n");
    EXPECT_EQ(formatVolume({9, false}), "3\n") << "kept within the steps";
    EXPECT_EQ(parseVolume(" 1\r\n"), (VolumeLevel{1, false}));
    EXPECT_EQ(parseVolume("3\tmute "), (VolumeLevel{3, true}));
    for (const std::string_view bad :
         {"", "\n", "4", "-1", "12", "1mute", "1 mutex", "1 mute 2", "mute", "x", "\xff"})
        EXPECT_EQ(parseVolume(bad), VolumeLevel{}) << bad;
    EXPECT_EQ(parseVolume(std::string_view("1\0", 2)), VolumeLevel{});
}

} // namespace
} // namespace tundrix
