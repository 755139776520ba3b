// Feeds arbitrary bytes to the font check and to the register dialog's field filter: neither may crash
// or read out of bounds, and what the filter keeps is within its length, in the code page, and kept again
// unchanged.
#include "platform/sdl/truetype_check.h"
#include "shell/login_fields.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint32_t> characters = [] {
        std::vector<uint32_t> all{0x20AC, 0x2122, 0x10FFFF};
        for (uint32_t cp = 0x20; cp <= 0xFF; ++cp)
            all.push_back(cp);
        return all;
    }();
    (void)tundrix::checkFont(std::span<const uint8_t>(data, size), characters);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (size_t limit : {tundrix::PASSWORD_MAX, tundrix::USER_NAME_MAX}) {
        const std::string kept = tundrix::fieldText(text, limit);
        if (tundrix::fieldText(kept, limit) != kept) std::abort();
        if (tundrix::clampChars(kept, limit) != kept) std::abort();
    }
    return 0;
}
