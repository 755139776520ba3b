// Ends connections to the server that have lasted too long, so that a client trickling a byte at a time
// cannot hold one of the few workers for ever (each read has a time-out, but every byte restarts it).
#pragma once
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <utility>

namespace tundrix::channel {

// Watches this process's open sockets that were accepted on the given port and shuts down (its worker
// then sees the connection end) one that has gone on longer than the deadline. A connection whose request
// lies unread is waiting in line for a worker, not holding one: the deadline counts from the last time it
// was seen waiting. Scans a few times a second on its own thread, from construction until destruction.
class ConnectionReaper {
  public:
    ConnectionReaper(int port, std::chrono::milliseconds deadline);
    ~ConnectionReaper();
    ConnectionReaper(const ConnectionReaper&) = delete;
    ConnectionReaper& operator=(const ConnectionReaper&) = delete;

  private:
    void watch();
    void scan(std::chrono::steady_clock::time_point now);

    int port_;
    std::chrono::milliseconds deadline_;
    // Each connection by its descriptor and its socket's inode (a reused descriptor is a new connection).
    std::map<std::pair<int, ino_t>, std::chrono::steady_clock::time_point> since_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace tundrix::channel
