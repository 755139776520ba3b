// The addresses the game was just told belong to no member, kept a short while for the client that sent
// them, so that the sign-up page the game opens next on that machine can offer to sign up with it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace tundrix::channel {

class UnknownUsers {
  public:
    // How many clients are remembered at the most (the oldest goes first), and for how long.
    static constexpr size_t CAPACITY = 1024;
    static constexpr double KEPT_SECONDS = 600;

    void remember(const std::string& client, std::string email, double steadyNow);
    // The address this client was last told is unknown, if that was in the last KEPT_SECONDS, and then
    // forgotten: a page shows it once. Empty when there is none.
    std::string take(const std::string& client, double steadyNow);

  private:
    struct Entry {
        std::string email;
        double at = 0;
    };
    std::mutex mutex_;
    std::map<std::string, Entry> byClient_;
};

} // namespace tundrix::channel
