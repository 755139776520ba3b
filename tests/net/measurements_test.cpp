// The values measured for a submission: processor speed count, processor text, program file CRC.
#include "net/measurements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace tundrix {
namespace {

// A calendar that moves on one second every `readsPerSecond` readings.
class SteppingCalendar : public CalendarClock {
  public:
    explicit SteppingCalendar(int readsPerSecond) : per_(readsPerSecond) {}
    int64_t nowSeconds() override { return 1000 + reads_++ / per_; }
    int64_t reads() const { return reads_; }

  private:
    int per_;
    int64_t reads_ = 0;
};

// Plays back a fixed list of readings, then stays at the last one plus a steady climb.
class ScriptedCalendar : public CalendarClock {
  public:
    explicit ScriptedCalendar(std::vector<int64_t> values) : values_(std::move(values)) {}
    int64_t nowSeconds() override {
        if (next_ < values_.size()) return values_[next_++];
        return values_.back() + static_cast<int64_t>(++extra_);
    }

  private:
    std::vector<int64_t> values_;
    size_t next_ = 0;
    size_t extra_ = 0;
};

} // namespace

TEST(ProcessorSpeedCount, CountsReadingsOverTheSecondsAfterAFreshSecond) {
    // Readings 0..19 show 1000 and 1001; the wait ends at the first 1002 (reading 20). Reading 21 is
    // t1 = 1002; readings 22..39 show 1002 or 1003 and are counted; reading 40 shows 1004.
    SteppingCalendar calendar(10);
    EXPECT_EQ(processorSpeedCount(calendar), 18);
    EXPECT_EQ(calendar.reads(), 41);

    SteppingCalendar fast(1000);
    EXPECT_EQ(processorSpeedCount(fast), 1998);
}

TEST(ProcessorSpeedCount, AClockSetBackNeitherStallsNorInflatesIt) {
    // Set back an hour while waiting for the fresh second: the wait starts over from the new time.
    ScriptedCalendar backInWait({5000, 5000, 1400, 1400, 1401, 1402, 1402, 1402, 1403, 1404});
    EXPECT_EQ(processorSpeedCount(backInWait), 2);
    // Set back while counting: the count ends there.
    ScriptedCalendar backInCount({5000, 5002, 5002, 5002, 5002, 100});
    EXPECT_EQ(processorSpeedCount(backInCount), 2);
}

TEST(ProcessorDescription, NamesKnownCodesAndOtherwiseUnknown) {
    EXPECT_EQ(processorDescription(), "CPU UNKNOWN");
    EXPECT_EQ(processorDescription(586), "CPU INTEL PENTIUM");
    EXPECT_EQ(processorDescription(21064), "CPU ALPHA 21064");
    EXPECT_EQ(processorDescription(686), "CPU UNKNOWN");
}

TEST(MeasureFile, GivesTheCrc32AndLengthOrZeroes) {
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix_net_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "check.bin").string();
    { std::ofstream(path, std::ios::binary) << "123456789"; }
    const FileIntegrity check = measureFile(path);
    EXPECT_EQ(check.crc, 0xCBF43926u); // the CRC-32 check value
    EXPECT_EQ(check.length, 9u);

    // Larger than one read chunk: the length counts every byte.
    { std::ofstream(path, std::ios::binary) << std::string(200000, 'z'); }
    EXPECT_EQ(measureFile(path).length, 200000u);

    const FileIntegrity missing = measureFile((dir / "absent").string());
    EXPECT_EQ(missing.crc, 0u);
    EXPECT_EQ(missing.length, 0u);

    // The running program can read itself.
    const FileIntegrity self = measureFile("/proc/self/exe");
    EXPECT_EQ(self.length, std::filesystem::file_size("/proc/self/exe"));
    std::filesystem::remove_all(dir);
}

} // namespace tundrix
