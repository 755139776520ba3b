// Token buckets per key; when the memory of keys is full, the key unused for longest goes, one at a time,
// so an attack from very many addresses never wipes out the allowances of the rest.
#include "channel/rate_limit.h"

#include <algorithm>
#include <cmath>

namespace tundrix::channel {

double RateLimiter::refilled(const Bucket& bucket, double now) const {
    return std::min(rule_.burst, bucket.tokens + std::max(0.0, now - bucket.at) * rule_.perSecond);
}

RateLimiter::Bucket& RateLimiter::bucketFor(const std::string& key, double now) {
    auto it = buckets_.find(key);
    if (it == buckets_.end()) {
        while (!used_.empty() && buckets_.size() >= std::max<size_t>(1, rule_.maxKeys)) {
            buckets_.erase(used_.back());
            used_.pop_back();
        }
        used_.push_front(key);
        it = buckets_.emplace(key, Bucket{rule_.burst, now, used_.begin()}).first;
    } else {
        used_.splice(used_.begin(), used_, it->second.use);
    }
    Bucket& bucket = it->second;
    bucket.tokens = refilled(bucket, now);
    bucket.at = now;
    return bucket;
}

bool RateLimiter::take(const std::string& key, double now) {
    std::lock_guard lock(mutex_);
    Bucket& bucket = bucketFor(key, now);
    if (bucket.tokens < 1) return false;
    bucket.tokens -= 1;
    return true;
}

bool RateLimiter::allows(const std::string& key, double now) {
    std::lock_guard lock(mutex_);
    const auto it = buckets_.find(key);
    return it == buckets_.end() || refilled(it->second, now) >= 1;
}

int RateLimiter::waitSeconds(const std::string& key, double now) {
    std::lock_guard lock(mutex_);
    const auto it = buckets_.find(key);
    if (it == buckets_.end() || rule_.perSecond <= 0) return 1;
    const double missing = 1 - refilled(it->second, now);
    return std::max(1, static_cast<int>(std::ceil(missing / rule_.perSecond)));
}

size_t RateLimiter::keys() {
    std::lock_guard lock(mutex_);
    return buckets_.size();
}

} // namespace tundrix::channel
