// The real server on a free loopback port with a fresh database, the game's own client posting to it, and
// helpers to read the pages' form tokens and cookies.
#pragma once
#include "channel/server.h"
#include "net/channel_address.h"
#include "net/score_submission.h"
#include "platform/curl/curl_http_client.h"

#include "channel_rig.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <regex>
#include <sstream>

namespace tundrix::channel::test {

// Seconds pass every ten readings, so the game's speed count takes no real time.
class QuickCalendar : public CalendarClock {
  public:
    int64_t nowSeconds() override { return reads_++ / 10; }

  private:
    int64_t reads_ = 0;
};

// A short game: the time the tests' posts report, so that their scores stay within what the rules allow.
inline constexpr int32_t QUICK_GAME_MS = 3000;

class LiveChannel : public test::ChannelRig {
  protected:
    void SetUp() override {
        ChannelRig::SetUp();
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(proxy);
        options.port = 0;
        options.workers = 2;
        site.contact = "kanalen@example.se";
        site.passwordWorkers = 2;
        configure();
        server = std::make_unique<ChannelServer>(*store, site, options, log);
        std::string error;
        ASSERT_TRUE(server->start(error)) << error;
        client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
        client->set_read_timeout(10);
    }
    // Changes options and site before the server starts.
    virtual void configure() {}
    void TearDown() override {
        server.reset();
        ChannelRig::TearDown();
    }

    // One submission through the game's own client, as the register dialog makes it.
    SubmissionRecord submit(const std::string& user, const std::string& password, int32_t score) {
        SubmissionRecord record;
        record.setUserName(user);
        record.setPassword(password);
        record.score = score;
        record.bestScoreTime = QUICK_GAME_MS;
        const auto address = parseChannelAddress("http://127.0.0.1:" + std::to_string(server->port()) + "/");
        EXPECT_TRUE(address);
        submitScore(record, http, calendar, submitOptionsFor(*address));
        return record;
    }

    static std::string csrfOf(const std::string& html) {
        std::smatch m;
        return std::regex_search(html, m, std::regex("name=\"csrf\" value=\"([0-9a-f]{64})\"")) ? m[1].str()
                                                                                                : "";
    }
    static std::string cookieOf(const httplib::Result& r) {
        const std::string set = r->get_header_value("Set-Cookie");
        return set.substr(0, set.find(';'));
    }

    ServerOptions options;
    SiteOptions site;
    std::ostringstream log;
    std::unique_ptr<ChannelServer> server;
    std::unique_ptr<httplib::Client> client;
    CurlHttpClient http;
    QuickCalendar calendar;
};

} // namespace tundrix::channel::test
