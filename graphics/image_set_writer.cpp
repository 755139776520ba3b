// The image-set encoder used by the asset tools and the round-trip tests.
#include "graphics/image_set_writer.h"

#include "graphics/image.h"

#include <array>

namespace tundrix {

namespace {

void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v & 0xFF));
}

uint8_t chooseEscape(std::span<const uint8_t> pixels) {
    std::array<bool, 256> used{};
    for (uint8_t p : pixels)
        used[p] = true;
    for (int v = 0; v < 256; ++v) {
        if (!used[v]) return static_cast<uint8_t>(v);
    }
    // Every value occurs: escape 0 then stands for itself only as a run of one.
    return 0;
}

} // namespace

std::vector<uint8_t> encodeFrame(std::span<const uint8_t> pixels, uint16_t width, uint16_t height) {
    std::vector<uint8_t> out;
    const size_t n = static_cast<size_t>(width) * height;
    out.reserve(13 + n / 2);
    for (char c : std::string_view("kvb/rle"))
        out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
    putU16(out, width);
    putU16(out, height);
    const uint8_t escape = chooseEscape(pixels.first(n < pixels.size() ? n : pixels.size()));
    out.push_back(escape);

    size_t i = 0;
    while (i < n) {
        uint8_t v = i < pixels.size() ? pixels[i] : 0;
        size_t j = i + 1;
        while (j < n && (j < pixels.size() ? pixels[j] : 0) == v)
            ++j;
        size_t len = j - i;
        if (len >= 4) {
            while (len > 0) {
                size_t k = len > 255 ? 255 : len;
                out.push_back(escape);
                out.push_back(v);
                out.push_back(static_cast<uint8_t>(k));
                len -= k;
            }
        } else if (v == escape) {
            // Only when all 256 values occur: a literal cannot stand for the escape byte.
            for (size_t k = 0; k < len; ++k) {
                out.push_back(escape);
                out.push_back(v);
                out.push_back(1);
            }
        } else {
            for (size_t k = 0; k < len; ++k)
                out.push_back(v);
        }
        i = j;
    }
    return out;
}

std::vector<uint8_t> encodeFrame(const Image& image) {
    std::span<const uint8_t> px(image.pixels(), image.pixels() ? static_cast<size_t>(image.pixelCount()) : 0);
    return encodeFrame(px, static_cast<uint16_t>(image.width()), static_cast<uint16_t>(image.height()));
}

std::vector<uint8_t> encodeImageSet(std::span<const Image* const> frames) {
    std::vector<uint8_t> out;
    putU16(out, static_cast<uint16_t>(frames.size()));
    for (const Image* f : frames) {
        std::vector<uint8_t> rec = encodeFrame(*f);
        out.insert(out.end(), rec.begin(), rec.end());
    }
    return out;
}

} // namespace tundrix
