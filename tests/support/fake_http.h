// A calendar and an HTTP client for the submission tests: scripted readings, a scripted answer.
#pragma once
#include "net/measurements.h"
#include "platform/http_client.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tundrix::test {

// Plays back a list of readings, then climbs from the last one by a second every `readsPerSecond`
// readings (counted from the first). The default passes a second every ten readings, so a speed count
// takes no real time (and is 18).
class ScriptedCalendar : public CalendarClock {
  public:
    explicit ScriptedCalendar(std::vector<int64_t> values = {0}, int readsPerSecond = 10)
        : values_(std::move(values)), per_(readsPerSecond) {}
    int64_t nowSeconds() override {
        const size_t n = reads++;
        return n < values_.size() ? values_[n]
                                  : values_.back() + static_cast<int64_t>(n + 1 - values_.size()) / per_;
    }
    size_t reads = 0;

  private:
    std::vector<int64_t> values_;
    int per_;
};

// Hands back one scripted result (by default the answer "0") and keeps the last request.
class ScriptedHttp : public HttpClient {
  public:
    explicit ScriptedHttp(HttpPostResult result = {HttpOutcome::Answered, 0, "", 200, "0"})
        : result_(std::move(result)) {}
    bool ensureLoaded(std::string&) override { return true; }
    HttpPostResult post(const HttpPostRequest& r) override {
        sent = r;
        return result_;
    }
    HttpPostRequest sent;

  private:
    HttpPostResult result_;
};

} // namespace tundrix::test
