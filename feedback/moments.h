// The moments a player should see and hear, read off the world after each update by comparing what it
// shows with what it showed before: captures, penalties, cuts, periods starting and periods won.
#pragma once
#include "game/game_world.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tundrix {

class Opponent;

struct CaptureMoment {
    int32_t cells = 0;  // newly claimed, line included
    int32_t points = 0; // what the capture itself scored, penalties apart
    float x = 0, y = 0; // where the player closed it
};

struct PenaltyMoment {
    float x = 0, y = 0;            // where the figure was caught
    const Image* figure = nullptr; // its picture facing right, towards the penalty box
};

struct CutMoment {
    // The cells of the line that was erased, from its first cell on.
    std::vector<PathPoint> line;
};

struct PeriodWonMoment {
    int32_t period = 0;
    int32_t percent = 0; // of the ice claimed
    int32_t points = 0;  // scored in the period
};

struct Moments {
    std::optional<CaptureMoment> capture;
    std::vector<PenaltyMoment> penalties;
    std::optional<CutMoment> cut;
    int32_t periodStarted = 0; // the period whose play began with this update; 0 if none did
    std::optional<PeriodWonMoment> won;
};

class MomentWatcher {
  public:
    // What the world shows now is where it starts from: nothing has happened yet.
    explicit MomentWatcher(GameWorld& world);

    // Compares the world after an update with the last look; reads the world and changes nothing in it.
    const Moments& observe();
    // What the last observe found.
    const Moments& lastMoments() const { return moments_; }
    // The score when the current period's play began.
    int32_t periodStartScore() const { return periodScore_; }

  private:
    bool playing() const;
    void lookAtFigures(std::vector<PenaltyMoment>* penalties);
    void remember();

    GameWorld& world_;
    Moments moments_;
    int32_t score_ = 0, claimed_ = 0, chances_ = 0, period_ = 0, pathCount_ = 0;
    bool timeUp_ = false, won_ = false;
    int32_t cardedPeriod_ = 0; // the last period whose start was seen
    int32_t periodScore_ = 0;
    std::vector<const Opponent*> inPlay_; // the figures that were not penalised at the last look
    std::vector<const Opponent*> spare_;
};

} // namespace tundrix
