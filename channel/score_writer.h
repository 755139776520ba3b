// Group commit: scores posted at the same moment are kept in one transaction with one sync to disk,
// and each poster hears back only once that commit is on the disk.
#pragma once
#include "channel/store.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace tundrix::channel {

class ScoreWriter {
  public:
    // Called on the writer's thread after the commit (or its failure: then with nothing).
    using Done = std::function<void(std::optional<Recorded>)>;

    ScoreWriter(Store& store, size_t queueLimit = 4096, size_t batchLimit = 512);
    // Keeps what is queued, then stops.
    ~ScoreWriter();
    ScoreWriter(const ScoreWriter&) = delete;
    ScoreWriter& operator=(const ScoreWriter&) = delete;

    // Queues a score; false (nothing queued, done never called) when the queue is full.
    bool submit(PendingScore score, int64_t now, Done done);

  private:
    struct Item {
        PendingScore score;
        int64_t now;
        Done done;
    };
    void run();

    Store& store_;
    size_t queueLimit_;
    size_t batchLimit_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Item> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace tundrix::channel
