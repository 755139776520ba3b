// The pool's threads and its bounded queue.
#include "channel/work_pool.h"

#include <algorithm>

namespace tundrix::channel {

unsigned coreCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

WorkPool::WorkPool(unsigned threads, size_t queueLimit) : queueLimit_(queueLimit) {
    for (unsigned i = 0, n = threads ? threads : coreCount(); i < n; ++i)
        threads_.emplace_back([this] { work(); });
}

WorkPool::~WorkPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

bool WorkPool::submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || jobs_.size() >= queueLimit_) return false;
        jobs_.push_back(std::move(job));
    }
    ready_.notify_one();
    return true;
}

void WorkPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace tundrix::channel
