// The prize draw: a shuffle driven by libsodium's deterministic random bytes keyed by the seed's hash.
#include "channel/prize_draw.h"

#include <sodium.h>

#include <array>

namespace tundrix::channel {
namespace {

// The seed's random numbers, one after another.
class SeededNumbers {
  public:
    explicit SeededNumbers(const std::string& seed) {
        std::array<unsigned char, randombytes_SEEDBYTES> key{};
        crypto_generichash(key.data(), key.size(), reinterpret_cast<const unsigned char*>(seed.data()),
                           seed.size(), nullptr, 0);
        randombytes_buf_deterministic(stream_.data(), stream_.size(), key.data());
    }
    // Uniform in [0, bound), bound above 0: numbers past the last whole multiple of bound are passed
    // over, so that no contender is likelier than another.
    uint32_t below(uint32_t bound) {
        const uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
        for (;;) {
            const uint32_t n = next();
            if (n < limit) return n % bound;
        }
    }

  private:
    uint32_t next() {
        if (used_ + 4 > stream_.size()) {
            // A fresh block keyed by the last one: the stream goes on as long as the draw needs.
            std::array<unsigned char, randombytes_SEEDBYTES> key{};
            crypto_generichash(key.data(), key.size(), stream_.data(), stream_.size(), nullptr, 0);
            randombytes_buf_deterministic(stream_.data(), stream_.size(), key.data());
            used_ = 0;
        }
        uint32_t n = 0;
        for (int i = 0; i < 4; ++i)
            n = (n << 8) | stream_[used_++];
        return n;
    }
    std::array<unsigned char, 1024> stream_{};
    size_t used_ = 0;
};

} // namespace

std::vector<DrawWinner> drawWinners(const std::vector<Contender>& standings, int winners, int drawAmong,
                                    const std::string& seed) {
    std::vector<DrawWinner> out;
    if (winners <= 0) return out;
    std::vector<Contender> pool;
    if (drawAmong <= 0) {
        pool.assign(standings.begin(), standings.begin() + std::min<size_t>(standings.size(), winners));
    } else {
        for (const Contender& c : standings) {
            const bool level = !pool.empty() && c.result == pool.back().result;
            if (pool.size() >= static_cast<size_t>(drawAmong) && !level) break;
            pool.push_back(c);
        }
        // Fisher and Yates: every order of the pool equally likely.
        SeededNumbers numbers(seed);
        for (size_t i = pool.size(); i > 1; --i)
            std::swap(pool[i - 1], pool[numbers.below(static_cast<uint32_t>(i))]);
    }
    for (size_t i = 0; i < pool.size() && i < static_cast<size_t>(winners); ++i)
        out.push_back({static_cast<int>(i + 1), pool[i].memberId, pool[i].nickname, pool[i].result});
    return out;
}

std::string newSeed() {
    std::array<unsigned char, 16> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::array<char, 33> hex{};
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    return hex.data();
}

} // namespace tundrix::channel
