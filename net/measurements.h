// The values measured on the player's machine and sent along with a score.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

namespace tundrix {

// The calendar clock in whole seconds; tests replace it so that nothing waits for real seconds.
class CalendarClock {
  public:
    virtual ~CalendarClock() = default;
    virtual int64_t nowSeconds() = 0;
};

class SystemCalendarClock : public CalendarClock {
  public:
    int64_t nowSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
};

// How many clock readings fit into one whole calendar second or so: waits for a fresh second to start,
// then counts readings until the clock has moved on by two. Takes three to four seconds on the real
// clock. A clock stepped backwards ends the counting instead of stalling it; the count saturates.
int32_t processorSpeedCount(CalendarClock& clock);

// The processor description for a processor-type code; codes it does not know (and 0, where the platform
// reports none) give "CPU UNKNOWN".
std::string processorDescription(int processorType = 0);

struct FileIntegrity {
    uint32_t crc = 0;    // CRC-32 of every byte of the file
    uint32_t length = 0; // bytes counted while computing it
};

// CRC-32 and length of a file (the game's own program by default); 0 and 0 if it cannot be opened.
FileIntegrity measureFile(const std::string& path);

} // namespace tundrix
