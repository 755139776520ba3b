// Posts one score to a channel the way the game does (its own form builder and HTTP client), for the
// browser tests. Usage: tundrix_post_score ADDRESS USER PASSWORD SCORE [GAME_MS]
// GAME_MS is the game time sent with the score (a minute unless given).
#include "net/channel_address.h"
#include "net/score_submission.h"
#ifdef _WIN32
#include "platform/win32/win32_http_client.h"
#include "platform/win32/win32_program_info.h"
#else
#include "platform/curl/curl_http_client.h"
#endif

#include <cstdio>
#include <cstdlib>

namespace {

// Seconds pass every ten readings, so the speed count takes no real time.
class QuickCalendar : public tundrix::CalendarClock {
  public:
    int64_t nowSeconds() override { return reads_++ / 10; }

  private:
    int64_t reads_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s ADDRESS USER PASSWORD SCORE [GAME_MS]\n", argv[0]);
        return 2;
    }
    const auto address = tundrix::parseChannelAddress(argv[1]);
    if (!address) {
        std::fprintf(stderr, "not a channel address: %s\n", argv[1]);
        return 2;
    }
    tundrix::SubmissionRecord record;
    record.setUserName(argv[2]);
    record.setPassword(argv[3]);
    record.score = std::atoi(argv[4]);
    record.bestScoreTime = argc == 6 ? std::atoi(argv[5]) : 60'000;
    tundrix::SubmitOptions options = tundrix::submitOptionsFor(*address);
#ifdef _WIN32
    tundrix::WinInetHttpClient http;
    options.executablePath = tundrix::programFilePath();
    options.processorType = tundrix::processorTypeCode();
#else
    tundrix::CurlHttpClient http;
#endif
    QuickCalendar calendar;
    tundrix::submitScore(record, http, calendar, options);
    std::printf("%d %d\n", record.resultCode, record.versionNotice);
    return 0;
}
