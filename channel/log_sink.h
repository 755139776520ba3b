// The server's log: lines from many threads, each whole, written out in batches (when a good deal has
// gathered, and at least every tenth of a second) rather than with a system call per request.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace tundrix::channel {

class LogSink {
  public:
    explicit LogSink(std::ostream& out);
    // Writes out what is left.
    ~LogSink();
    LogSink(const LogSink&) = delete;
    LogSink& operator=(const LogSink&) = delete;

    // Adds one line (with its line end).
    void line(std::string text);
    // Writes out everything added so far.
    void flush();

    static constexpr std::chrono::milliseconds EVERY{100};
    static constexpr size_t BATCH_BYTES = 32 * 1024;

  private:
    std::ostream& out_;
    std::mutex writing_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace tundrix::channel
