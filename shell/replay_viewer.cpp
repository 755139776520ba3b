// The replay's frames on the frame clock: one update every frame time, the drawing recorded after it, and
// the holds and score clearings in between taken at once.
#include "shell/replay_viewer.h"

#include "core/frame_driver.h"
#include "core/guarded_counter.h"

namespace tundrix {

namespace {
// A viewer this many frames behind (a slow machine, a window being dragged) starts its pace again from
// now rather than rushing through frames.
constexpr uint32_t LATE_FRAMES = 5;
// The last picture stays this long after the game-over sequence, then the replay ends (a recording goes
// on for as long as the player looked at the finished game).
constexpr uint32_t AFTER_GAME_OVER_FRAMES = 50;
} // namespace

ReplayViewer::ReplayViewer(Replay replay, const ResourceStore& resources, AudioOut& audio, VideoOut& video,
                           Clock& clock)
    : replay_(std::move(replay)), clock_(clock), savedTamperFlag_(tamperFlag),
      player_(std::make_unique<ReplayPlayer>(replay_, resources, audio, video)) {}

ReplayViewer::~ReplayViewer() {
    player_.reset();
    tamperFlag = savedTamperFlag_;
}

bool ReplayViewer::playing() const {
    return !stopped_ && entry_ < replay_.entries.size() && player_->problem().empty() &&
           overFrames_ < AFTER_GAME_OVER_FRAMES;
}

uint32_t ReplayViewer::msToNextFrame() {
    if (!playing() || !started_) return 0;
    const uint32_t elapsed = clock_.nowMs() - start_, due = FRAME_MS * frames_;
    return due > elapsed ? due - elapsed : 0;
}

bool ReplayViewer::advance() {
    if (!playing()) return false;
    const uint32_t now = clock_.nowMs();
    if (!started_ || now - start_ > FRAME_MS * (frames_ + LATE_FRAMES)) {
        start_ = now - FRAME_MS * frames_;
        started_ = true;
    }
    if (now - start_ < FRAME_MS * frames_) return true;
    bool updated = false;
    while (entry_ < replay_.entries.size()) {
        const ReplayStep step = replay_.entries[entry_].step;
        if (updated && step == ReplayStep::Update) break;
        if (!player_->next(true)) return false;
        ++entry_;
        if (step == ReplayStep::Update) updated = true;
        if (step == ReplayStep::Draw) ++pictures_;
    }
    ++frames_;
    const GameWorld* world = player_->world();
    if (world && world->gameOver() && world->countdown() == 0) ++overFrames_;
    return playing();
}

} // namespace tundrix
