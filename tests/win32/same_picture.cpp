// One scripted game, played the same on the Linux and the Windows build: a fake clock, scripted keys and
// the embedded art, from the title through raids that claim ice and raids that are cut, to the game's end.
// Every drawn frame's CRC-32 goes to frames.txt, the steering tables to angles.txt, and every 250th frame to
// a picture (PPM); on Windows each such frame is also shown in a window through the real GDI presentation and
// read back from the screen (gdi-N.ppm). Usage: tundrix_same_picture OUTPUT_DIR
#include "core/frame_driver.h"
#include "game/game_world.h"
#include "platform/headless/fake_audio.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "resources/embedded_resources.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#ifdef _WIN32
#include "platform/win32/win32_video.h"
#include "screen_window.h"
#endif

using namespace tundrix;

namespace {

constexpr int EVERY = 250; // frames between two pictures
constexpr int MAX_FRAMES = 12000;

void writePpm(const std::string& path, int w, int h, const std::function<Rgb(int, int)>& at) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = at(x, y);
            out.put(static_cast<char>(c.r)).put(static_cast<char>(c.g)).put(static_cast<char>(c.b));
        }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    headless::FakeClock clock(100000);
    headless::ScriptedKeys keys;
    KeyboardInput keyboard(keys);
    EmbeddedResources resources;
    headless::FakeAudio audio;
    headless::RecordingVideo video;
    GameServices services{clock, keyboard, resources, audio, video};
    GameWorld* world = nullptr;
    FrameDriver driver(clock, [&](const AngleTables& angles) {
        auto built = std::make_unique<GameWorld>(services, angles);
        world = built.get();
        return built;
    });
#ifdef _WIN32
    // The real presentation in a window of its own, and what the screen shows there afterwards.
    test::ScreenWindow screen(Win32Video::WIDTH, Win32Video::HEIGHT);
    Win32Video shown(screen.window);
#endif

    std::ofstream frames(dir + "/frames.txt", std::ios::binary); // the same line ends on both builds
    // The steering tables, entry by entry: where they differ in a bit, the games may part later.
    std::ofstream angles(dir + "/angles.txt", std::ios::binary);
    const AngleTables tables;
    for (int degrees = 0; degrees < 360; ++degrees) {
        char line[64];
        std::snprintf(line, sizeof line, "%d %a %a\n", degrees, tables.sinDeg(degrees),
                      tables.cosDeg(degrees));
        angles << line;
    }
    int drawn = 0;
    auto step = [&] {
        const int before = video.presents;
        driver.step();
        if (video.presents == before) return;
        const uLong crc =
            crc32(crc32(0L, Z_NULL, 0), video.frame.data(), static_cast<uInt>(video.frame.size()));
        frames << drawn << " " << crc << "\n";
        if (drawn % EVERY == 0 || driver.gameOverReached) {
            const std::string name = std::to_string(drawn);
            writePpm(dir + "/frame-" + name + ".ppm", video.width, video.height,
                     [&](int x, int y) { return video.colour(x, y); });
#ifdef _WIN32
            shown.setPalette(video.palette);
            shown.present(video.frame.data(), video.width, video.height);
            const std::vector<uint32_t> px = screen.read(Win32Video::WIDTH, Win32Video::HEIGHT);
            writePpm(dir + "/gdi-" + name + ".ppm", Win32Video::WIDTH, Win32Video::HEIGHT, [&](int x, int y) {
                const uint32_t p = px[static_cast<size_t>(y) * Win32Video::WIDTH + x];
                return Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
            });
#endif
        }
        ++drawn;
    };

    // Holds the keys for n frames, or until the game is over.
    auto hold = [&](std::initializer_list<Key> held, int n) {
        for (Key k : held)
            keys.press(k);
        for (int i = 0; i < n && !driver.gameOverReached; ++i)
            step();
        for (Key k : held)
            keys.release(k);
    };
    // The title, the mascot chosen, the match intro, then play.
    hold({}, 80);
    keys.press(Key::Space);
    for (int i = 0; i < 200 && world->onTitle(); ++i)
        step();
    keys.release(Key::Space);
    hold({}, 12);
    keys.tap(Key::Space);
    for (int i = 0; i < 5 && world->inMatchIntro(); ++i)
        step();
    step();
    // Small raids off the top edge that claim ice, and now and then a long one down across the middle that
    // the referee or an opponent cuts, until the chances are gone and the game-over sequence has played.
    for (int raid = 0; !driver.gameOverReached && drawn < MAX_FRAMES; ++raid) {
        hold({Key::Up}, 40);
        hold({Key::Right}, 6 + raid % 5);
        if (raid % 4 == 3) {
            hold({Key::Down, Key::Space}, 60);
        } else {
            hold({Key::Down, Key::Space}, 8 + raid % 3);
            hold({Key::Right, Key::Space}, 10);
            hold({Key::Up, Key::Space}, 14);
        }
        hold({}, 4);
    }
    step();
    frames << "end " << drawn << " score " << world->score().get() << "\n";
    std::printf("%d frames drawn, game over: %s, score %d\n", drawn, driver.gameOverReached ? "yes" : "no",
                world->score().get());
    return driver.gameOverReached ? 0 : 1;
}
