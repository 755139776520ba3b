// Passing each step to the game and the layer in turn.
#include "feedback/feedback_world.h"

namespace tundrix {

FeedbackWorld::FeedbackWorld(std::unique_ptr<GameWorld> game, const ResourceStore& resources,
                             FeedbackLayer::BestScore best)
    : game_(std::move(game)), layer_(std::make_unique<FeedbackLayer>(*game_, resources, std::move(best))) {}

void FeedbackWorld::update() {
    game_->update();
    layer_->afterUpdate(shown_);
}

void FeedbackWorld::draw() {
    if (!shown_) {
        game_->draw();
        return;
    }
    game_->compose();
    layer_->draw();
    game_->present();
}

} // namespace tundrix
