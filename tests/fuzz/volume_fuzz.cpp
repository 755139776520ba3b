// Feeds arbitrary bytes to the sound volume file's parser: it must never crash or read out of bounds,
// always give a level within the steps, and whatever it reads must be written back and read the same.
#include "sound/volume_level.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tundrix::VolumeLevel level = tundrix::parseVolume(text);
    if (level.step < 0 || level.step >= tundrix::VolumeLevel::STEPS) std::abort();
    if (tundrix::parseVolume(tundrix::formatVolume(level)) != level) std::abort();
    return 0;
}
