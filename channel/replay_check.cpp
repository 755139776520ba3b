// The checks a replayed game must pass, and the checker's thread and queue.
#include "channel/replay_check.h"

#include "core/frame_driver.h"
#include "replay/replay_codec.h"

namespace tundrix {

namespace {

// The updates from the step that took the first clock reading to the one that took the last: the game
// reads the clock only while it plays, and the frames after its end read none.
uint32_t updatesWhileTheClockRan(const Replay& replay) {
    uint32_t updates = 0, counted = 0;
    bool started = false;
    for (const ReplayEntry& e : replay.entries) {
        started = started || e.readings > 0;
        if (started && e.step == ReplayStep::Update) ++updates;
        if (e.readings > 0) counted = updates;
    }
    return counted;
}

// The shell takes the best score's time on the frame schedule (which a pause or a dialog moves along)
// when the game that made it ends: never before the frame that made the score, and never after the
// recording's last frame by more than a slow machine falls behind (a tenth, and half a minute).
bool atGameTime(int32_t bestScoreTime, uint32_t scoredAtFrame, uint32_t updates) {
    const int64_t scored = int64_t{scoredAtFrame} * FRAME_MS, last = int64_t{updates} * FRAME_MS;
    return bestScoreTime + int64_t{FRAME_MS} >= scored && bestScoreTime <= last + last / 10 + 30000;
}

} // namespace

ReplayCheck checkReplay(std::span<const uint8_t> file, const ReplayClaim& claim,
                        const ResourceStore& resources) {
    ReplayCheck check;
    std::string why;
    const std::optional<Replay> replay = decodeReplay(file, why);
    if (!replay) {
        check.reason = "unreadable: " + why;
        return check;
    }
    check.result = ReplayCheck::Result::Mismatch;
    if (!(replay->build == claim.build)) {
        check.reason = "made by another build than the score form names";
        return check;
    }
    // The competitions count Original games only: an easier game is never played here, nor ranked.
    if (replay->mode != PlayMode::Original) {
        check.reason = "not an Original game: an easier way in is not ranked";
        return check;
    }
    uint32_t frame = 0;
    int32_t score = 0;
    check.verdict = verifyReplay(*replay, resources, [&](GameWorld& w) {
        if (w.score().get() != score) {
            score = w.score().get();
            check.scoredAtFrame = frame;
        }
        ++frame;
    });
    const ReplayVerdict& v = check.verdict;
    // The frame driver runs one update per frame of the clock, late frames included, and the game stands
    // still while held, so a real game's clock moves at least a frame per update. A second of slack
    // covers the first frame and rounding.
    const uint64_t leastElapsed = uint64_t{updatesWhileTheClockRan(*replay)} * FRAME_MS;
    if (!v.consistent)
        check.reason = "the game does not take the recording's steps: " + v.problem;
    else if (!v.gameOver)
        check.reason = "the game does not end";
    else if (v.tampered || claim.score < 0)
        check.reason = "the game's counters were changed from outside";
    else if (uint64_t{v.elapsedMs} + 1000 < leastElapsed)
        check.reason = "the clock runs slower than the game's frames (" + std::to_string(v.elapsedMs) +
                       " ms for " + std::to_string(leastElapsed / FRAME_MS) + " frames)";
    else if (v.score != claim.score)
        check.reason = "the game reaches " + std::to_string(v.score) + ", not " + std::to_string(claim.score);
    else if (!atGameTime(claim.bestScoreTime, check.scoredAtFrame, v.updates))
        check.reason = "the game's time is not " + std::to_string(claim.bestScoreTime) +
                       " ms: it scores at frame " + std::to_string(check.scoredAtFrame) + " of " +
                       std::to_string(v.updates);
    else
        check.result = ReplayCheck::Result::Verified;
    if (!replay->readings.empty())
        check.fingerprint = std::to_string(replay->readings.front()) + ":" + std::to_string(v.score) + ":" +
                            std::to_string(check.scoredAtFrame);
    return check;
}

ReplayChecker::ReplayChecker(const ResourceStore& resources, Done done, size_t maxQueued)
    : resources_(resources), done_(std::move(done)), maxQueued_(maxQueued), thread_([this] { run(); }) {}

ReplayChecker::~ReplayChecker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::optional<std::shared_future<ReplayCheck>>
ReplayChecker::submit(std::vector<uint8_t> file, ReplayClaim claim,
                      std::function<void(const ReplayCheck&)> then) {
    std::lock_guard lock(mutex_);
    if (stopping_ || jobs_.size() >= maxQueued_) return std::nullopt;
    jobs_.push_back(Job{std::move(file), claim, std::move(then), {}, {}});
    std::shared_future<ReplayCheck> result = jobs_.back().promise.get_future().share();
    wake_.notify_one();
    return result;
}

bool ReplayChecker::submitWork(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (stopping_ || jobs_.size() >= maxQueued_) return false;
    jobs_.push_back(Job{{}, {}, {}, {}, std::move(work)});
    wake_.notify_one();
    return true;
}

size_t ReplayChecker::queued() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

void ReplayChecker::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        if (job.work) {
            job.work();
            continue;
        }
        ReplayCheck check = checkReplay(job.file, job.claim, resources_);
        if (done_) done_(job.claim, check);
        if (job.then) job.then(check);
        job.promise.set_value(std::move(check));
    }
}

} // namespace tundrix
