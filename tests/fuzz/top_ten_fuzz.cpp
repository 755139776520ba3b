// Feeds arbitrary bytes to the reader of the channel's top ten: never a crash, and what it gives is bounded.
#include "net/top_ten.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto scores = tundrix::parseTopTen(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!scores) return 0;
    if (scores->size() > tundrix::protocol::TOP_TEN_ENTRIES) std::abort();
    for (size_t i = 0; i < scores->size(); ++i) {
        const tundrix::ChannelScore& s = (*scores)[i];
        if (s.name.empty() || s.name.size() > tundrix::TOP_TEN_NAME_MAX_BYTES || s.score < 0) std::abort();
        for (char c : s.name)
            if (static_cast<unsigned char>(c) < 0x20) std::abort();
        if (i > 0 && (*scores)[i - 1].score < s.score) std::abort();
    }
    return 0;
}
