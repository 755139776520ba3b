// The channel's top ten fetched beside the window's thread, the last list kept for the menus (no SDL here).
#pragma once
#include "net/top_ten.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tundrix {

struct TopTenState;

class TopTenFetch {
  public:
    using Fetch = std::function<std::optional<std::vector<ChannelScore>>()>;
    // fetch runs on a thread of its own and must use only what it owns; an empty one never fetches.
    explicit TopTenFetch(Fetch fetch);
    ~TopTenFetch();
    TopTenFetch(const TopTenFetch&) = delete;
    TopTenFetch& operator=(const TopTenFetch&) = delete;

    // Starts a fetch unless one is under way.
    void start();
    bool running() const;
    // The last list that came; empty while none has (offline, no channel set, or not yet).
    std::vector<ChannelScore> latest();

  private:
    Fetch fetch_;
    std::shared_ptr<TopTenState> state_;
};

} // namespace tundrix
