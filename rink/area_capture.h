// The area capture: the closed raid line becomes claimed line and the side away from the referee
// becomes claimed area.
#pragma once
#include "core/game_rules.h"
#include "core/guarded_counter.h"
#include "core/sound_effect.h"
#include "rink/rink.h"

#include <cstdint>
#include <vector>

namespace tundrix {

// What the capture needs from the figures on the ice.
class CaptureFigures {
  public:
    virtual ~CaptureFigures() = default;
    // Samples the cell under the referee again and returns it (0 when there is no referee).
    virtual uint8_t resampleReferee() = 0;
    // Samples the cell under every figure still in play.
    virtual void resampleAll() = 0;
};

// Walking directions of the line follower, as index offsets.
constexpr int32_t WALK_LEFT = -1, WALK_UP = -RINK_WIDTH, WALK_RIGHT = 1, WALK_DOWN = RINK_WIDTH;

// A capture of more than this many cells plays the big-capture sound.
constexpr int32_t BIG_CAPTURE_CELLS = 20367;

class AreaCapture {
  public:
    AreaCapture(Rink& rink, GuardedCounter& claimedCells, GuardedCounter& score,
                SoundEffect& bigCaptureSound);

    // Runs the whole capture after the player stepped from the last line cell (index last) onto the
    // edge or a claimed line with the given heading. Returns the number of cells newly claimed.
    int32_t capture(int32_t last, Heading heading, CaptureFigures& figures);

    // Four-connected flood of the free ice connected to cell i with code. Uses a work list of its
    // own, so a whole-rink flood needs no deep stack.
    void floodSide(int32_t i, uint8_t code);
    // Claims every cell holding claim, restores every cell holding restore to ice, then retires
    // claimed line that no longer touches free ice. Returns the number of cells claimed.
    int32_t claimSide(uint8_t claim, uint8_t restore);

  private:
    // Converts the raid line from cell a on, walking w (one of the WALK_ offsets), into claimed line,
    // flooding both sides at every cell. Returns the number of line cells converted.
    int32_t followLine(int32_t a, int32_t w);
    // Where the line touched itself sideways the walk took the shortcut; the raid line it left aside is
    // closed all the same: it becomes claimed line. Returns the number of such cells.
    int32_t closeLineLeftAside();
    // The score of a capture of v cells (see CAPTURE_SCORE_CELLS).
    static int32_t captureScore(int32_t v);

    Rink& rink_;
    GuardedCounter& claimedCells_;
    GuardedCounter& score_;
    SoundEffect& bigCaptureSound_;
    std::vector<int32_t> work_;
};

} // namespace tundrix
