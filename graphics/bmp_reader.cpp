// The bitmap reader: header checks, colour table and bottom-up rows turned top-down.
#include "graphics/bmp_reader.h"

namespace tundrix {

namespace {

uint32_t le32(std::span<const uint8_t> b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t le16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

constexpr int32_t MAX_SIDE = 16384;

} // namespace

bool readBmp(std::span<const uint8_t> bytes, BmpInfo& out) {
    out = BmpInfo{};
    size_t dib = 0;
    size_t pixelOffset = 0;
    bool haveFileHeader = bytes.size() >= 14 && bytes[0] == 'B' && bytes[1] == 'M';
    if (haveFileHeader) {
        dib = 14;
        pixelOffset = le32(bytes, 10);
    }
    if (bytes.size() < dib + 40) return false;
    const uint32_t headerSize = le32(bytes, dib);
    if (headerSize < 40 || headerSize > bytes.size() - dib) return false;
    const int32_t width = static_cast<int32_t>(le32(bytes, dib + 4));
    const int32_t rawHeight = static_cast<int32_t>(le32(bytes, dib + 8));
    const uint16_t bitCount = le16(bytes, dib + 14);
    const uint32_t compression = le32(bytes, dib + 16);
    const uint32_t clrUsed = le32(bytes, dib + 32);
    if (width <= 0 || width > MAX_SIDE || rawHeight == 0 || rawHeight < -MAX_SIDE || rawHeight > MAX_SIDE)
        return false;
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;

    out.width = width;
    out.height = height;
    out.bitsPerPixel = bitCount;

    // The colour table follows the info header.
    size_t colours = 0;
    if (bitCount <= 8) colours = clrUsed != 0 ? clrUsed : (size_t{1} << bitCount);
    if (colours > 256) colours = 256;
    const size_t tableStart = dib + headerSize;
    if (tableStart + colours * 4 > bytes.size()) return false;
    out.colours.resize(colours);
    for (size_t i = 0; i < colours; ++i) {
        const size_t at = tableStart + i * 4;
        out.colours[i] = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
    }

    if (bitCount != 8 || compression != 0) return true;

    if (!haveFileHeader) pixelOffset = tableStart + colours * 4;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    if (pixelOffset > bytes.size() || (bytes.size() - pixelOffset) / stride < static_cast<size_t>(height))
        return false;
    out.indices.resize(static_cast<size_t>(width) * height);
    for (int32_t r = 0; r < height; ++r) {
        const int32_t row = topDown ? r : height - 1 - r;
        const uint8_t* src = bytes.data() + pixelOffset + static_cast<size_t>(r) * stride;
        std::copy(src, src + width, out.indices.begin() + static_cast<ptrdiff_t>(row) * width);
    }
    return true;
}

} // namespace tundrix
