// Feeds arbitrary bytes to the channel's reader of the replay post and to the base64url codec.
#include "protocol/base64url.h"
#include "protocol/replay_post.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tundrix::protocol;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto post = decodeReplayPost(text, why);
    if (!post && why.empty()) std::abort();
    if (post && (post->replay.empty() || post->replay.size() > REPLAY_FILE_MAX_BYTES)) std::abort();
    // Text that decodes is the one encoding of its bytes; any bytes encode and come back.
    if (const auto bytes = base64UrlDecode(text); bytes && base64UrlEncode(*bytes) != text) std::abort();
    const std::span<const uint8_t> raw(data, size);
    if (base64UrlDecode(base64UrlEncode(raw)) != std::vector<uint8_t>(raw.begin(), raw.end())) std::abort();
    return 0;
}
