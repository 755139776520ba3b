// What the layer is showing: each moment's effect and how far along it is, counted in game frames.
#pragma once
#include "core/feedback_layout.h"
#include "feedback/claimed_area.h"
#include "feedback/moments.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tundrix {

// How long each effect lasts, in frames of 40 ms.
constexpr int FLASH_FRAMES = 10;   // the newly claimed ice lightens and fades back
constexpr int BURST_STEP = 2;      // frames per picture of the flash where a capture closes
constexpr int FLOATER_FRAMES = 32; // "+N" rises and goes
constexpr int FLOATER_RISE = 20;   // frames it rises for, a pixel each
constexpr int SKATE_FRAMES = 18;   // a penalised figure skating to the box
constexpr int CUT_FRAMES = 16;     // the cut line flashing away
constexpr int SHAKE_FRAMES = 8;    // the picture shaking after a cut
constexpr int CARD_FRAMES = 44;    // the period card
constexpr int CARD_SLIDE = 6;      // frames it takes to come in and to go
constexpr int BANNER_SLIDE = 5;    // frames the period-won banner takes to drop in

struct Effects {
    struct Flash {
        std::vector<CellRun> cells;
        int age = 0;
    };
    struct Burst {
        int32_t x, y;
        int age = 0;
    };
    struct Floater {
        int32_t x, y, value;
        int age = 0;
    };
    struct Skater {
        float x, y;
        const Image* figure;
        int age = 0;
    };
    struct CutLine {
        std::vector<PathPoint> line;
        int age = 0;
    };

    // Starts the effects of this update's moments; the claimed area tells which cells a capture took.
    void take(const Moments& moments, ClaimedArea& area, const Rink& rink);
    // One frame passes: every effect ages, the finished ones go, figures that reached the box sit in it.
    void age();
    void clear();

    std::vector<Flash> flashes;
    std::vector<Burst> bursts;
    std::vector<Floater> floaters;
    std::vector<Skater> skaters;
    std::vector<CutLine> cuts;
    std::vector<const Image*> boxed; // this period's penalised figures that reached the box
    int shake = -1;                  // frames since the last cut began shaking the picture; -1 for none
    int32_t cardPeriod = 0;          // the period on the card, 0 for none
    int card = 0;
    std::optional<PeriodWonMoment> won; // the last won period's figures, until the next period starts
    int banner = 0;
};

} // namespace tundrix
