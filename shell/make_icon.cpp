// Draws the game's icon at build time: a rink seen from above with a claimed grey corner and a raid line,
// written as an RGBA PNG with zlib. Usage: tundrix_make_icon <out.png> <size>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

struct Pixel {
    uint8_t r, g, b, a;
};

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    put32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    put32(png, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// Inside a rectangle with round corners, in units of the icon's size.
bool inRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = x < x0 + r ? x0 + r : (x > x1 - r ? x1 - r : x);
    const double cy = y < y0 + r ? y0 + r : (y > y1 - r ? y1 - r : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

Pixel shade(double x, double y) {
    const Pixel none{0, 0, 0, 0}, board{30, 60, 140, 255}, ice{236, 244, 252, 255},
        claimed{150, 156, 166, 255}, red{210, 30, 40, 255}, blue{40, 90, 200, 255}, raid{250, 190, 20, 255},
        puck{20, 20, 24, 255};
    if (!inRoundRect(x, y, 0.04, 0.14, 0.96, 0.86, 0.16)) return none;
    if (!inRoundRect(x, y, 0.08, 0.18, 0.92, 0.82, 0.13)) return board;
    if (std::hypot(x - 0.66, y - 0.52) < 0.05) return puck;
    // The raid: an L-shaped line from the left edge, closing off the claimed corner.
    if (std::fabs(y - 0.56) < 0.022 && x < 0.42) return raid;
    if (std::fabs(x - 0.42) < 0.022 && y > 0.56) return raid;
    if (x < 0.42 && y > 0.56) return claimed;
    if (std::fabs(x - 0.5) < 0.014) return red;
    if (std::fabs(x - 0.3) < 0.012 || std::fabs(x - 0.7) < 0.012) return blue;
    return ice;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <out.png> <size>\n", argv[0]);
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 1024) return 2;

    // Four samples per pixel smooth the edges.
    std::vector<uint8_t> raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < size; ++x) {
            int r = 0, g = 0, b = 0, a = 0;
            for (int s = 0; s < 4; ++s) {
                const Pixel p = shade((x + 0.25 + 0.5 * (s & 1)) / size, (y + 0.25 + 0.5 * (s >> 1)) / size);
                r += p.r * p.a, g += p.g * p.a, b += p.b * p.a, a += p.a;
            }
            raw.push_back(static_cast<uint8_t>(a ? r / a : 0));
            raw.push_back(static_cast<uint8_t>(a ? g / a : 0));
            raw.push_back(static_cast<uint8_t>(a ? b / a : 0));
            raw.push_back(static_cast<uint8_t>(a / 4));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return 1;
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(size));
    put32(header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter choice, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});

    FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 1;
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
