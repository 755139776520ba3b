// Remembering, per client, the address the game was last told is unknown.
#include "channel/unknown_users.h"

#include <algorithm>
#include <utility>

namespace tundrix::channel {

void UnknownUsers::remember(const std::string& client, std::string email, double steadyNow) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (byClient_.size() >= CAPACITY && !byClient_.count(client)) {
        std::erase_if(byClient_, [&](const auto& kept) { return steadyNow - kept.second.at > KEPT_SECONDS; });
        if (byClient_.size() >= CAPACITY) {
            const auto oldest =
                std::min_element(byClient_.begin(), byClient_.end(),
                                 [](const auto& a, const auto& b) { return a.second.at < b.second.at; });
            byClient_.erase(oldest);
        }
    }
    byClient_[client] = {std::move(email), steadyNow};
}

std::string UnknownUsers::take(const std::string& client, double steadyNow) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = byClient_.find(client);
    if (found == byClient_.end()) return "";
    Entry entry = std::move(found->second);
    byClient_.erase(found);
    return steadyNow - entry.at <= KEPT_SECONDS ? std::move(entry.email) : "";
}

} // namespace tundrix::channel
