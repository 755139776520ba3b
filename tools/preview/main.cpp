// The preview command: writes PNG contact sheets of the embedded image sets and the palette, and the
// title, match intro, play and game-over screens as the game itself draws them.
#include "core/feedback_layout.h"
#include "core/frame_driver.h"
#include "game/game_world.h"
#include "graphics/bmp_reader.h"
#include "graphics/sprite_sheet.h"
#include "platform/headless/fake_audio.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "resources/embedded_resources.h"
#include "tools/preview/png_out.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

using namespace tundrix;
using namespace tundrix::preview;

namespace {

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
    if (!readBmp(store.find(PALETTE_BITMAP_ID), bmp) || bmp.colours.size() != 256) {
        std::fprintf(stderr, "preview: palette bitmap %d missing or damaged\n", PALETTE_BITMAP_ID);
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

    // The game's sets, then the feedback layer's.
    std::vector<int> ids(std::begin(IMAGE_SETS), std::end(IMAGE_SETS));
    ids.insert(ids.end(), {feedback::SET_NUMERALS, feedback::SET_BIG_NUMERALS, feedback::SET_SMALL_DIGITS,
                           feedback::SET_PICTURES, feedback::SET_BURST});
    for (int id : ids) {
        SpriteSheet set;
        if (!set.load(store, id)) {
            std::fprintf(stderr, "preview: image set %d missing\n", id);
            return 1;
        }
        ok = contactSheet(dir + "/set_" + std::to_string(id) + ".png", "image set " + std::to_string(id), set,
                          pal) &&
             ok;
    }
    Image banner;
    if (!banner.loadRle(store, SET_GAME_OVER_BANNER)) return 1;
    {
        SpriteSheet single;
        single.add(std::make_unique<Image>(banner.width(), banner.height()));
        single.current()->blit(banner, 0, 0);
        single.current()->scanTransparency();
        const std::string id = std::to_string(SET_GAME_OVER_BANNER);
        ok = contactSheet(dir + "/set_" + id + ".png", "image set " + id, single, pal) && ok;
    }
    // The screens, drawn by the game itself: a world run by the frame driver with a fake clock, scripted
    // keys and outputs that keep the last picture.
    {
        headless::FakeClock clock{100000};
        headless::ScriptedKeys keys;
        KeyboardInput keyboard(keys);
        headless::FakeAudio audio;
        headless::RecordingVideo video;
        GameServices services{clock, keyboard, store, audio, video};
        GameWorld* world = nullptr;
        FrameDriver driver(clock, [&](const AngleTables& angles) {
            auto built = std::make_unique<GameWorld>(services, angles);
            world = built.get();
            return built;
        });
        const auto steps = [&](int n) {
            for (int i = 0; i < n; ++i)
                driver.step();
        };
        const auto stepUntil = [&](const auto& done) {
            for (int i = 0; i < 500 && !done(); ++i)
                driver.step();
        };
        const auto hold = [&](std::initializer_list<Key> held, int frames) {
            keys.releaseAll();
            for (Key k : held)
                keys.press(k);
            steps(frames);
        };
        const auto shot = [&](const std::string& name) {
            Image picture(video.width, video.height);
            for (int y = 0; y < video.height; ++y)
                for (int x = 0; x < video.width; ++x)
                    picture.setPixel(x, y, video.index(x, y));
            ok = screen(dir, name, picture, pal) && ok;
        };
        // Title: both figures at rest, the prompt showing.
        stepUntil([&] { return world->rightFigure().age > TITLE_READY_AGE + 24; });
        shot("title");
        // The first match's intro card.
        keys.press(Key::Space);
        stepUntil([&] { return !world->onTitle(); });
        keys.release(Key::Space);
        steps(12);
        shot("intro");
        // Play: a raid closed into a capture, then one in progress, with the figures on the ice.
        keys.tap(Key::Space);
        stepUntil([&] { return !world->inMatchIntro(); });
        steps(1);
        float y = 80;
        world->actors().forEach([&](ListItem* item) {
            static_cast<Opponent*>(item)->setPosition(370, y);
            y += 60;
        });
        hold({Key::Right, Key::Space}, 22);
        hold({Key::Down, Key::Space}, 40);
        hold({Key::Up}, 30);
        hold({Key::Right, Key::Space}, 10);
        shot("play");
        // The game-over banner at rest.
        world->chances().set(0);
        stepUntil([&] { return driver.gameOverReached; });
        shot("game_over");
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
