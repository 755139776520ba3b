// The world as the frame driver and the shell see it with the feedback layer on top: each update is
// followed by the layer, each picture is composed by the game, drawn over by the layer and then shown.
// With the layer off the picture is the game's own, pixel for pixel.
#pragma once
#include "feedback/feedback_layer.h"

#include <memory>

namespace tundrix {

class FeedbackWorld : public World {
  public:
    FeedbackWorld(std::unique_ptr<GameWorld> game, const ResourceStore& resources,
                  FeedbackLayer::BestScore best);

    void update() override;
    void draw() override;
    bool gameOver() const override { return game_->gameOver(); }
    int countdown() const override { return game_->countdown(); }
    bool onTitle() const override { return game_->onTitle(); }
    GuardedCounter* scoreCounter() override { return game_->scoreCounter(); }
    void clearScore() override { game_->clearScore(); }
    void holdClock(uint32_t ms) override { game_->holdClock(ms); }

    // On by default; the player's setting.
    void setShown(bool shown) { shown_ = shown; }
    bool shown() const { return shown_; }

    GameWorld& game() { return *game_; }
    FeedbackLayer& layer() { return *layer_; }

  private:
    // The game first: the layer's sounds play on its device and go before it.
    std::unique_ptr<GameWorld> game_;
    std::unique_ptr<FeedbackLayer> layer_;
    bool shown_ = true;
};

} // namespace tundrix
