// One game from the title screen to game over (no SDL here).
#pragma once
#include "core/angle_tables.h"
#include "core/game_services.h"
#include "core/guarded_counter.h"
#include "core/world.h"

#include <memory>

namespace tundrix {

class GameWorld : public World {
public:
    GameWorld(GameServices& services, const AngleTables& angles);
    ~GameWorld() override;

    void update() override;
    void draw() override;
    bool gameOver() const override { return gameOver_; }
    int countdown() const override { return countdown_; }

    // The shell compares this with its best score after every frame.
    GuardedCounter& score() { return score_; }
    // Shows the last composed picture again (the dialogs repaint the window with it).
    void presentAgain();

private:
    GameServices& services_;
    GuardedCounter score_;
    bool gameOver_ = false;
    int countdown_ = 0;
    uint32_t frame_ = 0;
    std::unique_ptr<uint8_t[]> picture_;
};

} // namespace tundrix
