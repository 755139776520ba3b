// A headless game whose every world has the feedback layer on top, shown or not.
#pragma once
#include "bots/headless_game.h"
#include "feedback/feedback_world.h"

namespace tundrix::test {

struct FeedbackGame {
    explicit FeedbackGame(bool shownAtStart = true, uint32_t startMs = 7777)
        : shown(shownAtStart), game(startMs, {}, [this](std::unique_ptr<GameWorld> world) {
              auto layered =
                  std::make_unique<FeedbackWorld>(std::move(world), game.resources, [this] { return best; });
              layered->setShown(shown);
              top = layered.get();
              return std::unique_ptr<World>(std::move(layered));
          }) {}

    const Moments& moments() const { return top->layer().lastMoments(); }

    // Declared before the game, which builds its first world as it is built.
    bool shown;
    int32_t best = 0;
    FeedbackWorld* top = nullptr;
    HeadlessGame game;
};

} // namespace tundrix::test
