// Movement by angle with bounces, the cut of a raid, penalties and cell sampling of the figures.
#include "actors/opponent.h"

#include "actors/player.h"
#include "core/game_rules.h"

#include <algorithm>
#include <cmath>

namespace tundrix {

namespace {
// A figure's turn rate is drawn as one of 100 steps from MIN_TURN_RATE degrees a frame up. The step is
// taken as the single-precision constant and multiplied in double precision, so that step 50 gives a
// tiny negative rate rather than exactly 0.
constexpr int TURN_STEPS = 100;
constexpr double TURN_STEP = static_cast<double>(0.04f);
constexpr double MIN_TURN_RATE = -2.0;
constexpr float FULL_TURN = 360.0f, HALF_TURN = 180.0f;
// The sheet holds one frame per heading for every kind of figure.
constexpr int32_t FRAMES_PER_KIND = HEADINGS;
// The collision box is the frame shrunk by this on every side: the referee's smaller frame less.
constexpr int32_t REFEREE_BOX_INSET = 4, OPPONENT_BOX_INSET = 10;

// The angle brought back into 0 to 360 degrees.
float wrapped(float degrees) {
    if (degrees >= FULL_TURN) degrees -= FULL_TURN;
    if (degrees < 0.0f) degrees += FULL_TURN;
    return degrees;
}
} // namespace

Opponent::Opponent(PlayContext& ctx, SpriteSheet& sheet, int32_t kind)
    : Actor(sheet), ctx_(ctx), kind_(kind), speed_(ctx.opponentSpeed) {
    setFrame(static_cast<uint16_t>(FRAMES_PER_KIND * kind));
    setPosition(static_cast<float>(CENTRE_X), static_cast<float>(CENTRE_Y));
    const int r = ctx_.random.next();
    turnRate_ = static_cast<float>(static_cast<double>(r % TURN_STEPS) * TURN_STEP + MIN_TURN_RATE);
    angle_ = static_cast<float>(ctx_.random.next() % static_cast<int>(FULL_TURN));
    if (kind_ == KIND_REFEREE) ctx_.referee = this;
}

Opponent::~Opponent() {
    if (ctx_.referee == this) ctx_.referee = nullptr;
}

void Opponent::sampleCell() {
    sampledCell = ctx_.rink.cellAt(whole(x_), whole(y_));
}

void Opponent::cutLine() {
    if (ctx_.player) ctx_.player->caught = true;
    if (kind_ == KIND_REFEREE)
        ctx_.refereeCutSound.play();
    else
        ctx_.opponentSound.play();
    if (ctx_.player) ctx_.player->safe = true;
}

void Opponent::update() {
    Rink& rink = ctx_.rink;
    const double a = angle_;
    const float fvx = static_cast<float>(ctx_.angles.cosDeg(a) * speed_);
    const float fvy = static_cast<float>(ctx_.angles.sinDeg(a) * speed_);
    const int32_t n = whole(std::max(std::fabs(fvx), std::fabs(fvy))) + 1;
    float sx = fvx / static_cast<float>(n);
    float sy = fvy / static_cast<float>(n);

    for (int32_t i = 0; i < n; ++i) {
        const uint8_t here = rink.cellAt(whole(x_), whole(y_));
        const uint8_t next = rink.cellAt(whole(x_ + sx), whole(y_ + sy));
        if (here != CellIce) continue; // off the free ice a figure never moves
        if (next == CellIce) {
            moveBy(sx, sy);
        } else if (next == CellRaidLine) {
            cutLine();
            moveBy(sx, sy);
            rink.pathErase();
        } else {
            bounce(sx, sy);
        }
    }

    if (std::fabs(fvx) > std::fabs(fvy))
        facing_ = fvx > 0 ? HEADING_RIGHT : HEADING_LEFT;
    else
        facing_ = fvy > 0 ? HEADING_DOWN : HEADING_UP;
    setFrame(static_cast<uint16_t>(FRAMES_PER_KIND * kind_ + facing_));
    growBox(kind_ == KIND_REFEREE ? -REFEREE_BOX_INSET : -OPPONENT_BOX_INSET);

    angle_ = wrapped(angle_ + turnRate_);
}

void Opponent::bounce(float& sx, float& sy) {
    Rink& rink = ctx_.rink;
    const int32_t dxi = whole(x_ + sx) - whole(x_);
    const int32_t dyi = whole(y_ + sy) - whole(y_);
    enum { Horizontal, Vertical, Reversal } reflection;
    if (dxi == 0)
        reflection = Vertical;
    else if (dyi == 0)
        reflection = Horizontal;
    else if (rink.cellAt(whole(x_ - sx), whole(y_ + sy)) == CellIce)
        reflection = Horizontal;
    else if (rink.cellAt(whole(x_ + sx), whole(y_ - sy)) == CellIce)
        reflection = Vertical;
    else
        reflection = Reversal;

    switch (reflection) {
    case Horizontal:
        angle_ = sx < 0 ? FULL_TURN - angle_ : -angle_;
        sx = -sx;
        break;
    case Vertical:
        angle_ = sy < 0 ? FULL_TURN + HALF_TURN - angle_ : HALF_TURN - angle_;
        sy = -sy;
        break;
    case Reversal:
        sx = -sx;
        sy = -sy;
        break;
    }
    angle_ += HALF_TURN;
    moveBy(sx, sy);
    angle_ = wrapped(angle_);
}

void Opponent::check() {
    if (marked) return;
    if (sampledCell == CellClaimedLine || sampledCell == CellClaimed) {
        // Penalised: out of play for the rest of the period. The rules below still run this once, so
        // a figure penalised while it stands on the line or meets the raiding player still cuts.
        ctx_.opponentSound.play();
        ctx_.score.add(PENALTY_POINTS);
        marked = true;
    }
    if (sampledCell == CellRaidLine) {
        cutLine();
        ctx_.rink.pathErase();
    }
    Player* player = ctx_.player;
    if (player && !player->safe && player->overlaps(*this)) {
        ctx_.rink.pathErase();
        cutLine();
    }
    sampleCell();
}

} // namespace tundrix
