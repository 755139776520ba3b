// Rate limits: a bucket of tokens per key (an address, a member) that refills at a steady pace.
#pragma once
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tundrix::channel {

struct RateRule {
    double burst = 10;        // how many attempts may come at once
    double perSecond = 1;     // how fast the allowance comes back
    size_t maxKeys = 100'000; // keys remembered at most; full buckets are forgotten first
};

// Thread-safe. Time is given by the caller (seconds on any steady clock) so tests need not wait.
class RateLimiter {
  public:
    explicit RateLimiter(RateRule rule) : rule_(rule) {}
    // Takes one attempt from key's allowance; false (and nothing taken) when it is used up.
    bool take(const std::string& key, double now);
    // How long until key may try again, in whole seconds (at least 1), for a Retry-After header.
    int waitSeconds(const std::string& key, double now);

  private:
    struct Bucket {
        double tokens = 0;
        double at = 0;
    };
    double refilled(const Bucket& bucket, double now) const;
    void forgetFullBuckets(double now);

    RateRule rule_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

// Seconds on the steady clock, for the limiters.
inline double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace tundrix::channel
