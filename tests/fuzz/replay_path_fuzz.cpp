// Feeds arbitrary bytes to the open dialog's path reading and its UTF-8 cut: neither may crash or read out
// of bounds, a cut keeps within its bytes and is kept again unchanged, and a path read is read the same again
// unless it was an address.
#include "shell/replay_files.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (size_t limit : {size_t{0}, size_t{1}, size_t{7}, tundrix::REPLAY_PATH_MAX}) {
        const std::string kept = tundrix::clampUtf8(text, limit);
        if (kept.size() > limit || tundrix::clampUtf8(kept, limit) != kept) std::abort();
        if (text.substr(0, kept.size()) != kept) std::abort();
    }
    const std::string path = tundrix::replayPathOf(text);
    if (path.size() > text.size()) std::abort();
    return 0;
}
