// The preview command: writes PNG contact sheets of the embedded image sets and the palette, and the
// title, match intro and play screens composed the way the game composes them.
#include "graphics/bmp_reader.h"
#include "graphics/sprite_sheet.h"
#include "resources/embedded_resources.h"
#include "tools/preview/png_out.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace tundrix;
using namespace tundrix::preview;

namespace {

constexpr int SET_IDS[] = {256, 257, 260, 261, 262, 263, 264, 265, 266};

// An actor's part: the frame centred on the position plus the offset, truncated, as the game draws it.
void drawCentred(Image& target, const Image& frame, float x, float y, int offsetX = 0, int offsetY = 0) {
    const float px = x + static_cast<float>(offsetX), py = y + static_cast<float>(offsetY);
    target.blit(frame, static_cast<int>(px - static_cast<float>(frame.width()) * 0.5f),
                static_cast<int>(py - static_cast<float>(frame.height()) * 0.5f));
}

// A right-aligned row of digits, as the HUD draws its numbers.
void drawNumber(Image& target, SpriteSheet& digits, long value, int endX, int y, int minDigits = 0) {
    std::string s = std::to_string(std::max(0L, value));
    while (static_cast<int>(s.size()) < minDigits)
        s = "0" + s;
    int x = endX - static_cast<int>(s.size()) * 20;
    for (char c : s) {
        target.blit(*digits.frame(c - '0'), x, y);
        x += 20;
    }
}

bool contactSheet(const std::string& path, const std::string& title, const SpriteSheet& sheet,
                  const Palette& pal) {
    int maxW = 1, maxH = 1;
    for (int i = 0; i < sheet.count(); ++i) {
        maxW = std::max(maxW, sheet.frame(i)->width());
        maxH = std::max(maxH, sheet.frame(i)->height());
    }
    const int scale = std::clamp(160 / std::max(maxW, maxH), 1, 4);
    const int cellW = maxW * scale + 16, cellH = maxH * scale + 30;
    const int columns = std::clamp(900 / cellW, 1, std::max(1, sheet.count()));
    const int rows = (sheet.count() + columns - 1) / columns;
    Sheet out(columns * cellW + 8, rows * cellH + 30, Rgb{40, 44, 56});
    out.text(8, 18, title + "  (x" + std::to_string(scale) + ")", Rgb{255, 255, 255}, 13);
    for (int i = 0; i < sheet.count(); ++i) {
        const Image& f = *sheet.frame(i);
        const int x = 8 + (i % columns) * cellW, y = 30 + (i / columns) * cellH;
        out.text(x, y + 11,
                 std::to_string(i) + ": " + std::to_string(f.width()) + "x" + std::to_string(f.height()),
                 Rgb{200, 210, 230});
        out.place(f, x, y + 16, scale, pal, true);
    }
    return out.write(path);
}

bool screen(const std::string& dir, const std::string& name, const Image& picture, const Palette& pal) {
    Sheet one(440, 300, Rgb{0, 0, 0});
    one.place(picture, 0, 0, 1, pal, false);
    Sheet two(880, 600, Rgb{0, 0, 0});
    two.place(picture, 0, 0, 2, pal, false);
    return one.write(dir + "/screen_" + name + ".png") && two.write(dir + "/screen_" + name + "_x2.png");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    EmbeddedResources store;
    BmpInfo bmp;
    if (!readBmp(store.find(139), bmp) || bmp.colours.size() != 256) {
        std::fprintf(stderr, "preview: palette bitmap 139 missing or damaged\n");
        return 1;
    }
    Palette pal{};
    std::copy(bmp.colours.begin(), bmp.colours.end(), pal.begin());

    // The palette, 16 by 16 swatches with their indices.
    Sheet palette(16 * 40 + 8, 16 * 28 + 8, Rgb{40, 44, 56});
    for (int i = 0; i < 256; ++i) {
        const int x = 4 + (i % 16) * 40, y = 4 + (i / 16) * 28;
        palette.fill(x, y, 38, 26, pal[i]);
        const Rgb c = pal[i];
        const bool light = c.r * 299 + c.g * 587 + c.b * 114 > 128000;
        palette.text(x + 2, y + 10, std::to_string(i), light ? Rgb{0, 0, 0} : Rgb{255, 255, 255}, 9);
    }
    bool ok = palette.write(dir + "/palette.png");

    SpriteSheet sets[267];
    for (int id : SET_IDS) {
        if (!sets[id].load(store, id)) {
            std::fprintf(stderr, "preview: image set %d missing\n", id);
            return 1;
        }
        ok = contactSheet(dir + "/set_" + std::to_string(id) + ".png", "image set " + std::to_string(id),
                          sets[id], pal) &&
             ok;
    }
    Image banner;
    if (!banner.loadRle(store, 246)) return 1;
    {
        SpriteSheet single;
        single.add(std::make_unique<Image>(banner.width(), banner.height()));
        single.current()->blit(banner, 0, 0);
        single.current()->scanTransparency();
        ok = contactSheet(dir + "/set_246.png", "image set 246", single, pal) && ok;
    }
    SpriteSheet& backgrounds = sets[256];
    SpriteSheet& heads = sets[257];
    SpriteSheet& digits = sets[260];
    SpriteSheet& player = sets[261];
    SpriteSheet& figures = sets[262];
    SpriteSheet& vessa = sets[263];
    SpriteSheet& brum = sets[264];

    // Title: both figures at rest, Vessa selected and blinking, Brum with closed eyes, panel and caption.
    {
        Image title(440, 300);
        title.blit(*backgrounds.frame(3), 0, 0);
        drawCentred(title, *brum.frame(2), 98.0f, 175.0f, -41, -27);
        drawCentred(title, *brum.frame(0), 98.0f, 175.0f);
        drawCentred(title, *brum.frame(1), 98.0f, 175.0f, 11, -48);
        drawCentred(title, *vessa.frame(3), 243.5f, 192.0f, 96, 12);
        drawCentred(title, *vessa.frame(0), 243.5f, 192.0f);
        drawCentred(title, *vessa.frame(1), 243.5f, 192.0f, -19, -37);
        title.blit(*backgrounds.frame(4), 383, 82);
        title.blit(*brum.frame(4), 286, 90);
        ok = screen(dir, "title", title, pal) && ok;

        // The same without overlays, and with Vessa's wink.
        Image plain(440, 300);
        plain.blit(*backgrounds.frame(3), 0, 0);
        drawCentred(plain, *brum.frame(2), 98.0f, 175.0f, -41, -27);
        drawCentred(plain, *brum.frame(0), 98.0f, 175.0f);
        drawCentred(plain, *vessa.frame(0), 243.5f, 192.0f);
        drawCentred(plain, *vessa.frame(2), 243.5f, 192.0f, -4, -37);
        plain.blit(*backgrounds.frame(4), 383, 82);
        ok = screen(dir, "title_wink", plain, pal) && ok;
    }
    // Match intro with the first card.
    {
        Image intro(440, 300);
        intro.blit(*backgrounds.frame(2), 0, 0);
        intro.blit(*sets[265].frame(0), 226, 128);
        ok = screen(dir, "intro", intro, pal) && ok;
    }
    // Play: claimed areas with their claimed lines, a raid in progress, actors, the banner and the HUD.
    {
        Image rink(440, 300);
        rink.blit(*backgrounds.frame(0), 0, 0);
        const Image& claimed = *backgrounds.frame(1);
        const auto claim = [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    rink.setPixel(x, y, claimed.pixel(x, y));
        };
        claim(34, 53, 120, 269);
        for (int y = 53; y <= 269; ++y)
            rink.setPixel(121, y, 107);
        claim(330, 200, 403, 269);
        for (int y = 199; y <= 269; ++y)
            rink.setPixel(329, y, 107);
        for (int x = 329; x <= 403; ++x)
            rink.setPixel(x, 199, 107);
        for (int y = 52; y <= 140; ++y)
            rink.setPixel(240, y, 146);
        for (int x = 240; x <= 290; ++x)
            rink.setPixel(x, 140, 146);

        drawCentred(rink, *player.frame(0), 290.0f, 140.0f);
        drawCentred(rink, *figures.frame(1), 250.0f, 210.0f);
        for (int kind = 1; kind <= 5; ++kind) {
            drawCentred(rink, *figures.frame(4 * kind + (kind % 4)), 150.0f + 45.0f * kind,
                        80.0f + 28.0f * (kind % 3));
        }
        rink.blit(banner, 95, 134);
        drawNumber(rink, digits, 59, 111, 12, 2);
        drawNumber(rink, digits, 19, 61, 12);
        drawNumber(rink, digits, 12475, 430, 12);
        drawNumber(rink, digits, 27, 169, 12);
        rink.blit(*digits.frame(11), 56, 12);
        rink.blit(*digits.frame(12), 174, 12);
        rink.blit(*sets[266].frame(0), 348, 279);
        for (int i = 0; i < 3; ++i)
            rink.blit(*heads.frame(1), 210 + i * 35, 8);
        ok = screen(dir, "play", rink, pal) && ok;
    }
    // Let the font libraries free their caches, so leak checkers stay quiet.
    cairo_debug_reset_static_data();
    if (!ok) {
        std::fprintf(stderr, "preview: could not write every picture to %s\n", dir.c_str());
        return 1;
    }
    std::printf("preview: pictures written to %s\n", dir.c_str());
    return 0;
}
