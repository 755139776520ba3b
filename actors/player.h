// The player: skating the edge and claimed lines, drawing raids, skating back and closing a raid
// into a capture.
#pragma once
#include "actors/actor.h"
#include "actors/play_context.h"
#include "rink/area_capture.h"

namespace tundrix {

// The two mascots the player chooses between on the title screen.
constexpr uint8_t MASCOT_VESSA = 0, MASCOT_BRUM = 1;

class Player : public Actor {
  public:
    // Sheet: image set 261, one 32 by 32 frame per heading. Heading and the keyboard's lastHeading
    // start at 0 (right). Enters itself as ctx.player.
    Player(PlayContext& ctx, SpriteSheet& sheet);
    ~Player() override;

    // One frame: polls the keyboard, then skates back (Space alone) or moves forward, a cell at a time.
    void update() override;
    // Nothing: the figures apply the rules that involve the player.
    void check() override {}
    // Back to the cell the current raid left from, facing the way it left, or to the left edge on the
    // face-off row facing right when there is no raid; clears the path and caught, sets safe.
    void resetToRaidStart();

    Heading heading() const { return heading_; }

    // False only while a raid is in progress.
    bool safe = true;
    // Set when a figure cuts the raid; the game flow takes a chance and calls resetToRaidStart.
    bool caught = false;
    // The mascot chosen on the title screen.
    uint8_t mascot = MASCOT_VESSA;

  private:
    // The cells a frame's movement takes, one at a time.
    static constexpr int32_t CELLS_PER_FRAME = 3;
    // The collision box is the frame shrunk by this on every side.
    static constexpr int32_t BOX_INSET = 10;

    int32_t cell() const;
    void moveToCell(int32_t c);
    void skateBack();
    void moveForward();
    void closeRaid(float sx, float sy);

    PlayContext& ctx_;
    AreaCapture capture_;
    Heading heading_ = HEADING_RIGHT;
};

} // namespace tundrix
