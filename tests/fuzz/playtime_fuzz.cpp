// Feeds arbitrary bytes to the play-time and zoom file parsers: they must never crash or read out of bounds,
// and whatever reads as a total must be written back the same.
#include "shell/play_time.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const uint32_t total = tundrix::parsePlayTime(text);
    if (tundrix::parsePlayTime(tundrix::formatPlayTime(total)) != total) std::abort();
    const int zoom = tundrix::parseZoom(text);
    if (zoom < 1 || zoom > 3) std::abort();
    return 0;
}
