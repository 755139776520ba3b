// The headless game's wiring, and a scripted player that raids from the edge until its chances are gone.
#include "bots/headless_game.h"

namespace tundrix {

HeadlessGame::HeadlessGame(uint32_t startMs, ReplayBuild build, Wrap wrapWith, PlayMode mode)
    : wrap(std::move(wrapWith)), clock(startMs), recorder(clock, keys, build),
      keyboard(recorder.keys()), services{recorder.clock(), keyboard, resources, audio, video, 0, mode},
      driver(clock, [this](const AngleTables& angles) {
          return recorder.record(services, [&]() -> std::unique_ptr<World> {
              auto built = std::make_unique<GameWorld>(services, angles);
              world_ = built.get();
              if (wrap) return wrap(std::move(built));
              return built;
          });
      }) {}

void HeadlessGame::step(int n) {
    for (int i = 0; i < n; ++i) {
        driver.step();
        if (eachFrame) eachFrame(*world_);
    }
}

void HeadlessGame::hold(uint32_t ms) {
    clock.advance(ms);
    driver.world()->holdClock(ms);
    driver.resync();
}

void leaveTitle(HeadlessGame& g) {
    g.step(60);
    g.keys.press(Key::Space);
    g.step(3);
    g.keys.releaseAll();
    g.step(15);
}

void playScriptedGame(HeadlessGame& g, uint32_t seed, int maxFrames) {
    const uint32_t start = g.driver.frameCount();
    const auto left = [&] { return static_cast<int>(g.driver.frameCount() - start) < maxFrames; };
    leaveTitle(g);
    g.keys.tap(Key::Enter);
    for (uint32_t raid = seed; !g.world().gameOver() && left(); ++raid) {
        g.keys.press(Key::Space);
        g.keys.press(Key::Right);
        g.step(6 + static_cast<int>(raid % 9));
        g.keys.release(Key::Right);
        g.keys.press(raid % 2 ? Key::Up : Key::Down);
        g.step(8 + static_cast<int>(raid % 5));
        g.keys.releaseAll();
        g.keys.press(Key::Space);
        g.keys.press(Key::Left);
        g.step(30);
        g.keys.releaseAll();
        g.step(2);
        if (raid % 11 == 5) g.clock.advance(250); // a stall: update-only frames follow
        if (raid % 17 == 3) g.hold(3000);         // paused for three seconds
    }
    g.step(80);
}

} // namespace tundrix
