// Starting, ageing and ending the effects.
#include "feedback/effects.h"

#include <algorithm>

namespace tundrix {

namespace {
template <class T> void ageAll(std::vector<T>& list, int frames) {
    for (T& e : list)
        ++e.age;
    std::erase_if(list, [frames](const T& e) { return e.age >= frames; });
}
} // namespace

void Effects::take(const Moments& m, ClaimedArea& area, const Rink& rink) {
    if (m.periodStarted != 0) {
        clear();
        area.reset(rink);
        cardPeriod = m.periodStarted;
        card = 0;
    }
    if (m.capture) {
        flashes.push_back({area.takeNew(rink)});
        const int32_t x = whole(m.capture->x), y = whole(m.capture->y);
        bursts.push_back({x, y});
        floaters.push_back({x, y, m.capture->points});
    }
    for (const PenaltyMoment& p : m.penalties) {
        skaters.push_back({p.x, p.y, p.figure});
        floaters.push_back({whole(p.x), whole(p.y), PENALTY_POINTS});
    }
    if (m.cut) {
        cuts.push_back({m.cut->line});
        shake = 0;
    }
    if (m.won) {
        won = m.won;
        banner = 0;
    }
}

void Effects::age() {
    ageAll(flashes, FLASH_FRAMES);
    ageAll(bursts, BURST_STEP * feedback::BURST_FRAMES);
    ageAll(floaters, FLOATER_FRAMES);
    ageAll(cuts, CUT_FRAMES);
    for (Skater& s : skaters)
        if (++s.age >= SKATE_FRAMES) boxed.push_back(s.figure);
    std::erase_if(skaters, [](const Skater& s) { return s.age >= SKATE_FRAMES; });
    if (shake >= 0 && ++shake >= SHAKE_FRAMES) shake = -1;
    if (cardPeriod != 0 && ++card >= CARD_FRAMES) cardPeriod = 0;
    if (won) ++banner;
}

void Effects::clear() {
    flashes.clear();
    bursts.clear();
    floaters.clear();
    skaters.clear();
    cuts.clear();
    boxed.clear();
    shake = -1;
    cardPeriod = 0;
    won.reset();
}

} // namespace tundrix
