// A fixed set of threads taking jobs from a bounded queue: the slow work of answering (password
// checks, database reads) runs here, never on the threads that move the bytes.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tundrix::channel {

class WorkPool {
  public:
    // threads 0: one per processor core.
    WorkPool(unsigned threads, size_t queueLimit);
    // Runs the jobs still queued, then stops the threads.
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    // Queues a job; false (and the job not taken) when the queue is full, so the caller can answer
    // "busy" at once instead of making the client wait.
    bool submit(std::function<void()> job);
    unsigned threads() const { return static_cast<unsigned>(threads_.size()); }

  private:
    void work();

    size_t queueLimit_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The threads a pool of "one per core" has.
unsigned coreCount();

} // namespace tundrix::channel
