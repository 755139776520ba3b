// Remembers, for a few minutes, which (user name, password) pairs were just checked against a member's
// password hash, so that a member posting again does not cost another argon2id check.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tundrix::channel {

// Holds no password and no hash: only a keyed digest (BLAKE2b under a random key that lives in this
// process's memory alone) of the user name, the password and the member's stored hash, with an expiry.
// A changed password changes the stored hash, so older entries never match again. Only successful checks
// are remembered. Thread-safe.
class CredentialCache {
  public:
    explicit CredentialCache(int64_t lifetimeSeconds = 600, size_t maxEntries = 100'000);
    // A check of this password against this hash succeeded less than the lifetime ago.
    bool known(std::string_view user, std::string_view password, std::string_view hash, int64_t now);
    void remember(std::string_view user, std::string_view password, std::string_view hash, int64_t now);

  private:
    std::string digest(std::string_view user, std::string_view password, std::string_view hash) const;

    int64_t lifetime_;
    size_t maxEntries_;
    unsigned char key_[32];
    std::mutex mutex_;
    std::unordered_map<std::string, int64_t> expiry_;
};

} // namespace tundrix::channel
