// Keyed digests of recently verified credentials, with expiry and a bounded size.
#include "channel/credential_cache.h"

#include <sodium.h>

namespace tundrix::channel {

CredentialCache::CredentialCache(int64_t lifetimeSeconds, size_t maxEntries)
    : lifetime_(lifetimeSeconds), maxEntries_(maxEntries) {
    randombytes_buf(key_, sizeof key_);
}

std::string CredentialCache::digest(std::string_view user, std::string_view password,
                                    std::string_view hash) const {
    crypto_generichash_state state;
    crypto_generichash_init(&state, key_, sizeof key_, 32);
    // Each part with its length first, so that no two different triples run together alike.
    for (const std::string_view part : {user, password, hash}) {
        const uint64_t size = part.size();
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(&size), sizeof size);
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(part.data()), part.size());
    }
    std::string out(32, '\0');
    crypto_generichash_final(&state, reinterpret_cast<unsigned char*>(out.data()), out.size());
    return out;
}

bool CredentialCache::known(std::string_view user, std::string_view password, std::string_view hash,
                            int64_t now) {
    if (lifetime_ <= 0) return false;
    const std::string d = digest(user, password, hash);
    std::lock_guard lock(mutex_);
    const auto it = expiry_.find(d);
    if (it == expiry_.end()) return false;
    if (it->second > now) return true;
    expiry_.erase(it);
    return false;
}

void CredentialCache::remember(std::string_view user, std::string_view password, std::string_view hash,
                               int64_t now) {
    if (lifetime_ <= 0) return;
    const std::string d = digest(user, password, hash);
    std::lock_guard lock(mutex_);
    if (expiry_.size() >= maxEntries_) {
        for (auto it = expiry_.begin(); it != expiry_.end();)
            it = it->second <= now ? expiry_.erase(it) : std::next(it);
        if (expiry_.size() >= maxEntries_) expiry_.clear();
    }
    expiry_[d] = now + lifetime_;
}

} // namespace tundrix::channel
