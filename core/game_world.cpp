// Placeholder world until the real game is wired in: a moving test picture.
#include "core/game_world.h"

#include <array>

namespace tundrix {

GameWorld::GameWorld(GameServices& services, const AngleTables&) : services_(services) {
    picture_ = std::make_unique<uint8_t[]>(440 * 300);
    std::array<Rgb, 256> colours{};
    for (int i = 0; i < 256; ++i) colours[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 128};
    services_.video.setPalette(colours);
}

GameWorld::~GameWorld() = default;

void GameWorld::update() {
    services_.keyboard.poll();
    ++frame_;
    if (services_.keyboard.spacePressed) score_.add(10);
}

void GameWorld::draw() {
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 440; ++x) picture_[y * 440 + x] = static_cast<uint8_t>((x + y + frame_) & 0xFF);
    presentAgain();
}

void GameWorld::presentAgain() { services_.video.present(picture_.get(), 440, 300); }

} // namespace tundrix
