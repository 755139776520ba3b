// Processor speed count, processor description and the program file's CRC-32.
#include "net/measurements.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace tundrix {

int32_t processorSpeedCount(CalendarClock& clock) {
    // Wait until a new second has fully begun, so the counting below starts at a second's edge.
    int64_t t0 = clock.nowSeconds();
    for (int64_t now = clock.nowSeconds(); now <= t0 + 1; now = clock.nowSeconds()) {
        if (now < t0) t0 = now; // the clock was set back: wait from there
    }
    const int64_t t1 = clock.nowSeconds();
    int64_t count = 0;
    for (int64_t now = clock.nowSeconds(); now <= t1 + 1 && now >= t1; now = clock.nowSeconds()) {
        if (++count == INT32_MAX) break;
    }
    return static_cast<int32_t>(count);
}

std::string processorDescription(int processorType) {
    switch (processorType) {
    case 386:
        return "CPU INTEL 386";
    case 486:
        return "CPU INTEL 486";
    case 586:
        return "CPU INTEL PENTIUM";
    case 4000:
        return "CPU MIPS R4000";
    case 21064:
        return "CPU ALPHA 21064";
    default:
        return "CPU UNKNOWN";
    }
}

FileIntegrity measureFile(const std::string& path) {
    FileIntegrity result;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return result;
    std::vector<unsigned char> chunk(64 * 1024);
    uLong crc = crc32(0L, Z_NULL, 0);
    uint64_t length = 0;
    for (size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0;) {
        crc = crc32(crc, chunk.data(), static_cast<uInt>(n));
        length += n;
    }
    result.crc = static_cast<uint32_t>(crc);
    result.length = length > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(length);
    return result;
}

} // namespace tundrix
