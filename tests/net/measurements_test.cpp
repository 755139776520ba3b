// The values measured for a submission: processor speed count, processor text, program file CRC.
#include "net/measurements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace tundrix {
namespace {

// Plays back a list of readings, then climbs from the last one by a second every `readsPerSecond`
// readings (counted from the first).
class ScriptedCalendar : public CalendarClock {
  public:
    ScriptedCalendar(std::vector<int64_t> values, int readsPerSecond = 1)
        : values_(std::move(values)), per_(readsPerSecond) {}
    int64_t nowSeconds() override {
        const size_t n = reads++;
        return n < values_.size() ? values_[n]
                                  : values_.back() + static_cast<int64_t>(n + 1 - values_.size()) / per_;
    }
    size_t reads = 0;

  private:
    std::vector<int64_t> values_;
    int per_;
};

} // namespace

TEST(ProcessorSpeedCount, CountsReadingsOverTheSecondsAfterAFreshSecondAndSurvivesAClockSetBack) {
    // Readings 0..19 show 1000 and 1001; the wait ends at the first 1002 (reading 20). Reading 21 is
    // t1 = 1002; readings 22..39 show 1002 or 1003 and are counted; reading 40 shows 1004.
    ScriptedCalendar slow({1000}, 10);
    EXPECT_EQ(processorSpeedCount(slow), 18);
    EXPECT_EQ(slow.reads, 41u);
    ScriptedCalendar fast({1000}, 1000);
    EXPECT_EQ(processorSpeedCount(fast), 1998);

    // Set back an hour while waiting for the fresh second: the wait starts over from the new time.
    ScriptedCalendar backInWait({5000, 5000, 1400, 1400, 1401, 1402, 1402, 1402, 1403, 1404});
    EXPECT_EQ(processorSpeedCount(backInWait), 2);
    // Set back while counting: the count ends there.
    ScriptedCalendar backInCount({5000, 5002, 5002, 5002, 5002, 100});
    EXPECT_EQ(processorSpeedCount(backInCount), 2);
}

TEST(ProcessorDescription, NamesTheKnownProcessorTypes) {
    const std::pair<int, const char*> cases[] = {{386, "CPU INTEL 386"},     {486, "CPU INTEL 486"},
                                                 {586, "CPU INTEL PENTIUM"}, {4000, "CPU MIPS R4000"},
                                                 {21064, "CPU ALPHA 21064"}, {8664, "CPU UNKNOWN"}};
    for (auto [type, text] : cases)
        EXPECT_EQ(processorDescription(type), text);
}

TEST(MeasureFile, GivesTheCrc32AndLengthOrZeroes) {
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix_net_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "check.bin").string();
    { std::ofstream(path, std::ios::binary) << "123456789"; }
    EXPECT_EQ(measureFile(path).crc, 0xCBF43926u); // the CRC-32 check value
    EXPECT_EQ(measureFile(path).length, 9u);
    // Larger than one read chunk: the length counts every byte.
    { std::ofstream(path, std::ios::binary) << std::string(200000, 'z'); }
    EXPECT_EQ(measureFile(path).length, 200000u);
    const FileIntegrity missing = measureFile((dir / "absent").string());
    EXPECT_EQ(missing.crc, 0u);
    EXPECT_EQ(missing.length, 0u);
    // The running program can read itself.
    EXPECT_EQ(measureFile("/proc/self/exe").length, std::filesystem::file_size("/proc/self/exe"));
    std::filesystem::remove_all(dir);
}

} // namespace tundrix
