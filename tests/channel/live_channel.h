// The real server on a free loopback port with a fresh database, the game's own client posting to it, and
// helpers to read the pages' form tokens and cookies.
#pragma once
#include "channel/server.h"
#include "net/channel_address.h"
#include "net/score_submission.h"
#include "platform/curl/curl_http_client.h"
#include "protocol/paths.h"
#include "protocol/score_answer.h"

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
        if (!http.ensureLoaded(error)) GTEST_SKIP() << error; // the game's own client
        client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
        // A game's run is drawn as a GIF on its first request, which takes seconds in the sanitizer build.
        client->set_read_timeout(60);
    }
    // Changes options and site before the server starts.
    virtual void configure() {}
    void TearDown() override {
        server.reset();
        ChannelRig::TearDown();
    }

    SubmitOptions channel() const {
        const auto address = parseChannelAddress("http://127.0.0.1:" + std::to_string(server->port()) + "/");
        EXPECT_TRUE(address);
        return submitOptionsFor(*address);
    }
    // One submission through the game's own client, as the register dialog makes it.
    SubmissionRecord submit(const std::string& user, const std::string& password, int32_t score,
                            int32_t gameMs = QUICK_GAME_MS) {
        SubmissionRecord record = gameRecord(user, password, score, gameMs);
        submitScore(record, http, calendar, channel());
        return record;
    }
    // A score form posted as it is, and the result code the game reads in the answer.
    httplib::Result postScore(const std::string& body, const httplib::Headers& headers = {}) {
        return client->Post(protocol::SUBMIT_PATH, headers, body, protocol::FORM_CONTENT_TYPE);
    }
    int answerTo(const std::string& body) { return protocol::parseAnswer(postScore(body)->body).resultCode; }

    // A visitor's session: its cookie and the form token of the given page.
    std::pair<std::string, std::string> visit(const std::string& path = "/logga-in/") {
        const auto page = client->Get(path);
        return {cookieOf(page), csrfOf(page->body)};
    }
    // A form sent within a session, with its token.
    httplib::Result send(const std::string& path, const std::pair<std::string, std::string>& session,
                         httplib::Params fields, httplib::Headers headers = {}) {
        fields.emplace("csrf", session.second);
        headers.emplace("Cookie", session.first);
        return client->Post(path, headers, fields);
    }
    httplib::Result logIn(const std::string& email, const std::string& password,
                          const std::string& next = "") {
        httplib::Params fields{{"email", email}, {"password", password}};
        if (!next.empty()) fields.emplace("next", next);
        return send("/logga-in/", visit(), fields);
    }
    httplib::Result webSignUp(const std::string& email, const std::string& nickname,
                              const std::string& password = "hemligt", const httplib::Headers& headers = {}) {
        return send(
            "/registrera/", visit("/registrera/"),
            {{"email", email}, {"nickname", nickname}, {"password", password}, {"password2", password}},
            headers);
    }
    // A page as the holder of a cookie sees it.
    httplib::Result page(const std::string& path, const std::string& cookie) {
        return client->Get(path, {{"Cookie", cookie}});
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

// Behind a proxy that names each client in X-Real-IP, as nginx does.
class ProxiedChannel : public LiveChannel {
  protected:
    void configure() override { options.trustedProxies = {"127.0.0.1"}; }
};

} // namespace tundrix::channel::test
