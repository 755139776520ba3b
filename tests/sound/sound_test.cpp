// Sound effects over the fake output: with a device (buffers, never doubled, resume) and without (simple
// player).
#include "fake_audio.h"
#include "resources/embedded_resources.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "wave_test.h"

#include <gtest/gtest.h>

#include <memory>

namespace tundrix {
namespace {

using test::FakeAudio;

// The ten sounds at their lengths in milliseconds; 313, 314, 315 and 317 have an odd number of samples.
struct Recording {
    uint16_t id;
    uint32_t samples;
};
constexpr Recording RECORDINGS[] = {{305, 960},  {308, 29920}, {309, 15840}, {310, 12160}, {311, 11200},
                                    {312, 1680}, {313, 11361}, {314, 3841},  {315, 2721},  {317, 881}};

MemoryResourceStore allSounds() {
    MemoryResourceStore store;
    for (const Recording& r : RECORDINGS) {
        std::vector<uint8_t> samples(r.samples, static_cast<uint8_t>(r.id & 0xFF));
        store.put(r.id, test::monoWave(samples));
    }
    return store;
}

std::vector<FakeAudio::Event> eventsOf(const FakeAudio& audio, const std::string& what) {
    std::vector<FakeAudio::Event> out;
    for (const auto& e : audio.events)
        if (e.what == what) out.push_back(e);
    return out;
}

TEST(GameSounds, BuildsTheDeviceThenTenBuffersAndTearsDownInReverse) {
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    {
        GameSounds sounds(audio, store);
        EXPECT_TRUE(sounds.device.ready);
        ASSERT_EQ(audio.buffers.size(), 10u);
        EXPECT_TRUE(sounds.playLoopSound1.loop);
        EXPECT_TRUE(sounds.playLoopSound2.loop);
        EXPECT_TRUE(sounds.timeWarningSound.loop);
        int looping = 0;
        for (const Sound* s : {&sounds.rightFigureSound, &sounds.titleTuneSound, &sounds.bigCaptureSound,
                               &sounds.opponentSound, &sounds.periodEndSound, &sounds.refereeCutSound,
                               &sounds.leftFigureSound})
            looping += s->loop ? 1 : 0;
        EXPECT_EQ(looping, 0);
        EXPECT_EQ(sounds.periodEndSound.resourceId, 314);
        EXPECT_TRUE(sounds.periodEndSound.loaded);
        EXPECT_EQ(sounds.periodEndSound.volume, 0);
        // Each buffer holds exactly its sound's samples in the WAVE's format.
        const auto* b = audio.buffer(sounds.periodEndSound.buffer);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->samples.size(), 3841u);
        EXPECT_EQ(b->format.samplesPerSec, 8000u);
        EXPECT_EQ(b->samples.front(), 314 & 0xFF);
    }
    ASSERT_EQ(audio.calls.size(), 22u);
    EXPECT_EQ(audio.calls.front(), "open");
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(audio.calls[i], "createBuffer");
    for (int i = 11; i <= 20; ++i)
        EXPECT_EQ(audio.calls[i], "releaseBuffer");
    EXPECT_EQ(audio.calls.back(), "close");

    // A restart builds it all again on the same output.
    { GameSounds again(audio, store); }
    EXPECT_EQ(audio.opens, 2);
    EXPECT_EQ(audio.closes, 2);
}

TEST(SoundWithDevice, StartNeverDoublesStopResumesAndAFinishedSoundBeginsAgain) {
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    GameSounds sounds(audio, store);
    Sound& loop1 = sounds.playLoopSound1;

    loop1.start();
    audio.advance(500);
    loop1.start(); // still playing: neither restarted nor doubled
    EXPECT_EQ(eventsOf(audio, "start").size(), 1u);
    EXPECT_EQ(audio.buffer(loop1.buffer)->positionMs, 500u);

    // A looping sound keeps going past its end until stopped, and resumes where it stopped.
    audio.advance(2000);
    EXPECT_TRUE(audio.isPlaying(loop1.buffer));
    loop1.stop();
    EXPECT_FALSE(audio.isPlaying(loop1.buffer));
    audio.advance(10000);
    loop1.start();
    auto starts = eventsOf(audio, "start");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].positionMs, 2500u % 1980u);
    EXPECT_TRUE(starts[1].loop);

    // play of 314 while it plays is ignored; once it has played to its end it begins again from the start.
    Sound& periodEnd = sounds.periodEndSound;
    periodEnd.play();
    audio.advance(100);
    periodEnd.play();
    EXPECT_EQ(audio.buffer(periodEnd.buffer)->starts, 1);
    EXPECT_EQ(audio.buffer(periodEnd.buffer)->positionMs, 100u);
    audio.advance(400);
    EXPECT_FALSE(audio.isPlaying(periodEnd.buffer));
    periodEnd.play();
    EXPECT_EQ(audio.buffer(periodEnd.buffer)->starts, 2);
    EXPECT_EQ(eventsOf(audio, "start").back().positionMs, 0u);
    // Other sounds play alongside: the device mixes them.
    EXPECT_EQ(audio.playingCount(), 2);
    EXPECT_TRUE(audio.simpleWave.empty());
}

TEST(SoundWithDevice, PanGoesWithEveryStart) {
    FakeAudio audio;
    MemoryResourceStore store = allSounds();
    GameSounds sounds(audio, store);
    sounds.rightFigureSound.setPan(10000);
    sounds.leftFigureSound.setPan(-10000);
    sounds.rightFigureSound.play();
    sounds.leftFigureSound.play();
    auto starts = eventsOf(audio, "start");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].pan, 10000);
    EXPECT_EQ(starts[1].pan, -10000);
    // A changed pan reaches the next start; values beyond full left or right are held there.
    audio.advance(1000);
    sounds.rightFigureSound.setPan(25000);
    EXPECT_EQ(sounds.rightFigureSound.pan, 10000);
    sounds.rightFigureSound.setPan(-3000);
    sounds.rightFigureSound.play();
    EXPECT_EQ(eventsOf(audio, "start").back().pan, -3000);
}

TEST(SoundWithoutDevice, EverythingGoesThroughTheOneSimplePlayer) {
    FakeAudio audio;
    audio.deviceAvailable = false;
    MemoryResourceStore store = allSounds();
    GameSounds sounds(audio, store);
    EXPECT_FALSE(sounds.device.ready);
    EXPECT_FALSE(sounds.periodEndSound.useDevice);
    EXPECT_TRUE(audio.buffers.empty());
    EXPECT_EQ(sounds.periodEndSound.buffer, AudioOut::NO_BUFFER);

    // Sounds that are only ever started stay silent.
    for (Sound* s :
         {&sounds.titleTuneSound, &sounds.playLoopSound1, &sounds.playLoopSound2, &sounds.timeWarningSound})
        s->start();
    EXPECT_TRUE(audio.events.empty());

    // play hands over the whole WAVE; playing 314 again restarts it.
    sounds.periodEndSound.play();
    EXPECT_EQ(audio.simpleWave, std::vector<uint8_t>(store.find(314).begin(), store.find(314).end()));
    audio.advance(200);
    sounds.periodEndSound.play();
    EXPECT_TRUE(audio.simplePlaying);
    EXPECT_EQ(audio.simplePositionMs, 0u);
    EXPECT_EQ(eventsOf(audio, "simplePlay").size(), 2u);

    // Another sound cuts 314 off.
    sounds.opponentSound.play();
    EXPECT_EQ(audio.simpleWave, std::vector<uint8_t>(store.find(312).begin(), store.find(312).end()));
    EXPECT_FALSE(audio.simpleLoop);

    // Stopping 309, which never sounded, silences the one-shot that is playing.
    sounds.bigCaptureSound.play();
    audio.advance(100);
    ASSERT_TRUE(audio.simplePlaying);
    sounds.playLoopSound1.stop();
    EXPECT_FALSE(audio.simplePlaying);

    // play of a looping sound asks the simple player to repeat it.
    sounds.timeWarningSound.play();
    EXPECT_TRUE(audio.simpleLoop);
    audio.advance(5000);
    EXPECT_TRUE(audio.simplePlaying);
}

TEST(SoundFailures, MissingOrMalformedWavesAndRefusedBuffersLeaveSilentSounds) {
    for (bool device : {true, false}) {
        SCOPED_TRACE(device ? "with a device" : "without a device");
        FakeAudio audio;
        audio.deviceAvailable = device;
        MemoryResourceStore store;
        store.put(310, test::riff({test::chunk("fmt ", test::formatBody(8000, 12)),
                                   test::chunk("data", {1, 2, 3})}));
        store.put(311, {'R', 'I', 'F', 'F', 0xFF, 0xFF});
        SoundDevice dev(audio);
        Sound missing(dev, store, 309);
        Sound shortFormat(dev, store, 310);
        Sound truncated(dev, store, 311);
        for (Sound* s : {&missing, &shortFormat, &truncated}) {
            EXPECT_TRUE(s->loaded);
            EXPECT_EQ(s->buffer, AudioOut::NO_BUFFER);
            s->setLoop(true);
            s->play();
            s->start();
            s->stop();
        }
        EXPECT_TRUE(audio.events.empty());
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
    EXPECT_EQ(eventsOf(audio, "start").size(), 1u);
}

TEST(SoundLoading, DataBeforeFormatLoadsTheSameAsTheUsualOrder) {
    FakeAudio audio;
    const std::vector<uint8_t> samples{0x80, 0xA0, 0xC0, 0xA0, 0x80, 0x60, 0x40}; // odd: padded
    MemoryResourceStore store;
    store.put(1, test::riff({test::chunk("fmt ", test::formatBody()), test::chunk("data", samples)}));
    store.put(2, test::riff({test::chunk("data", samples), test::chunk("LIST", {1, 2, 3}),
                             test::chunk("fmt ", test::formatBody())}));
    SoundDevice dev(audio);
    Sound usual(dev, store, 1);
    Sound reversed(dev, store, 2);
    const auto* a = audio.buffer(usual.buffer);
    const auto* b = audio.buffer(reversed.buffer);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->samples, samples);
    EXPECT_EQ(b->samples, samples);
    EXPECT_EQ(a->format.samplesPerSec, b->format.samplesPerSec);
    EXPECT_EQ(a->format.bitsPerSample, b->format.bitsPerSample);
}

TEST(GameSounds, TheTenSoundsBuiltIntoTheProgramAllLoad) {
    FakeAudio audio;
    EmbeddedResources resources;
    GameSounds sounds(audio, resources);
    ASSERT_EQ(audio.buffers.size(), 10u);
    for (const auto& [id, b] : audio.buffers) {
        EXPECT_EQ(b.format.formatTag, 1);
        EXPECT_EQ(b.format.channels, 1);
        EXPECT_EQ(b.format.bitsPerSample, 8);
        EXPECT_EQ(b.format.samplesPerSec, 8000u);
        EXPECT_GT(b.lengthMs, 50u);
        EXPECT_LT(b.lengthMs, 4000u);
    }
}

} // namespace
} // namespace tundrix
