// The checks a replayed game must pass, and the checker's thread and queue.
#include "channel/replay_check.h"

#include "core/frame_driver.h"
#include "replay/replay_codec.h"

namespace tundrix {

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
    check.verdict = verifyReplay(*replay, resources);
    const ReplayVerdict& v = check.verdict;
    // The frame driver runs one update per frame of the clock, late frames included, and the game stands
    // still while held, so a real game's clock moves at least a frame per update. A second of slack
    // covers the first frame and rounding.
    const uint64_t leastElapsed = uint64_t{v.updates} * FRAME_MS;
    if (!v.consistent)
        check.reason = "the game does not take the recording's steps: " + v.problem;
    else if (!v.gameOver)
        check.reason = "the game does not end";
    else if (v.tampered || claim.score < 0)
        check.reason = "the game's counters were changed from outside";
    else if (uint64_t{v.elapsedMs} + 1000 < leastElapsed)
        check.reason = "the clock runs slower than the game's frames (" + std::to_string(v.elapsedMs) +
                       " ms for " + std::to_string(v.updates) + " frames)";
    else if (v.score != claim.score)
        check.reason = "the game reaches " + std::to_string(v.score) + ", not " + std::to_string(claim.score);
    else
        check.result = ReplayCheck::Result::Verified;
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

std::optional<std::shared_future<ReplayCheck>> ReplayChecker::submit(std::vector<uint8_t> file,
                                                                     ReplayClaim claim) {
    std::lock_guard lock(mutex_);
    if (stopping_ || jobs_.size() >= maxQueued_) return std::nullopt;
    jobs_.push_back(Job{std::move(file), claim, {}});
    std::shared_future<ReplayCheck> result = jobs_.back().promise.get_future().share();
    wake_.notify_one();
    return result;
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
        ReplayCheck check = checkReplay(job.file, job.claim, resources_);
        if (done_) done_(job.claim, check);
        job.promise.set_value(std::move(check));
    }
}

} // namespace tundrix
