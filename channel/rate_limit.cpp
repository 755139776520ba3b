// Token buckets per key, with a bounded memory of keys.
#include "channel/rate_limit.h"

#include <algorithm>
#include <cmath>

namespace tundrix::channel {

double RateLimiter::refilled(const Bucket& bucket, double now) const {
    return std::min(rule_.burst, bucket.tokens + std::max(0.0, now - bucket.at) * rule_.perSecond);
}

void RateLimiter::forgetFullBuckets(double now) {
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        it = refilled(it->second, now) >= rule_.burst ? buckets_.erase(it) : std::next(it);
    }
    // Still full of busy keys: an attack from very many addresses; start afresh rather than grow.
    if (buckets_.size() >= rule_.maxKeys) buckets_.clear();
}

bool RateLimiter::take(const std::string& key, double now) {
    std::lock_guard lock(mutex_);
    auto it = buckets_.find(key);
    if (it == buckets_.end()) {
        if (buckets_.size() >= rule_.maxKeys) forgetFullBuckets(now);
        it = buckets_.emplace(key, Bucket{rule_.burst, now}).first;
    }
    Bucket& bucket = it->second;
    bucket.tokens = refilled(bucket, now);
    bucket.at = now;
    if (bucket.tokens < 1) return false;
    bucket.tokens -= 1;
    return true;
}

int RateLimiter::waitSeconds(const std::string& key, double now) {
    std::lock_guard lock(mutex_);
    const auto it = buckets_.find(key);
    if (it == buckets_.end() || rule_.perSecond <= 0) return 1;
    const double missing = 1 - refilled(it->second, now);
    return std::max(1, static_cast<int>(std::ceil(missing / rule_.perSecond)));
}

} // namespace tundrix::channel
