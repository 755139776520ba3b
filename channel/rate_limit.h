// Rate limits: a bucket of tokens per key (an address, a member at an address) that refills at a steady
// pace, and a bounded memory of keys that forgets the longest-unused first.
#pragma once
#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tundrix::channel {

struct RateRule {
    double burst = 10;        // how many attempts may come at once
    double perSecond = 1;     // how fast the allowance comes back
    size_t maxKeys = 100'000; // keys remembered at most
};

// Thread-safe. Time is given by the caller (seconds on any steady clock) so tests need not wait.
class RateLimiter {
  public:
    explicit RateLimiter(RateRule rule) : rule_(rule) {}
    // Takes one attempt from key's allowance; false (and nothing taken) when it is used up.
    bool take(const std::string& key, double now);
    // Whether key has an attempt left, taking nothing: for limits charged only by failures.
    bool allows(const std::string& key, double now);
    // How long until key may try again, in whole seconds (at least 1), for a Retry-After header.
    int waitSeconds(const std::string& key, double now);
    size_t keys();

  private:
    struct Bucket {
        double tokens = 0;
        double at = 0;
        std::list<std::string>::iterator use; // its place in the order of use
    };
    double refilled(const Bucket& bucket, double now) const;
    Bucket& bucketFor(const std::string& key, double now);

    RateRule rule_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    std::list<std::string> used_; // most recently used first
};

// Seconds on the steady clock, for the limiters.
inline double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace tundrix::channel
