// The live server under broken clients and a full disk: it keeps serving the others, and what it
// answered as registered is never lost.
#include "net/answer_parser.h"

#include "live_channel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

namespace tundrix::channel {
namespace {

// A raw connection to the server, for clients that misbehave.
class RawClient {
  public:
    explicit RawClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    }
    ~RawClient() { close(fd_); }
    bool connected() const { return connected_; }
    bool send(const std::string& bytes) { return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) > 0; }
    // Waits up to the limit for the server to end the connection (or to answer something).
    bool endedWithin(std::chrono::milliseconds limit) {
        pollfd p{fd_, POLLIN, 0};
        return poll(&p, 1, static_cast<int>(limit.count())) == 1;
    }

  private:
    int fd_;
    bool connected_ = false;
};

class BrokenClients : public test::LiveChannel {
  protected:
    void configure() override {
        options.workers = 2;
        options.readTimeout = std::chrono::milliseconds(600);
        options.writeTimeout = std::chrono::milliseconds(600);
        options.keepAliveTimeout = std::chrono::milliseconds(1000);
        options.connectionDeadline = std::chrono::milliseconds(1500);
    }
};

TEST_F(BrokenClients, SilentTricklingAndDeafClientsDoNotStopTheOthers) {
    // Two clients trickle a request a byte at a time, faster than the read time-out: each would hold one
    // of the two workers for ever.
    std::atomic<bool> done{false};
    std::vector<std::unique_ptr<RawClient>> tricklers;
    for (int i = 0; i < 2; ++i)
        tricklers.push_back(std::make_unique<RawClient>(server->port()));
    std::thread trickle([&] {
        const std::string request = "GET / HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(200, 'z');
        for (size_t i = 0; i < request.size() && !done; ++i) { // at most 40 s, ended by the test
            for (auto& t : tricklers)
                t->send(request.substr(i, 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    // One says nothing at all; one asks for many pages and never reads them.
    RawClient silent(server->port());
    RawClient deaf(server->port());
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "GET /registrera/ HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_TRUE(silent.connected() && deaf.connected() && tricklers[0]->connected());
    deaf.send(many);

    // Meanwhile, a player's pages and the game's post are served.
    client->set_read_timeout(20);
    for (int i = 0; i < 3; ++i) {
        const auto page = client->Get("/");
        ASSERT_TRUE(page) << i;
        EXPECT_EQ(page->status, 200);
    }
    join("anna@example.se", "Anna", "hemligt");
    std::string error;
    if (http.ensureLoaded(error)) {
        EXPECT_EQ(submit("anna@example.se", "hemligt", 300).resultCode, 0);
    }

    // And the broken connections were ended by the server, not left open.
    EXPECT_TRUE(silent.endedWithin(std::chrono::seconds(10)));
    for (auto& t : tricklers)
        EXPECT_TRUE(t->endedWithin(std::chrono::seconds(10)));
    done = true;
    trickle.join();
}

class FullDisk : public test::LiveChannel {
  protected:
    void configure() override { site.limits.enabled = false; }
};

TEST_F(FullDisk, TheGameIsToldToTryAgainNothingAnsweredIsLostAndPostsWorkOnceThereIsRoom) {
    std::string error;
    if (!http.ensureLoaded(error)) GTEST_SKIP() << error;
    const int64_t id = join("anna@example.se", "Anna", "hemligt");
    ASSERT_EQ(submit("anna@example.se", "hemligt", 1).resultCode, 0);
    ASSERT_TRUE(store->limitPages(1)); // never below the present size: the file may not grow any more

    std::vector<int64_t> answered{1};
    int32_t refusedWith = 0;
    for (int32_t score = 2; score < 3000 && refusedWith == 0; ++score) {
        const SubmissionRecord r = submit("anna@example.se", "hemligt", score);
        if (r.resultCode == 0 || r.resultCode == 1) {
            answered.push_back(score);
        } else {
            refusedWith = r.resultCode;
        }
    }
    // Not a verdict of the game's table (0 to 3, -1): the register dialog offers another try.
    EXPECT_EQ(refusedWith, 503);
    EXPECT_EQ(store->scoresOf(id), answered);
    EXPECT_TRUE(store->intact());
    EXPECT_EQ(client->Get("/")->status, 200); // the leaderboards are still read

    ASSERT_TRUE(store->limitPages(1'000'000));
    EXPECT_EQ(submit("anna@example.se", "hemligt", 5000).resultCode, 0);
    answered.push_back(5000);
    EXPECT_EQ(store->scoresOf(id), answered);
    EXPECT_TRUE(store->intact());
}

} // namespace
} // namespace tundrix::channel
