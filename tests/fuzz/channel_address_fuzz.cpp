// Feeds arbitrary bytes to the reader of the channel's address (the settings file and the variable).
#include "net/channel_address.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto address = tundrix::parseChannelAddress(text);
    if (!address) return 0;
    if (address->host.empty() || address->port == 0) std::abort();
    // What the game builds from it reads back as the same address.
    const auto again = tundrix::parseChannelAddress(tundrix::channelBaseUrl(*address));
    if (!again || !(*again == *address)) std::abort();
    return 0;
}
