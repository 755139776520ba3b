// The WAVE reader: chunk order, short format records, odd chunks and lengths that run past the data.
#include "sound/wave_reader.h"
#include "wave_test.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tundrix {
namespace {

using test::chunk;
using test::formatBody;
using test::riff;

auto fieldsOf(const PcmFormat& f) {
    return std::tuple(f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign,
                      f.bitsPerSample);
}

TEST(WaveReader, FindsFormatAndDataInEitherOrderPastOddAndOtherChunks) {
    const std::vector<uint8_t> six{1, 2, 3, 4, 5, 6}, five{10, 20, 30, 40, 50}, two{1, 2};
    PcmFormat at11k;
    at11k.samplesPerSec = at11k.avgBytesPerSec = 11025;
    const struct {
        const char* name;
        std::vector<uint8_t> wave, samples;
        uint32_t rate;
    } cases[] = {
        {"usual order", riff({chunk("fmt ", formatBody(11025)), chunk("data", six)}), six, 11025},
        {"data first, past a LIST",
         riff({chunk("LIST", {'I', 'N', 'F', 'O'}), chunk("data", six), chunk("fmt ", formatBody(11025))}),
         six, 11025},
        {"what the writer makes", writeWave(at11k, six), six, 11025},
        // Five samples: the data chunk is followed by a pad byte, then the format; a chunk whose id only
        // begins like the format's is another chunk.
        {"odd chunks", riff({chunk("fmtx", {9, 9, 9}), chunk("data", five), chunk("fmt ", formatBody())}),
         five, 8000},
        // 14 bytes is the bare record: the sample size follows from the block size.
        {"bare format record", riff({chunk("fmt ", formatBody(8000, 14)), chunk("data", two)}), two, 8000},
        // A RIFF length beyond the file is bounded by the bytes present.
        {"RIFF length past the end", riff({chunk("fmt ", formatBody()), chunk("data", two)}, 0xFFFFFFF0), two,
         8000},
        // A data chunk claiming more than is there yields only what is there: the pad byte is the last.
        {"data length past the end",
         riff({chunk("fmt ", formatBody()), chunk("data", {1, 2, 3}, 1000)}),
         {1, 2, 3, 0},
         8000},
    };
    // Every field of the format is written and read back whole, however wide its value.
    const PcmFormat wide{0xFFFE, 0x0102, 0x01020304, 0x05060708, 0x0304, 0x0118};
    WaveData back;
    ASSERT_TRUE(readWave(writeWave(wide, six), back));
    EXPECT_EQ(fieldsOf(back.format), fieldsOf(wide));
    // The writer's RIFF length covers the pad byte of odd data and ends where the file does.
    const std::vector<uint8_t> odd = writeWave(at11k, five);
    EXPECT_EQ(odd.size(), 8u + (odd[4] | odd[5] << 8 | odd[6] << 16 | uint32_t{odd[7]} << 24));
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
    notWave[8] = 'X';
    auto formatCut = riff({chunk("data", {1, 2}), chunk("fmt ", formatBody())});
    formatCut.resize(formatCut.size() - 4);
    const auto shortFormat = chunk("fmt ", formatBody(8000, 12)); // 12 bytes is not a format record
    const struct {
        const char* name;
        std::vector<uint8_t> wave;
    } cases[] = {
        {"empty", {}},
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"no data", riff({chunk("fmt ", formatBody())})},
        {"no format", riff({chunk("data", {1, 2})})},
        {"12-byte format", riff({shortFormat, chunk("data", {1, 2})})},
        {"data, then a 12-byte format", riff({chunk("data", {1, 2}), shortFormat})},
        {"only the first format counts",
         riff({shortFormat, chunk("fmt ", formatBody()), chunk("data", {1, 2})})},
        {"RIFF length ending before the data",
         riff({chunk("fmt ", formatBody()), chunk("data", {1, 2})}, 4 + 24)},
        // The walk jumps beyond the end and stops.
        {"largest chunk length before the format",
         riff({chunk("LIST", {1, 2}, 0xFFFFFFFF), chunk("fmt ", formatBody()), chunk("data", {1})})},
        {"format chunk cut short", formatCut},
    };
    for (const auto& c : cases) {
        WaveData w;
        EXPECT_FALSE(readWave(c.wave, w)) << c.name;
    }
    WaveData w;
    EXPECT_FALSE(readWave(riff({shortFormat, chunk("data", {1, 2})}), w));
    EXPECT_TRUE(w.samples.empty()); // nothing is taken

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
