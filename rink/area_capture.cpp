// Line following, side flooding with an explicit work list, claiming and scoring of a capture.
#include "rink/area_capture.h"

namespace tundrix {

namespace {

struct WalkRule {
    int32_t straight;
    int32_t sideA; // the right-hand side of the walk on screen
    int32_t sideB; // the left-hand side
    int32_t firstTurn;
    int32_t secondTurn;
};

WalkRule walkRule(int32_t w) {
    switch (w) {
    case WALK_LEFT:
        return {WALK_LEFT, -RINK_WIDTH, RINK_WIDTH, WALK_UP, WALK_DOWN};
    case WALK_UP:
        return {WALK_UP, 1, -1, WALK_RIGHT, WALK_LEFT};
    case WALK_RIGHT:
        return {WALK_RIGHT, RINK_WIDTH, -RINK_WIDTH, WALK_DOWN, WALK_UP};
    default:
        return {WALK_DOWN, -1, 1, WALK_LEFT, WALK_RIGHT};
    }
}

// The walk goes back along the line, against the player's heading.
int32_t walkAgainst(Heading heading) {
    switch (heading) {
    case HEADING_RIGHT:
        return WALK_LEFT;
    case HEADING_DOWN:
        return WALK_UP;
    case HEADING_LEFT:
        return WALK_RIGHT;
    default:
        return WALK_DOWN;
    }
}

} // namespace

AreaCapture::AreaCapture(Rink& rink, GuardedCounter& claimedCells, GuardedCounter& score,
                         SoundEffect& bigCaptureSound)
    : rink_(rink), claimedCells_(claimedCells), score_(score), bigCaptureSound_(bigCaptureSound) {
    // Every cell enters the work list at most once per flood.
    work_.reserve(RINK_CELLS);
}

int32_t AreaCapture::capture(int32_t last, Heading heading, CaptureFigures& figures) {
    const int32_t lineCells = followLine(last, walkAgainst(heading)) + closeLineLeftAside();
    rink_.pathClear();
    const uint8_t refereeCell = figures.resampleReferee();
    const int32_t sideCells =
        refereeCell == CellSideA ? claimSide(CellSideB, CellSideA) : claimSide(CellSideA, CellSideB);
    const int32_t v = lineCells + sideCells;
    claimedCells_.add(v);
    if (v > BIG_CAPTURE_CELLS) bigCaptureSound_.play();
    score_.add(captureScore(v));
    figures.resampleAll();
    return v;
}

int32_t AreaCapture::followLine(int32_t a, int32_t w) {
    int32_t count = 0;
    for (;;) {
        const WalkRule rule = walkRule(w);
        count += 1;
        rink_.setCellAtIndex(a, CellClaimedLine);
        rink_.paintIndex(a, CellClaimedLine);
        floodSide(a + rule.sideA, CellSideA);
        floodSide(a + rule.sideB, CellSideB);
        if (rink_.cellAtIndex(a + rule.straight) == CellRaidLine) {
            a += rule.straight;
        } else if (rink_.cellAtIndex(a + rule.firstTurn) == CellRaidLine) {
            a += rule.firstTurn;
            w = rule.firstTurn;
        } else if (rink_.cellAtIndex(a + rule.secondTurn) == CellRaidLine) {
            a += rule.secondTurn;
            w = rule.secondTurn;
        } else {
            return count;
        }
    }
}

void AreaCapture::floodSide(int32_t i, uint8_t code) {
    if (code == CellIce || rink_.cellAtIndex(i) != CellIce) return;
    // Cells take the code as they enter the list, so none enters twice. The set of cells reached is
    // the four-connected free ice around i whatever the visiting order.
    work_.clear();
    rink_.setCellAtIndex(i, code);
    work_.push_back(i);
    while (!work_.empty()) {
        const int32_t j = work_.back();
        work_.pop_back();
        for (int32_t step : STEPS) {
            const int32_t n = j + step;
            if (rink_.cellAtIndex(n) == CellIce) {
                rink_.setCellAtIndex(n, code);
                work_.push_back(n);
            }
        }
    }
}

int32_t AreaCapture::claimSide(uint8_t claim, uint8_t restore) {
    int32_t count = 0;
    for (int32_t i = 0; i < RINK_CELLS; ++i) {
        const uint8_t c = rink_.cellAtIndex(i);
        if (c == claim) {
            rink_.setCellAtIndex(i, CellClaimed);
            rink_.paintClaimed(i);
            count += 1;
        } else if (c == restore) {
            rink_.setCellAtIndex(i, CellIce);
        }
    }
    // Claimed line with no free ice around it is closed to the player: it becomes claimed area. It
    // was counted when its own line was captured.
    for (int32_t i = 0; i < RINK_CELLS; ++i) {
        if (rink_.cellAtIndex(i) == CellClaimedLine && !rink_.besideIce(i)) {
            rink_.setCellAtIndex(i, CellClaimed);
            rink_.paintClaimed(i);
        }
    }
    return count;
}

int32_t AreaCapture::closeLineLeftAside() {
    int32_t count = 0;
    for (int32_t i = 0; i < RINK_CELLS; ++i) {
        if (rink_.cellAtIndex(i) != CellRaidLine) continue;
        rink_.setCellAtIndex(i, CellClaimedLine);
        rink_.paintIndex(i, CellClaimedLine);
        count += 1;
    }
    return count;
}

int32_t AreaCapture::captureScore(int32_t v) {
    return tundrix::captureScore(v);
}

} // namespace tundrix
