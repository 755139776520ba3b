// Reads the moments off the world's counters, flags, figures and raid path.
#include "feedback/moments.h"

#include <algorithm>

namespace tundrix {

namespace {
// A frame moves the player at most this many cells, so a raid cut this frame is at most this much longer
// than it was at the last look.
constexpr int32_t CELLS_PER_FRAME = 3;
} // namespace

MomentWatcher::MomentWatcher(GameWorld& world) : world_(world) {
    remember();
    lookAtFigures(nullptr);
    // A world watched from the middle of a period has no start to show.
    if (playing()) cardedPeriod_ = period_;
    periodScore_ = score_;
}

bool MomentWatcher::playing() const {
    return !world_.onTitle() && !world_.inMatchIntro();
}

void MomentWatcher::remember() {
    score_ = world_.score().get();
    claimed_ = world_.claimedCells().get();
    chances_ = world_.chances().get();
    period_ = world_.periodNumber().get();
    pathCount_ = world_.rink().pathCount();
    timeUp_ = world_.timeUp();
    won_ = world_.periodWon();
}

void MomentWatcher::lookAtFigures(std::vector<PenaltyMoment>* penalties) {
    // Walked by its links, so the list's own cursor, which the rules use, stays where it was.
    std::vector<const Opponent*>& stillInPlay = spare_;
    stillInPlay.clear();
    for (const ListNode* n = world_.actors().head(); n != nullptr; n = n->next) {
        const auto* figure = dynamic_cast<const Opponent*>(n->item);
        if (figure == nullptr) continue;
        if (!figure->marked) {
            stillInPlay.push_back(figure);
        } else if (penalties && std::find(inPlay_.begin(), inPlay_.end(), figure) != inPlay_.end()) {
            const Image* facingBox = figure->sheet().frame(HEADINGS * figure->kind() + HEADING_RIGHT);
            penalties->push_back({figure->x(), figure->y(), facingBox ? facingBox : figure->frame()});
        }
    }
    inPlay_.swap(stillInPlay);
}

const Moments& MomentWatcher::observe() {
    const int32_t lastScore = score_, lastClaimed = claimed_, lastChances = chances_, lastPeriod = period_,
                  lastPath = pathCount_;
    const bool lastTimeUp = timeUp_, lastWon = won_;
    remember();

    moments_.capture.reset();
    moments_.penalties.clear();
    moments_.cut.reset();
    moments_.periodStarted = 0;
    moments_.won.reset();
    lookAtFigures(&moments_.penalties);

    if (period_ == lastPeriod && claimed_ > lastClaimed) {
        const int32_t points =
            score_ - lastScore - PENALTY_POINTS * static_cast<int32_t>(moments_.penalties.size());
        moments_.capture = CaptureMoment{claimed_ - lastClaimed, std::max(points, 0), world_.player().x(),
                                         world_.player().y()};
    }

    // Chances go only to cuts and to the clock; the clock's is the one that starts the time-up pause.
    const int32_t cuts = lastChances - chances_ - (timeUp_ && !lastTimeUp ? 1 : 0);
    if (cuts > 0 && playing()) {
        // The path keeps its points after a cut: the line was them, one past its last look's end at most
        // a frame's moves further.
        CutMoment cut;
        const int32_t last = std::min(lastPath + CELLS_PER_FRAME, Rink::PATH_CAPACITY - 1);
        for (int32_t k = 1; k <= last; ++k)
            cut.line.push_back(world_.rink().pathPoint(k));
        moments_.cut = std::move(cut);
    }

    if (playing() && !world_.gameOver() && period_ != cardedPeriod_) {
        cardedPeriod_ = period_;
        periodScore_ = score_;
        moments_.periodStarted = period_;
    }
    if (won_ && !lastWon) moments_.won = PeriodWonMoment{period_, world_.percentage(), score_ - periodScore_};
    return moments_;
}

} // namespace tundrix
