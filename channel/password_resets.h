// A forgotten password, reset by a one-time link mailed to the member: the request is answered at once
// and alike for every address, while one thread of its own looks the address up, keeps the link's digest
// and hands the mail to the relay.
#pragma once
#include "channel/mail_relay.h"
#include "channel/rate_limit.h"
#include "channel/store.h"
#include "channel/work_pool.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tundrix::channel {

struct ResetOptions {
    MailRelay relay;
    std::string publicUrl; // the links start here (never with what a request says its host is)
    std::function<void(const std::string&)> log; // one line of what became of a request
    bool limited = true;
    RateRule perAddress; // mails to one typed address, member or not
};

// How long a link works, and how many requests wait for the mail thread at most.
inline constexpr int64_t RESET_LINK_SECONDS = 3600;
inline constexpr size_t RESET_QUEUE = 100;

// The query field of the link that carries its token.
inline constexpr char RESET_TOKEN[] = "t";

// Whether text has the shape of a link's token (64 lowercase hex digits), before any look-up.
bool resetTokenShaped(std::string_view text);

// Thread-safe.
class PasswordResets {
  public:
    PasswordResets(Store& store, ResetOptions options);
    // Drops the mail not sent yet and cuts short the one being sent.
    ~PasswordResets();
    PasswordResets(const PasswordResets&) = delete;
    PasswordResets& operator=(const PasswordResets&) = delete;

    bool mailing() const { return options_.relay.configured(); }
    // Queues a link for whoever has this address; never waits, and does the same whether or not a member
    // has it. More than the address's allowance, or a full queue, is logged and sent nowhere.
    void request(const std::string& email, int64_t now);

  private:
    void mailLink(const std::string& email, int64_t now);

    Store& store_;
    ResetOptions options_;
    RateLimiter perAddress_;
    std::atomic<bool> stopping_{false};
    WorkPool mailer_; // last: its thread ends before anything it uses goes
};

} // namespace tundrix::channel
