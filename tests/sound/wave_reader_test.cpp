// The WAVE reader: chunk order, short format records, odd chunks and lengths that run past the data.
#include "sound/wave_reader.h"
#include "wave_test.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::chunk;
using test::formatBody;
using test::riff;

std::vector<uint8_t> samplesOf(const WaveData& w) {
    return {w.samples.begin(), w.samples.end()};
}

TEST(WaveReader, FindsFormatAndDataInEitherOrderPastOtherChunks) {
    const std::vector<uint8_t> samples{1, 2, 3, 4, 5, 6};
    const auto usual = riff({chunk("fmt ", formatBody(11025)), chunk("data", samples)});
    const auto reversed =
        riff({chunk("LIST", {'I', 'N', 'F', 'O'}), chunk("data", samples), chunk("fmt ", formatBody(11025))});

    WaveData a, b;
    ASSERT_TRUE(readWave(usual, a));
    ASSERT_TRUE(readWave(reversed, b));
    EXPECT_EQ(samplesOf(a), samples);
    EXPECT_EQ(samplesOf(b), samples);
    for (const WaveData* w : {&a, &b}) {
        EXPECT_EQ(w->format.formatTag, 1);
        EXPECT_EQ(w->format.channels, 1);
        EXPECT_EQ(w->format.samplesPerSec, 11025u);
        EXPECT_EQ(w->format.avgBytesPerSec, 11025u);
        EXPECT_EQ(w->format.blockAlign, 1);
        EXPECT_EQ(w->format.bitsPerSample, 8);
    }
    // What the writer makes, the reader reads back.
    WaveData c;
    const auto written = writeWave(a.format, a.samples);
    ASSERT_TRUE(readWave(written, c));
    EXPECT_EQ(samplesOf(c), samples);
    EXPECT_EQ(c.format.samplesPerSec, 11025u);
}

TEST(WaveReader, OddChunksArePaddedAndTheChunkAfterThemIsFound) {
    // Five samples: the data chunk is followed by a pad byte, then the format.
    const std::vector<uint8_t> samples{10, 20, 30, 40, 50};
    const auto wave = riff({chunk("junk", {9, 9, 9}), chunk("data", samples), chunk("fmt ", formatBody())});
    ASSERT_EQ(wave.size() % 2, 0u);
    WaveData w;
    ASSERT_TRUE(readWave(wave, w));
    EXPECT_EQ(samplesOf(w), samples);
    EXPECT_EQ(w.format.bitsPerSample, 8);
}

TEST(WaveReader, ShortFormatRecords) {
    const std::vector<uint8_t> samples{1, 2};
    WaveData w;
    // 12 bytes is not a format record: nothing is taken.
    EXPECT_FALSE(readWave(riff({chunk("fmt ", formatBody(8000, 12)), chunk("data", samples)}), w));
    EXPECT_TRUE(w.samples.empty());
    // The data may come first; the short format still fails.
    EXPECT_FALSE(readWave(riff({chunk("data", samples), chunk("fmt ", formatBody(8000, 12))}), w));
    // 14 bytes is the bare record: the sample size follows from the block size.
    const auto bare = riff({chunk("fmt ", formatBody(8000, 14)), chunk("data", samples)});
    ASSERT_TRUE(readWave(bare, w));
    EXPECT_EQ(w.format.bitsPerSample, 8);
    EXPECT_EQ(samplesOf(w), samples);
    // Only the first format counts.
    EXPECT_FALSE(readWave(
        riff({chunk("fmt ", formatBody(8000, 12)), chunk("fmt ", formatBody()), chunk("data", samples)}), w));
}

TEST(WaveReader, RejectsWrongHeadersAndMissingChunks) {
    WaveData w;
    EXPECT_FALSE(readWave({}, w));
    auto good = riff({chunk("fmt ", formatBody()), chunk("data", {1})});
    auto badRiff = good;
    badRiff[0] = 'X';
    EXPECT_FALSE(readWave(badRiff, w));
    auto badWave = good;
    badWave[8] = 'X';
    EXPECT_FALSE(readWave(badWave, w));
    EXPECT_FALSE(readWave(riff({chunk("fmt ", formatBody())}), w));
    EXPECT_FALSE(readWave(riff({chunk("data", {1, 2})}), w));
    // A RIFF length that ends before the data chunk hides it.
    EXPECT_FALSE(readWave(riff({chunk("fmt ", formatBody()), chunk("data", {1, 2})}, 4 + 24), w));
    // A RIFF length beyond the file is bounded by the bytes present.
    EXPECT_TRUE(readWave(riff({chunk("fmt ", formatBody()), chunk("data", {1, 2})}, 0xFFFFFFF0), w));
}

TEST(WaveReader, LengthsRunningPastTheBytesAreNeverFollowed) {
    WaveData w;
    // A data chunk claiming more than is there yields only what is there.
    auto cut = riff({chunk("fmt ", formatBody()), chunk("data", {1, 2, 3}, 1000)});
    ASSERT_TRUE(readWave(cut, w));
    EXPECT_EQ(samplesOf(w), (std::vector<uint8_t>{1, 2, 3, 0})); // the pad byte is the last byte present
    // A chunk with the largest length before the format: the walk jumps beyond the end and stops.
    EXPECT_FALSE(readWave(
        riff({chunk("LIST", {1, 2}, 0xFFFFFFFF), chunk("fmt ", formatBody()), chunk("data", {1})}), w));
    // A format chunk cut short fails.
    auto shortFormat = riff({chunk("data", {1, 2}), chunk("fmt ", formatBody())});
    shortFormat.resize(shortFormat.size() - 4);
    EXPECT_FALSE(readWave(shortFormat, w));

    // Every prefix of a good file is read without stepping past its end (the sanitizer build checks the
    // reads); the samples found always lie inside the prefix.
    const auto good =
        riff({chunk("LIST", {1, 2, 3}), chunk("data", {1, 2, 3, 4, 5}), chunk("fmt ", formatBody())});
    for (size_t n = 0; n <= good.size(); ++n) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
        if (readWave(prefix, w)) {
            EXPECT_GE(w.samples.data(), prefix.data());
            EXPECT_LE(w.samples.data() + w.samples.size(), prefix.data() + prefix.size());
        }
    }
    EXPECT_TRUE(readWave(good, w));
}

} // namespace
} // namespace tundrix
