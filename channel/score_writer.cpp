// The writer's thread: whatever has queued up while the last commit was syncing goes in the next one.
#include "channel/score_writer.h"

#include <vector>

namespace tundrix::channel {

ScoreWriter::ScoreWriter(Store& store, size_t queueLimit, size_t batchLimit)
    : store_(store), queueLimit_(queueLimit), batchLimit_(batchLimit), thread_([this] { run(); }) {}

ScoreWriter::~ScoreWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    thread_.join();
}

bool ScoreWriter::submit(PendingScore score, int64_t now, Done done) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || queue_.size() >= queueLimit_) return false;
        queue_.push_back({std::move(score), now, std::move(done)});
    }
    ready_.notify_one();
    return true;
}

void ScoreWriter::run() {
    for (;;) {
        std::vector<Item> batch;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            // One moment for the whole commit: the posts of a batch arrived together.
            while (!queue_.empty() && batch.size() < batchLimit_) {
                batch.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
        }
        std::vector<PendingScore> scores;
        scores.reserve(batch.size());
        for (Item& item : batch)
            scores.push_back(std::move(item.score));
        const std::vector<std::optional<Recorded>> recorded = store_.recordScores(scores, batch.back().now);
        for (size_t i = 0; i < batch.size(); ++i)
            batch[i].done(recorded[i]);
    }
}

} // namespace tundrix::channel
