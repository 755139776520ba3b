// The fetch on a detached thread: it holds the shared state, so it may finish after the program gave up on
// it.
#include "shell/top_ten_fetch.h"

#include <mutex>
#include <thread>

namespace tundrix {

struct TopTenState {
    std::mutex lock;
    bool running = false;
    std::vector<ChannelScore> latest;
};

TopTenFetch::TopTenFetch(Fetch fetch) : fetch_(std::move(fetch)), state_(std::make_shared<TopTenState>()) {}

TopTenFetch::~TopTenFetch() = default;

void TopTenFetch::start() {
    if (!fetch_) return;
    {
        std::lock_guard<std::mutex> hold(state_->lock);
        if (state_->running) return;
        state_->running = true;
    }
    std::thread([state = state_, fetch = fetch_] {
        std::optional<std::vector<ChannelScore>> got = fetch();
        std::lock_guard<std::mutex> hold(state->lock);
        if (got) state->latest = std::move(*got);
        state->running = false;
    }).detach();
}

bool TopTenFetch::running() const {
    std::lock_guard<std::mutex> hold(state_->lock);
    return state_->running;
}

std::vector<ChannelScore> TopTenFetch::latest() {
    std::lock_guard<std::mutex> hold(state_->lock);
    return state_->latest;
}

} // namespace tundrix
