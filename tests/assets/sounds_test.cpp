// The ten embedded WAVE sounds: format, lengths, odd data chunks, and loops that repeat without a click.
#include "resources/embedded_resources.h"
#include "sound/wave_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

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
                                 {315, 0.34, true},  {317, 0.11, true}};
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
        EXPECT_EQ(wave.format.formatTag, 1);
        EXPECT_EQ(wave.format.channels, 1);
        EXPECT_EQ(wave.format.samplesPerSec, 8000u);
        EXPECT_EQ(wave.format.bitsPerSample, 8);
        EXPECT_EQ(wave.format.blockAlign, 1);
        EXPECT_NEAR(static_cast<double>(wave.samples.size()), entry.seconds * 8000, 80); // 10 ms
        EXPECT_GT(peak(wave.samples), 30) << "audible";

        EXPECT_EQ(wave.samples.size() % 2 == 1, entry.oddData);
        // The RIFF length covers the pad byte, and the resource ends right after it.
        const size_t padded = wave.samples.size() + (wave.samples.size() & 1);
        EXPECT_EQ(le32(bytes, 4) + 8, bytes.size());
        EXPECT_EQ(static_cast<size_t>(wave.samples.data() - bytes.data()) + padded, bytes.size());
    }
}

TEST(Sounds, LoopsRepeatWithoutAClickAndThePlayLoopsMixWithoutClipping) {
    EmbeddedResources store;
    std::map<int, int> peaks;
    for (int id : {309, 310, 313}) {
        WaveData wave;
        ASSERT_TRUE(readWave(store.find(id), wave));
        const auto s = wave.samples;
        int largestStep = 0;
        for (size_t i = 1; i < s.size(); ++i)
            largestStep = std::max(largestStep, std::abs(s[i] - s[i - 1]));
        const int wrap = std::abs(static_cast<int>(s.front()) - static_cast<int>(s.back()));
        EXPECT_LE(wrap, 6) << id;
        EXPECT_LE(wrap, largestStep) << id;
        EXPECT_LE(std::abs(s.front() - 128), 4) << id;
        peaks[id] = peak(s);
    }
    // 309 and 310 always play at once: together they stay inside the 8-bit range at any offset.
    EXPECT_LE(peaks[309] + peaks[310], 127);
}

} // namespace
} // namespace tundrix
