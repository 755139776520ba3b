// Plays a registered score's game again and says whether it reaches that score: one game at a time, on a
// thread of its own, from a queue of bounded length.
#pragma once
#include "platform/resource_store.h"
#include "replay/replay.h"
#include "replay/replay_player.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace tundrix {

// What the member's score form claimed, which the game must reach.
struct ReplayClaim {
    int64_t scoreId = 0;
    int32_t score = 0;         // as the form sent it (a tampered game's score arrives negated)
    int32_t bestScoreTime = 0; // ms of play, as the form sent it, when the game reached its score
    ReplayBuild build;         // the game id, CRC and length the form sent
};

struct ReplayCheck {
    enum class Result { Verified, Mismatch, Unreadable };
    Result result = Result::Unreadable;
    std::string reason; // for the operator: why not verified, or empty
    ReplayVerdict verdict;
    uint32_t scoredAtFrame = 0; // the update after which the game had its final score
    // The game as a player would tell it apart: its seed, its score and the frame that made it. Steps
    // added after the end or another header do not change it, so one game can back one score only.
    std::string fingerprint;
};

// Decodes and plays the file through the game's own world. Verified only when the recording is readable,
// made by the build the form named, an Original game, consistent to its last step, ends in game over, was not
// tampered with, keeps to the frame rate's clock, reaches exactly the claimed score, and reaches it at the
// game time the form names.
ReplayCheck checkReplay(std::span<const uint8_t> file, const ReplayClaim& claim,
                        const ResourceStore& resources);

// The one thread the channel plays games on: the game keeps its picture and its tamper mark in
// process-wide variables, so two games must never run at once.
class ReplayChecker {
  public:
    using Done = std::function<void(const ReplayClaim&, const ReplayCheck&)>;
    // done runs on the checker's thread after each game, before its future is ready.
    ReplayChecker(const ResourceStore& resources, Done done, size_t maxQueued = 32);
    ~ReplayChecker(); // finishes the game being played; the ones still queued are dropped
    ReplayChecker(const ReplayChecker&) = delete;
    ReplayChecker& operator=(const ReplayChecker&) = delete;

    // Queues a game; nothing when the queue is full (the caller asks the member to try later). then (if
    // set) runs on the checker's thread after done.
    std::optional<std::shared_future<ReplayCheck>> submit(std::vector<uint8_t> file, ReplayClaim claim,
                                                          std::function<void(const ReplayCheck&)> then = {});
    // Queues other work with the game (drawing a run), on the same thread and in the same queue; false
    // when the queue is full.
    bool submitWork(std::function<void()> work);
    size_t queued() const;

  private:
    struct Job {
        std::vector<uint8_t> file;
        ReplayClaim claim;
        std::function<void(const ReplayCheck&)> then;
        std::promise<ReplayCheck> promise;
        std::function<void()> work; // instead of a check
    };
    void run();

    const ResourceStore& resources_;
    Done done_;
    const size_t maxQueued_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace tundrix
