// The referee and the opponents: skating by angle over the free ice, bouncing, cutting the raid and
// being penalised inside claimed area.
#pragma once
#include "actors/actor.h"
#include "actors/play_context.h"

namespace tundrix {

constexpr int32_t KIND_REFEREE = 0;

class Opponent : public Actor {
  public:
    // Sheet: image set 262 (frame 4 * kind + facing). Kind 0 is the referee, 1 to 5 the opposing
    // teams. Starts on the face-off spot; draws the turn rate, then the angle, from ctx.random. The
    // referee enters itself as ctx.referee.
    Opponent(PlayContext& ctx, SpriteSheet& sheet, int32_t kind);
    ~Opponent() override;

    // The frame's movement in sub-steps shorter than a cell, bouncing off anything but free ice and
    // cutting the raid when it steps onto the line.
    void update() override;
    // Penalty inside claimed area, cut when standing on the line or meeting the raiding player,
    // then samples the cell underneath again.
    void check() override;

    // Sampled cell := the rink cell under the figure.
    void sampleCell();
    // Cancels the raid: the player is caught and safe; the cut sound plays.
    void cutLine();

    int32_t kind() const { return kind_; }
    float speed() const { return speed_; }
    float angle() const { return angle_; }
    float turnRate() const { return turnRate_; }
    // The heading its frame shows.
    Heading facing() const { return facing_; }
    // For set-ups and tests: steer the figure directly.
    void setAngle(float degrees) { angle_ = degrees; }
    void setTurnRate(float degrees) { turnRate_ = degrees; }

    // The cell under the figure as last sampled; the rules of check read this, not the live cell.
    uint8_t sampledCell = CellIce;

  private:
    void bounce(float& sx, float& sy);

    PlayContext& ctx_;
    int32_t kind_;
    float speed_;
    float angle_ = 0;
    float turnRate_ = 0;
    Heading facing_ = HEADING_RIGHT;
};

} // namespace tundrix
