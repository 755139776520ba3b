// Gathering log lines and writing them out in order, from the sink's own thread or a flush.
#include "channel/log_sink.h"

namespace tundrix::channel {

LogSink::LogSink(std::ostream& out)
    : out_(out), thread_([this] {
          for (;;) {
              {
                  std::unique_lock lock(mutex_);
                  wake_.wait_for(lock, EVERY, [this] { return stopping_ || pending_.size() >= BATCH_BYTES; });
                  if (stopping_) return;
              }
              flush();
          }
      }) {}

LogSink::~LogSink() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    flush();
}

void LogSink::line(std::string text) {
    std::lock_guard lock(mutex_);
    pending_ += text;
    if (pending_.size() >= BATCH_BYTES) wake_.notify_one();
}

void LogSink::flush() {
    // Taken before the lines are: two flushes write their batches in the order they took them.
    std::lock_guard writing(writing_);
    std::string batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
    }
    if (batch.empty()) return;
    out_ << batch;
    out_.flush();
}

} // namespace tundrix::channel
