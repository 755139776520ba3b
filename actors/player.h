// The player: skating the edge and claimed lines, drawing raids, skating back and closing a raid
// into a capture.
#pragma once
#include "actors/actor.h"
#include "actors/play_context.h"
#include "rink/area_capture.h"

namespace tundrix {

class Player : public Actor {
  public:
    // Sheet: image set 261, one 32 by 32 frame per heading. Heading and the keyboard's lastHeading
    // start at 0 (right). Enters itself as ctx.player.
    Player(PlayContext& ctx, SpriteSheet& sheet);
    ~Player() override;

    // One frame: polls the keyboard, then skates back (Space alone) or moves forward three cells.
    void update() override;
    // Nothing: the figures apply the rules that involve the player.
    void check() override {}
    // Back to the cell the current raid left from, facing the way it left, or to (33, 161) facing
    // right when there is no raid; clears the path and caught, sets safe.
    void resetToRaidStart();

    Heading heading() const { return heading_; }
    float speed() const { return speed_; }

    // False only while a raid is in progress.
    bool safe = true;
    // Set when a figure cuts the raid; the game flow takes a chance and calls resetToRaidStart.
    bool caught = false;
    // The mascot chosen on the title screen: 0 the female (Vessa), 1 the male (Brum).
    uint8_t mascot = 0;

  private:
    void skateBack();
    void moveForward();
    void closeRaid(float sx, float sy);

    PlayContext& ctx_;
    AreaCapture capture_;
    float speed_ = 3.0f;
    Heading heading_ = HEADING_RIGHT;
};

} // namespace tundrix
