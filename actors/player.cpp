// The player's frame: skating back along the line, forward movement in three one-cell sub-steps,
// raid start, line drawing, turning along obstacles, closing a raid, walking the edge.
#include "actors/player.h"

#include "actors/opponent.h"

namespace tundrix {

namespace {

struct HeadingRule {
    float sx, sy;
    int32_t twoAhead;
    int32_t leftSide;  // from the cell stood on: the cell left of the one the step enters
    int32_t rightSide; // likewise on the right
    float leftTurnX, leftTurnY;
    float rightTurnX, rightTurnY;
};

constexpr int32_t ROW = RINK_WIDTH; // one cell down
constexpr HeadingRule RULES[HEADINGS] = {
    {1, 0, 2, 1 - ROW, 1 + ROW, 0, -1, 0, 1},
    {0, 1, 2 * ROW, ROW + 1, ROW - 1, 1, 0, -1, 0},
    {-1, 0, -2, ROW - 1, -1 - ROW, 0, 1, 0, -1},
    {0, -1, -2 * ROW, -ROW - 1, 1 - ROW, -1, 0, 1, 0},
};

bool isSkateable(uint8_t code) {
    return code == CellEdge || code == CellClaimedLine;
}

// The capture's view of the figures: the referee and the list of the period.
class FiguresOnIce : public CaptureFigures {
  public:
    explicit FiguresOnIce(PlayContext& ctx) : ctx_(ctx) {}
    uint8_t resampleReferee() override {
        if (ctx_.referee == nullptr) return 0;
        ctx_.referee->sampleCell();
        return ctx_.referee->sampledCell;
    }
    void resampleAll() override {
        ctx_.actors.rewind();
        while (ListItem* item = ctx_.actors.nextUnmarked()) {
            if (auto* figure = dynamic_cast<Opponent*>(item)) figure->sampleCell();
        }
    }

  private:
    PlayContext& ctx_;
};

} // namespace

int32_t Player::cell() const {
    return cellIndex(whole(x_), whole(y_));
}

void Player::moveToCell(int32_t c) {
    setPosition(static_cast<float>(c % RINK_WIDTH), static_cast<float>(c / RINK_WIDTH));
}

Player::Player(PlayContext& ctx, SpriteSheet& sheet)
    : Actor(sheet), ctx_(ctx), capture_(ctx.rink, ctx.claimedCells, ctx.score, ctx.bigCaptureSound) {
    ctx_.keyboard.lastHeading = HEADING_RIGHT;
    ctx_.player = this;
}

Player::~Player() {
    if (ctx_.player == this) ctx_.player = nullptr;
}

void Player::update() {
    KeyboardInput& keys = ctx_.keyboard;
    keys.poll();
    if (keys.lastHeading >= HEADING_RIGHT && keys.lastHeading <= HEADING_UP) heading_ = keys.lastHeading;
    setFrame(static_cast<uint16_t>(heading_));
    growBox(-BOX_INSET);

    if (keys.axisX == 0 && keys.axisY == 0)
        skateBack();
    else
        moveForward();
}

void Player::skateBack() {
    KeyboardInput& keys = ctx_.keyboard;
    Rink& rink = ctx_.rink;
    if (!keys.spaceHeld) return;
    for (int32_t i = 0; i < CELLS_PER_FRAME; ++i) {
        const std::optional<PathPoint> p = rink.pathPop();
        if (!p) {
            safe = true;
            continue;
        }
        if (p->x > x_)
            keys.lastHeading = HEADING_RIGHT;
        else if (p->x < x_)
            keys.lastHeading = HEADING_LEFT;
        else if (p->y > y_)
            keys.lastHeading = HEADING_DOWN;
        else if (p->y < y_)
            keys.lastHeading = HEADING_UP;
        rink.eraseLine(whole(x_), whole(y_));
        setPosition(p->x, p->y);
    }
}

void Player::moveForward() {
    KeyboardInput& keys = ctx_.keyboard;
    Rink& rink = ctx_.rink;
    const HeadingRule& rule = RULES[heading_];
    float sx = rule.sx, sy = rule.sy;
    for (int32_t step = 0; step < CELLS_PER_FRAME; ++step) {
        uint8_t here = rink.cellAt(whole(x_), whole(y_));
        uint8_t next = rink.cellAt(whole(x_ + sx), whole(y_ + sy));

        // A raid starts only on the frame Space goes down, from the edge or a claimed line.
        if (next == CellIce && isSkateable(here) && keys.spacePressed) {
            safe = false;
            rink.pathClear();
            rink.pathPush(whole(x_), whole(y_));
            here = CellRaidLine;
        }
        const bool onLine = here == CellRaidLine;

        if (next == CellIce && onLine) {
            const int32_t u = cell();
            // The line may not run head-on into itself.
            if (rink.cellAtIndex(int64_t{u} + rule.twoAhead) == CellRaidLine) continue;
            moveBy(sx, sy);
            rink.markLine(whole(x_), whole(y_));
            rink.pathPush(whole(x_), whole(y_));
            // Alongside anything but free ice the line turns toward it.
            if (rink.cellAtIndex(int64_t{u} + rule.leftSide) != CellIce) {
                sx = rule.leftTurnX, sy = rule.leftTurnY;
                next = rink.cellAt(whole(x_ + sx), whole(y_ + sy));
            } else if (rink.cellAtIndex(int64_t{u} + rule.rightSide) != CellIce) {
                sx = rule.rightTurnX, sy = rule.rightTurnY;
                next = rink.cellAt(whole(x_ + sx), whole(y_ + sy));
            }
        }

        if (onLine && isSkateable(next)) {
            closeRaid(sx, sy);
        } else if (isSkateable(here) && isSkateable(next)) {
            if (next == CellClaimedLine) {
                moveBy(sx, sy);
            } else {
                // Edge that borders only claimed area is closed to the player.
                uint8_t inside;
                if (heading_ == HEADING_RIGHT || heading_ == HEADING_LEFT) {
                    const float dy = y_ == static_cast<float>(EDGE_TOP) ? 1.0f : -1.0f;
                    inside = rink.cellAt(whole(x_ + sx), whole(y_ + sy + dy));
                } else {
                    const float dx = x_ == static_cast<float>(EDGE_LEFT) ? 1.0f : -1.0f;
                    inside = rink.cellAt(whole(x_ + sx + dx), whole(y_ + sy));
                }
                if (inside != CellClaimed) moveBy(sx, sy);
            }
        }
    }
}

void Player::closeRaid(float sx, float sy) {
    safe = true;
    const int32_t last = cell();
    moveBy(sx, sy);
    FiguresOnIce figures(ctx_);
    capture_.capture(last, heading_, figures);
    // The capture retires claimed line with no free ice around it, which can be the cell the player
    // closed on, and may claim all the ice beside the edge it closed on. A player left where no free ice
    // is near could neither skate nor raid: it goes to the nearest line it can skate on.
    const int32_t here = cell();
    const int32_t to = ctx_.rink.nearestOpenLine(here);
    if (to >= 0 && to != here) moveToCell(to);
}

void Player::resetToRaidStart() {
    Rink& rink = ctx_.rink;
    const Heading h = rink.pathStartHeading();
    if (h == NO_HEADING) {
        heading_ = HEADING_RIGHT;
        moveToCell(cellIndex(EDGE_LEFT, CENTRE_Y));
    } else {
        heading_ = h;
        int32_t c = rink.pathStartCell();
        if (c < 0) {
            // Skated back onto the first point without a further pop, then cut: the path is empty but
            // its first point is still the cell the raid left from.
            const PathPoint p0 = rink.pathPoint(0);
            c = cellIndex(whole(p0.x), whole(p0.y));
        }
        moveToCell(c);
    }
    rink.pathClear();
    setFrame(static_cast<uint16_t>(heading_));
    growBox(-BOX_INSET);
    ctx_.keyboard.lastHeading = heading_;
    caught = false;
    safe = true;
}

} // namespace tundrix
