// Sound effects over the fake output: with a device (buffers, never doubled, resume) and without (the simple
// player), the world's ten sounds built and torn down in order, sounds that cannot play kept silent; the
// player's volume with its text in the settings file; and the WAVE reader: chunk order, short format
// records, odd chunks and lengths that run past the data.
#include "platform/headless/fake_audio.h"
#include "resources/memory_store.h"
#include "sound/game_sounds.h"
#include "sound/volume_level.h"
#include "sound/wave_reader.h"
#include "wave_test.h"

#include <gtest/gtest.h>

#include <string_view>
#include <tuple>

namespace tundrix {
namespace {

using headless::FakeAudio;
using test::chunk;
using test::formatBody;
using test::riff;

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
        for (Sound* s : {&sounds.playLoopSound1, &sounds.playLoopSound2, &sounds.timeWarningSound,
                         &sounds.titleTuneSound, &sounds.bigCaptureSound, &sounds.rightFigureSound})
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
    EXPECT_EQ((std::tuple{!sounds.device.ready, audio.buffers.empty()}), (std::tuple{true, true}));
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
    EXPECT_EQ(std::tuple(audio.simple.samples.size(), audio.simple.loop, audio.simplePlays),
              std::tuple(1680u, false, 3));
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
        store.put(310, riff({chunk("fmt ", formatBody(8000, 12)), chunk("data", {1, 2})}));
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
        EXPECT_EQ((std::tuple{audio.started.empty(), audio.simplePlays == 0, audio.buffers.empty()}),
                  (std::tuple{true, true, true}))
            << device;
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
    EXPECT_EQ((std::tuple{audio.started.size() == 1, audio.isPlaying(fine.buffer)}),
              (std::tuple{true, true}));
}

TEST(VolumeLevel, StartsAtFullVolumeStepsDownByHalvesMuteKeepsTheStepAndTheSettingsTextReadsBack) {
    VolumeLevel level;
    EXPECT_EQ(level.attenuation(), 0);
    EXPECT_EQ(level.louder(), level) << "already full";
    for (int i = 0; i < 10; ++i)
        level = level.quieter();
    EXPECT_EQ(std::tuple(level.step, level.attenuation()),
              std::tuple(VolumeLevel::STEPS - 1, (VolumeLevel::STEPS - 1) * 600));
    const VolumeLevel muted = level.toggledMute();
    EXPECT_EQ(muted.attenuation(), VolumeLevel::SILENT);
    EXPECT_EQ(muted.louder().attenuation(), VolumeLevel::SILENT) << "a step does not unmute";
    EXPECT_EQ(muted.louder().toggledMute().attenuation(), (VolumeLevel::STEPS - 2) * 600);
    EXPECT_EQ(VolumeLevel{}.withStep(-3).step, 0);
    for (auto [step, label] : {std::pair{0, "100 %"}, {1, "50 %"}, {3, "13 %"}})
        EXPECT_EQ(VolumeLevel::stepLabel(step), label);

    // The settings text reads back, and anything else gives full volume.
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

auto fieldsOf(const PcmFormat& f) {
    return std::tuple(f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign,
                      f.bitsPerSample);
}

TEST(WaveReader, FindsFormatAndDataInEitherOrderPastOddAndOtherChunks) {
    const std::vector<uint8_t> six{1, 2, 3, 4, 5, 6}, five{10, 20, 30, 40, 50}, two{1, 2};
    PcmFormat at11k;
    at11k.samplesPerSec = at11k.avgBytesPerSec = 11025;
    // clang-format off
    const struct { const char* name; std::vector<uint8_t> wave, samples; uint32_t rate; } cases[] = {
        {"usual order", riff({chunk("fmt ", formatBody(11025)), chunk("data", six)}), six, 11025},
        {"data first, past a LIST",
         riff({chunk("LIST", {'I', 'N', 'F', 'O'}), chunk("data", six), chunk("fmt ", formatBody(11025))}),
         six, 11025},
        {"what the writer makes", writeWave(at11k, six), six, 11025},
        // Five samples: the data chunk is followed by a pad byte, then the format; a chunk whose id only
        // begins like the format's or the data's is another chunk.
        {"odd chunks",
         riff({chunk("fmtx", {9, 9, 9}), chunk("datx", {7}), chunk("data", five),
               chunk("fmt ", formatBody())}),
         five, 8000},
        // 14 bytes is the bare record: the sample size follows from the block size.
        {"bare format record", riff({chunk("fmt ", formatBody(8000, 14)), chunk("data", two)}), two, 8000},
        // A RIFF length beyond the file is bounded by the bytes present.
        {"RIFF length past the end", riff({chunk("fmt ", formatBody()), chunk("data", two)}, 0xFFFFFFF0), two,
         8000},
        // A data chunk claiming more than is there yields only what is there: the pad byte is the last.
        {"data length past the end", riff({chunk("fmt ", formatBody()), chunk("data", {1, 2, 3}, 1000)}),
         {1, 2, 3, 0}, 8000},
        {"an empty data chunk, last", riff({chunk("fmt ", formatBody()), chunk("data", {})}), {}, 8000},
    };
    // clang-format on
    // Every field of the format is written and read back whole, however wide its value.
    const PcmFormat wide{0xFFFE, 0x0102, 0x01020304, 0x05060708, 0x0304, 0x0118};
    WaveData back;
    ASSERT_TRUE(readWave(writeWave(wide, six), back));
    EXPECT_EQ(fieldsOf(back.format), fieldsOf(wide));
    // A bare format record without channels gives no sample size.
    EXPECT_TRUE(readWave(riff({chunk("fmt ", formatBody(8000, 14, 0)), chunk("data", two)}), back) &&
                back.format.bitsPerSample == 0);
    // The writer's RIFF length covers the pad byte (a zero) of odd data and ends where the file does.
    const std::vector<uint8_t> odd = writeWave(at11k, five);
    EXPECT_EQ(std::tuple(odd.size(), odd.back()),
              std::tuple(8u + (odd[4] | odd[5] << 8 | odd[6] << 16 | uint32_t{odd[7]} << 24), 0));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.wave.size() % 2, 0u);
        WaveData w;
        ASSERT_TRUE(readWave(c.wave, w));
        EXPECT_EQ(std::vector<uint8_t>(w.samples.begin(), w.samples.end()), c.samples);
        PcmFormat expected;
        expected.samplesPerSec = expected.avgBytesPerSec = c.rate;
        EXPECT_EQ(fieldsOf(w.format), fieldsOf(expected));
    }
}

TEST(WaveReader, RejectsBrokenFilesAndNeverReadsPastTheBytes) {
    const auto good = riff({chunk("fmt ", formatBody()), chunk("data", {1})});
    auto notRiff = good, notWave = good;
    notRiff[0] = 'X';
    notWave[11] = 'X'; // "WAVX"
    auto formatCut = riff({chunk("data", {1, 2}), chunk("fmt ", formatBody())});
    formatCut.resize(formatCut.size() - 4);
    const auto shortFormat = chunk("fmt ", formatBody(8000, 12)); // 12 bytes is not a format record
    // clang-format off
    const struct { const char* name; std::vector<uint8_t> wave; } cases[] = {
        {"empty", {}}, {"not RIFF", notRiff}, {"not WAVE", notWave}, {"no data", riff({chunk("fmt ", formatBody())})},
        {"no format", riff({chunk("data", {1, 2})})}, {"12-byte format", riff({shortFormat, chunk("data", {1, 2})})},
        {"data, then a 12-byte format", riff({chunk("data", {1, 2}), shortFormat})},
        {"only the first format counts", riff({shortFormat, chunk("fmt ", formatBody()), chunk("data", {1, 2})})},
        {"RIFF length ending before the data", riff({chunk("fmt ", formatBody()), chunk("data", {1, 2})}, 4 + 24)},
        // The walk jumps beyond the end and stops.
        {"largest chunk length before the format",
         riff({chunk("LIST", {1, 2}, 0xFFFFFFFF), chunk("fmt ", formatBody()), chunk("data", {1})})},
        {"format chunk cut short", formatCut},
    };
    // clang-format on
    WaveData w; // kept from case to case: samples found before the fault are not handed out
    for (const auto& c : cases) {
        EXPECT_FALSE(readWave(c.wave, w)) << c.name;
        EXPECT_TRUE(w.samples.empty()) << c.name;
    }

    // Every prefix of a good file is read without stepping past its end (the sanitizer build checks the
    // reads): refused until the last chunk holds the bare 14-byte format record, and the samples found
    // then lie inside the prefix.
    const auto full =
        riff({chunk("LIST", {1, 2, 3}), chunk("data", {1, 2, 3, 4, 5}), chunk("fmt ", formatBody())});
    for (size_t n = 0; n <= full.size(); ++n) {
        std::vector<uint8_t> prefix(full.begin(), full.begin() + static_cast<ptrdiff_t>(n));
        ASSERT_EQ(readWave(prefix, w), n >= full.size() - 2) << n;
        if (!w.samples.empty()) {
            EXPECT_GE(w.samples.data(), prefix.data());
            EXPECT_LE(w.samples.data() + w.samples.size(), prefix.data() + prefix.size());
        }
    }
}

} // namespace
} // namespace tundrix
