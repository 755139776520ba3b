// Builds the palette from colour ramps and maps colours onto it.
#include "tools/assetgen/palette.h"

#include <algorithm>

namespace tundrix::assetgen {

namespace {

struct Ramp {
    Rgb light, mid, dark;
    int steps;
};

// The colour families the art is drawn with; each runs from its lightest to its darkest shade.
constexpr Ramp RAMPS[] = {
    {{246, 246, 246}, {128, 128, 128}, {18, 18, 18}, 22},    // neutral greys
    {{226, 233, 241}, {118, 134, 156}, {20, 28, 42}, 24},    // slate, the claimed ice and the arena
    {{250, 253, 255}, {226, 238, 247}, {186, 208, 228}, 12}, // ice
    {{192, 222, 255}, {30, 100, 210}, {8, 22, 70}, 22},      // blues
    {{200, 240, 250}, {40, 170, 220}, {5, 60, 90}, 12},      // sky and cyan
    {{255, 192, 192}, {214, 24, 40}, {70, 5, 10}, 20},       // reds
    {{255, 215, 170}, {245, 130, 20}, {110, 45, 0}, 10},     // oranges
    {{255, 250, 200}, {255, 204, 30}, {120, 80, 0}, 16},     // yellows and gold
    {{255, 230, 208}, {226, 160, 120}, {110, 60, 35}, 18},   // skin
    {{222, 182, 132}, {130, 80, 40}, {45, 25, 10}, 14},      // browns
    {{255, 242, 172}, {226, 180, 80}, {140, 95, 30}, 10},    // blonde
    {{200, 245, 200}, {40, 170, 70}, {5, 60, 20}, 14},       // greens
    {{226, 206, 250}, {120, 70, 190}, {35, 15, 70}, 12},     // purples
    {{255, 212, 226}, {230, 100, 140}, {120, 30, 60}, 10},   // pinks
    {{62, 72, 124}, {26, 33, 72}, {6, 8, 24}, 8},            // deep navy
    {{96, 54, 12}, {52, 30, 8}, {20, 12, 4}, 8},             // dark amber, the unlit score dots
};

uint8_t mix(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(a + (b - a) * t + 0.5);
}

Rgb lerp(Rgb a, Rgb b, double t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}

double luminance(Rgb c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

} // namespace

Palette buildPalette() {
    std::vector<Rgb> art;
    for (const Ramp& ramp : RAMPS) {
        for (int i = 0; i < ramp.steps; ++i) {
            double t = ramp.steps == 1 ? 0.5 : static_cast<double>(i) / (ramp.steps - 1);
            art.push_back(t < 0.5 ? lerp(ramp.light, ramp.mid, t * 2) : lerp(ramp.mid, ramp.dark, t * 2 - 1));
        }
    }
    std::stable_sort(art.begin(), art.end(), [](Rgb a, Rgb b) { return luminance(a) > luminance(b); });

    Palette p{};
    p[WHITE_INDEX] = {255, 255, 255};
    size_t next = 0;
    for (int i = 1; i < BLACK_INDEX; ++i) {
        if (i == CLAIMED_LINE_INDEX) {
            p[i] = CLAIMED_LINE_COLOUR;
        } else if (i == RAID_LINE_INDEX) {
            p[i] = RAID_LINE_COLOUR;
        } else {
            p[i] = next < art.size() ? art[next++] : Rgb{0, 0, 0};
        }
    }
    p[BLACK_INDEX] = {0, 0, 0};
    p[KEY_INDEX] = {255, 0, 255};
    return p; // 237..255 stay black
}

Quantiser::Quantiser(const Palette& palette) : palette_(palette), cache_(1 << 18, -1) {}

uint8_t Quantiser::nearest(uint8_t r, uint8_t g, uint8_t b) {
    const int key = ((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2);
    if (cache_[key] >= 0) return static_cast<uint8_t>(cache_[key]);
    const int cr = (r & ~3) | 2, cg = (g & ~3) | 2, cb = (b & ~3) | 2;
    long best = -1;
    int bestIndex = 0;
    for (int i = 0; i <= BLACK_INDEX; ++i) {
        if (i == CLAIMED_LINE_INDEX || i == RAID_LINE_INDEX) continue;
        const Rgb c = palette_[i];
        const long dr = cr - c.r, dg = cg - c.g, db = cb - c.b;
        // Weighted towards green, as the eye is; red weighs more in bright colours.
        const long rmean = (cr + c.r) / 2;
        const long d = ((512 + rmean) * dr * dr >> 8) + 4 * dg * dg + ((767 - rmean) * db * db >> 8);
        if (best < 0 || d < best) {
            best = d;
            bestIndex = i;
        }
    }
    cache_[key] = static_cast<int16_t>(bestIndex);
    return static_cast<uint8_t>(bestIndex);
}

} // namespace tundrix::assetgen
