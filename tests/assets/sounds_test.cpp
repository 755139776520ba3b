// The embedded WAVE sounds: format, lengths, odd data chunks, a mix that never clips, loops that repeat
// without a click, music layers that fit, and a warning and the feedback layer's sounds that are heard.
#include "resources/embedded_resources.h"
#include "sound/wave_reader.h"
#include "sound_mix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <tuple>
#include <vector>

namespace tundrix {
namespace {

struct SoundEntry {
    int id;
    double seconds;
    bool oddData; // an odd sample count: the data chunk carries a pad byte
};

// clang-format off
constexpr SoundEntry SOUNDS[] = {{305, 0.12, false}, {308, 3.74, false}, {309, 1.98, false}, {310, 1.52, false},
                                 {311, 1.40, false}, {312, 0.21, false}, {313, 1.42, true},  {314, 0.48, true},
                                 {315, 0.34, true},  {317, 0.11, true},  {320, 0.20, false}, {321, 0.42, false},
                                 {322, 1.30, false}};
// clang-format on

int peak(std::span<const uint8_t> s) {
    int p = 0;
    for (uint8_t v : s)
        p = std::max(p, std::abs(static_cast<int>(v) - 128));
    return p;
}

uint32_t le32(std::span<const uint8_t> b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(Sounds, EverySoundIsPcmMono8Bit8000WithItsLength) {
    EmbeddedResources store;
    for (const SoundEntry& entry : SOUNDS) {
        SCOPED_TRACE(entry.id);
        const std::span<const uint8_t> bytes = store.find(entry.id);
        WaveData wave;
        ASSERT_TRUE(readWave(bytes, wave));
        const PcmFormat& f = wave.format; // PCM, mono, 8000 a second, 8 bits
        EXPECT_EQ(std::tuple(f.formatTag, f.channels, f.samplesPerSec, f.bitsPerSample, f.blockAlign),
                  std::tuple(1, 1, 8000u, 8, 1));
        EXPECT_NEAR(static_cast<double>(wave.samples.size()), entry.seconds * 8000, 80); // 10 ms
        EXPECT_GT(peak(wave.samples), 8) << "audible";

        EXPECT_EQ(wave.samples.size() % 2 == 1, entry.oddData);
        // The RIFF length covers the pad byte, and the resource ends right after it.
        const size_t padded = wave.samples.size() + (wave.samples.size() & 1);
        EXPECT_EQ(le32(bytes, 4) + 8, bytes.size());
        EXPECT_EQ(static_cast<size_t>(wave.samples.data() - bytes.data()) + padded, bytes.size());
    }
}

std::vector<int> centred(EmbeddedResources& store, int id) {
    WaveData wave;
    EXPECT_TRUE(readWave(store.find(id), wave)) << id;
    std::vector<int> out;
    for (uint8_t v : wave.samples)
        out.push_back(v - 128);
    return out;
}

// Root mean square over [from, from + count), wrapping around the end as a loop does.
double rms(const std::vector<int>& s, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const double v = s[(from + i) % s.size()];
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(count));
}

// How strongly a frequency sounds in [from, from + count): Goertzel's single-frequency transform.
double strength(const std::vector<int>& s, size_t from, size_t count, double hz) {
    const double w = 2 * M_PI * hz / 8000;
    double a = 0, b = 0;
    for (size_t i = 0; i < count && from + i < s.size(); ++i) {
        const double c = s[from + i] + 2 * std::cos(w) * a - b;
        b = a, a = c;
    }
    return std::sqrt(a * a + b * b - 2 * std::cos(w) * a * b) / static_cast<double>(count);
}

double db(double ratio) {
    return 20 * std::log10(ratio);
}

TEST(Sounds, EverySetThatCanSoundAtOnceStaysBelowFullScaleAndTheCuesStandOutFromTheMusic) {
    EmbeddedResources store;
    const double limit = test::MIX_LIMIT * 128; // in 8-bit steps
    for (std::span<const int> set :
         {std::span<const int>(test::PLAY_MIX), std::span<const int>(test::PLAY_MIX_WITH_CHIME),
          std::span<const int>(test::WON_MIX), std::span<const int>(test::TITLE_MIX)}) {
        // Any two sounds can meet at any offset, so the worst case is every peak on one sample.
        int up = 0, down = 0;
        for (int id : set) {
            const auto s = centred(store, id);
            up += *std::max_element(s.begin(), s.end());
            down -= *std::min_element(s.begin(), s.end());
        }
        EXPECT_LE(up, limit) << set.back();
        EXPECT_LE(down, limit) << set.back();
    }
    // The two play loops drift through each other over a period: mixed at every millisecond of offset.
    const auto beat = centred(store, 309), chord = centred(store, 310);
    int loudest = 0;
    for (size_t offset = 0; offset < chord.size(); offset += 8) {
        for (size_t i = 0; i < beat.size(); ++i)
            loudest = std::max(loudest, std::abs(beat[i] + chord[(i + offset) % chord.size()]));
    }
    EXPECT_LT(loudest, 64) << "the music alone leaves room for the effects";
    EXPECT_GT(loudest, 20) << "and is heard";

    // The warning and the feedback layer's sounds each stand out at a pitch of its own (the warning's first
    // beep, the chime's first tone, the cut's first falling tone, the top of the fanfare's chord), against
    // the music at its worst offset for it.
    struct Cue {
        int id;
        double hz;
        size_t from, length;
        double db;
    };
    for (const Cue& cue : {Cue{313, 988, 200, 1200, 20.0}, Cue{320, 1318.5, 0, 800, 12.0},
                           Cue{321, 698.5, 240, 800, 12.0}, Cue{322, 1318.5, 2400, 800, 12.0}}) {
        SCOPED_TRACE(cue.id);
        double music = 0;
        for (size_t offset = 0; offset < beat.size(); offset += 400) {
            std::vector<int> mix(cue.length);
            for (size_t i = 0; i < cue.length; ++i)
                mix[i] = beat[(offset + i) % beat.size()] + chord[(offset + i) % chord.size()];
            music = std::max(music, strength(mix, 0, cue.length, cue.hz));
        }
        EXPECT_GT(db(strength(centred(store, cue.id), cue.from, cue.length, cue.hz) / music), cue.db);
    }
}

TEST(Sounds, LoopsRepeatWithoutAClickAndTheChordLayerHasNoPulseOfItsOwn) {
    EmbeddedResources store;
    for (int id : {309, 310, 313}) {
        const auto s = centred(store, id);
        int largestStep = 0;
        for (size_t i = 1; i < s.size(); ++i)
            largestStep = std::max(largestStep, std::abs(s[i] - s[i - 1]));
        // The jump from the last sample back to the first is no bigger than any step inside the loop,
        // and the first start comes out of silence.
        EXPECT_LE(std::abs(s.front() - s.back()), largestStep) << id;
        EXPECT_LE(std::abs(s.front()), 2) << id;
    }
    // 309 is the beat: its level swings with every beat. 310 holds a steady level all through its loop,
    // so it never beats against 309 at any offset.
    for (auto [id, steady] : {std::pair{309, false}, std::pair{310, true}}) {
        const auto s = centred(store, id);
        const size_t window = 320; // 40 ms
        double quietest = 1e9, loudest = 0;
        for (size_t from = 0; from < s.size(); from += window / 2) {
            quietest = std::min(quietest, rms(s, from, window));
            loudest = std::max(loudest, rms(s, from, window));
        }
        const double swing = db(loudest / quietest);
        EXPECT_TRUE(steady ? swing < 1.5 : swing > 6.0) << id << " swings by " << swing << " dB";
    }
}

} // namespace
} // namespace tundrix
