// The run-length decoder: literals, and runs of escape byte, value, count.
#include "graphics/rle_decoder.h"

#include <cstring>

namespace tundrix {

int32_t RleDecoder::decode(std::span<const uint8_t> source, int32_t pixelCount) {
    pixels_.clear();
    if (source.empty()) return DAMAGED;
    if (pixelCount <= 0) return 1;
    // Each token produces at most 255 pixels from 3 bytes; a count beyond that cannot be in the data.
    if (static_cast<uint64_t>(pixelCount) > (static_cast<uint64_t>(source.size()) / 3 + 1) * 255)
        return DAMAGED;
    pixels_.assign(static_cast<size_t>(pixelCount), 0);

    const uint8_t escape = source[0];
    const size_t end = source.size();
    size_t in = 1;
    int32_t out = 0;
    uint8_t* px = pixels_.data();
    while (out < pixelCount) {
        if (in >= end) return DAMAGED;
        uint8_t b = source[in];
        if (b == escape) {
            if (end - in < 3) return DAMAGED;
            uint8_t value = source[in + 1];
            int32_t k = source[in + 2];
            if (k > pixelCount - out) return DAMAGED;
            std::memset(px + out, value, static_cast<size_t>(k));
            out += k;
            in += 3;
        } else {
            px[out++] = b;
            in += 1;
        }
    }
    return static_cast<int32_t>(in);
}

} // namespace tundrix
