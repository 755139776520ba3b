// Writes the palette bitmap, WAVE files and plain files.
#include "tools/assetgen/writers.h"

#include <cstdio>

namespace tundrix::assetgen {

namespace {

void putU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

} // namespace

std::vector<uint8_t> paletteBitmap(const Palette& palette) {
    const uint32_t rowBytes = (PALETTE_BITMAP_WIDTH + 3) / 4 * 4;
    const uint32_t pixelBytes = rowBytes * PALETTE_BITMAP_HEIGHT;
    const uint32_t offset = 14 + 40 + 256 * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putU32(out, offset + pixelBytes);
    putU32(out, 0);
    putU32(out, offset);
    putU32(out, 40);                    // biSize
    putU32(out, PALETTE_BITMAP_WIDTH);  // biWidth
    putU32(out, PALETTE_BITMAP_HEIGHT); // biHeight, bottom row first
    putU16(out, 1);                     // biPlanes
    putU16(out, 8);                     // biBitCount
    putU32(out, 0);                     // BI_RGB
    putU32(out, pixelBytes);
    putU32(out, 2835);
    putU32(out, 2835);
    putU32(out, 256); // biClrUsed
    putU32(out, 256); // biClrImportant
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    // The picture itself is never shown: a swatch of the art colours, one per pixel.
    for (int row = PALETTE_BITMAP_HEIGHT - 1; row >= 0; --row) {
        for (uint32_t x = 0; x < rowBytes; ++x) {
            const int index = row * PALETTE_BITMAP_WIDTH + static_cast<int>(x);
            out.push_back(x < PALETTE_BITMAP_WIDTH ? static_cast<uint8_t>(index % (BLACK_INDEX + 1)) : 0);
        }
    }
    return out;
}

std::vector<uint8_t> waveFile(std::span<const uint8_t> samples) {
    const uint32_t n = static_cast<uint32_t>(samples.size());
    const uint32_t padded = n + (n & 1);
    std::vector<uint8_t> out;
    putTag(out, "RIFF");
    putU32(out, 4 + 8 + 16 + 8 + padded);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16);
    putU16(out, 1); // PCM
    putU16(out, 1); // mono
    putU32(out, SAMPLE_RATE);
    putU32(out, SAMPLE_RATE); // bytes per second
    putU16(out, 1);           // block align
    putU16(out, 8);           // bits per sample
    putTag(out, "data");
    putU32(out, n);
    out.insert(out.end(), samples.begin(), samples.end());
    if (n & 1) out.push_back(0x80);
    return out;
}

bool writeFile(const std::string& path, std::span<const uint8_t> bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace tundrix::assetgen
