// Sound effects over the fake output: with a device (buffers, never doubled, resume) and without (simple
// player).
#include "platform/headless/fake_audio.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "wave_test.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tundrix {
namespace {

using headless::FakeAudio;

// The ten sounds with their sample counts (8000 per second); 313, 314, 315 and 317 are odd.
MemoryResourceStore allSounds() {
    const std::pair<uint16_t, size_t> recordings[] = {{305, 960},   {308, 29920}, {309, 15840}, {310, 12160},
                                                      {311, 11200}, {312, 1680},  {313, 11361}, {314, 3841},
                                                      {315, 2721},  {317, 881}};
    MemoryResourceStore store;
    for (auto [id, samples] : recordings)
        store.put(id, test::monoWave(std::vector<uint8_t>(samples, static_cast<uint8_t>(id & 0xFF))));
    return store;
}

struct Rig {
    explicit Rig(bool device = true) : audio(device) {}
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    GameSounds sounds{audio, store};
};

TEST(GameSounds, BuildsTheDeviceThenTenBuffersAndTearsDownInReverse) {
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    {
        GameSounds sounds(audio, store);
        EXPECT_TRUE(sounds.device.ready);
        ASSERT_EQ(audio.buffers.size(), 10u);
        // Built in the order of their WAVE ids with the right figure's last; only the three background
        // loops repeat.
        std::vector<uint16_t> order, looping;
        std::vector<AudioOut::BufferId> ids;
        for (const Sound* s :
             {&sounds.titleTuneSound, &sounds.playLoopSound1, &sounds.playLoopSound2, &sounds.bigCaptureSound,
              &sounds.opponentSound, &sounds.timeWarningSound, &sounds.periodEndSound,
              &sounds.refereeCutSound, &sounds.leftFigureSound, &sounds.rightFigureSound}) {
            order.push_back(s->resourceId);
            ids.push_back(s->buffer);
            if (s->loop) looping.push_back(s->resourceId);
        }
        EXPECT_EQ(order, (std::vector<uint16_t>{308, 309, 310, 311, 312, 313, 314, 315, 317, 305}));
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
        EXPECT_EQ(looping, (std::vector<uint16_t>{309, 310, 313}));
        // Each buffer holds exactly its sound's samples in the WAVE's format.
        ASSERT_NE(audio.buffer(sounds.periodEndSound.buffer), nullptr);
        EXPECT_EQ(audio.buffer(sounds.periodEndSound.buffer)->samples,
                  std::vector<uint8_t>(3841, 314 & 0xFF));
    }
    std::vector<std::string> expected{"open"};
    expected.insert(expected.end(), 10, "createBuffer");
    expected.insert(expected.end(), 10, "releaseBuffer");
    expected.push_back("close");
    EXPECT_EQ(audio.calls, expected);
    // A restart builds it all again on the same output.
    { GameSounds again(audio, store); }
    EXPECT_EQ(audio.opens, 2);
    EXPECT_EQ(audio.closes, 2);
}

TEST(SoundWithDevice, StartNeverDoublesStopResumesAndAFinishedSoundBeginsAgain) {
    Rig rig;
    FakeAudio& audio = rig.audio;
    Sound& loop1 = rig.sounds.playLoopSound1;
    loop1.start();
    audio.advance(500);
    loop1.start(); // still playing: neither restarted nor doubled
    EXPECT_EQ(audio.started.size(), 1u);
    EXPECT_EQ(audio.buffer(loop1.buffer)->positionMs, 500u);
    // A looping sound keeps going past its end until stopped, and resumes where it stopped.
    audio.advance(2000);
    EXPECT_TRUE(audio.isPlaying(loop1.buffer));
    loop1.stop();
    EXPECT_FALSE(audio.isPlaying(loop1.buffer));
    audio.advance(10000);
    loop1.start();
    ASSERT_EQ(audio.started.size(), 2u);
    EXPECT_EQ(audio.started[1].positionMs, 2500u % 1980u);
    EXPECT_TRUE(audio.started[1].loop);

    // play of 314 while it plays is ignored; once it has played to its end it begins again from the start.
    Sound& periodEnd = rig.sounds.periodEndSound;
    periodEnd.play();
    audio.advance(100);
    periodEnd.play();
    EXPECT_EQ(audio.buffer(periodEnd.buffer)->starts, 1);
    EXPECT_EQ(audio.buffer(periodEnd.buffer)->positionMs, 100u);
    audio.advance(400);
    EXPECT_FALSE(audio.isPlaying(periodEnd.buffer));
    periodEnd.play();
    EXPECT_EQ(audio.buffer(periodEnd.buffer)->starts, 2);
    EXPECT_EQ(audio.started.back().positionMs, 0u);
    // Other sounds play alongside: the device mixes them.
    EXPECT_EQ(audio.playingCount(), 2);
    EXPECT_EQ(audio.simplePlays, 0);
}

TEST(SoundWithDevice, PanGoesWithEveryStartAndIsHeldWithinFullLeftAndRight) {
    Rig rig;
    Sound &right = rig.sounds.rightFigureSound, &left = rig.sounds.leftFigureSound;
    right.setPan(25000);
    left.setPan(-10000);
    right.play();
    left.play();
    ASSERT_EQ(rig.audio.started.size(), 2u);
    EXPECT_EQ(rig.audio.started[0].pan, 10000);
    EXPECT_EQ(rig.audio.started[1].pan, -10000);
    // A changed pan reaches the next start.
    rig.audio.advance(1000);
    right.setPan(-3000);
    right.play();
    EXPECT_EQ(rig.audio.started.back().pan, -3000);
}

TEST(SoundWithoutDevice, EverythingGoesThroughTheOneSimplePlayer) {
    Rig rig(false);
    FakeAudio& audio = rig.audio;
    GameSounds& sounds = rig.sounds;
    EXPECT_FALSE(sounds.device.ready);
    EXPECT_TRUE(audio.buffers.empty());
    EXPECT_EQ(sounds.periodEndSound.buffer, AudioOut::NO_BUFFER);
    // Sounds that are only ever started stay silent.
    for (Sound* s :
         {&sounds.titleTuneSound, &sounds.playLoopSound1, &sounds.playLoopSound2, &sounds.timeWarningSound})
        s->start();
    EXPECT_EQ(audio.simplePlays, 0);

    // play hands over the sound's format and samples; playing 314 again restarts it.
    sounds.periodEndSound.play();
    EXPECT_EQ(audio.simple.samples, std::vector<uint8_t>(3841, 314 & 0xFF));
    EXPECT_EQ(audio.simple.format.samplesPerSec, 8000u);
    audio.advance(200);
    sounds.periodEndSound.play();
    EXPECT_TRUE(audio.simple.playing);
    EXPECT_EQ(audio.simple.positionMs, 0u);
    EXPECT_EQ(audio.simplePlays, 2);
    // Another sound cuts 314 off.
    sounds.opponentSound.play();
    EXPECT_EQ(audio.simple.samples, std::vector<uint8_t>(1680, 312 & 0xFF));
    EXPECT_FALSE(audio.simple.loop);
    // Stopping 309, which never sounded, silences the one-shot that is playing.
    sounds.bigCaptureSound.play();
    audio.advance(100);
    ASSERT_TRUE(audio.simple.playing);
    sounds.playLoopSound1.stop();
    EXPECT_FALSE(audio.simple.playing);
    // play of a looping sound asks the simple player to repeat it.
    sounds.timeWarningSound.play();
    EXPECT_TRUE(audio.simple.loop);
    audio.advance(5000);
    EXPECT_TRUE(audio.simple.playing);
}

TEST(SoundLoading, MissingOrMalformedWavesAndRefusedBuffersLeaveSilentSounds) {
    for (bool device : {true, false}) {
        SCOPED_TRACE(device ? "with a device" : "without a device");
        FakeAudio audio(device);
        MemoryResourceStore store;
        store.put(310, test::riff({test::chunk("fmt ", test::formatBody(8000, 12)),
                                   test::chunk("data", {1, 2, 3})}));
        store.put(311, {'R', 'I', 'F', 'F', 0xFF, 0xFF});
        SoundDevice dev(audio);
        Sound missing(dev, store, 309), shortFormat(dev, store, 310), truncated(dev, store, 311);
        for (Sound* s : {&missing, &shortFormat, &truncated}) {
            EXPECT_TRUE(s->loaded);
            EXPECT_EQ(s->buffer, AudioOut::NO_BUFFER);
            s->setLoop(true);
            s->play();
            s->start();
            s->stop();
        }
        EXPECT_TRUE(audio.started.empty());
        EXPECT_EQ(audio.simplePlays, 0);
        EXPECT_TRUE(audio.buffers.empty());
    }
    // The device refuses the buffer: the sound is silent, the others are not affected.
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    SoundDevice dev(audio);
    audio.failBuffers = true;
    Sound refused(dev, store, 314);
    audio.failBuffers = false;
    Sound fine(dev, store, 315);
    refused.play();
    fine.play();
    EXPECT_EQ(refused.buffer, AudioOut::NO_BUFFER);
    EXPECT_EQ(audio.started.size(), 1u);
}

} // namespace
} // namespace tundrix
