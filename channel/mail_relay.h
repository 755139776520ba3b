// Mail out through the operator's SMTP relay: the relay's settings, a message made safe to send, and one
// send that gives up within a bounded time.
#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace tundrix::channel {

enum class MailTls {
    StartTls, // plain connection upgraded with STARTTLS, refused without it (port 587)
    Implicit, // TLS from the first byte (port 465)
    Off,      // plain text: only for a relay on this machine or a test sink
};

// The environment variable with the relay's password: never on the command line, which every user of the
// machine can read.
inline constexpr char SMTP_PASSWORD_VARIABLE[] = "SMTP_PASSWORD";

struct MailRelay {
    std::string host; // empty: no relay, the channel sends no mail
    int port = 587;
    MailTls tls = MailTls::StartTls;
    std::string user, password; // both empty: the relay takes mail without a log-in
    std::string from;           // the sender's address, e.g. kanalen@example.se
    bool configured() const { return !host.empty(); }
};

// The default port of each kind of connection.
int defaultMailPort(MailTls tls);

struct Mail {
    std::string to;      // one address
    std::string subject; // UTF-8, one line
    std::string body;    // UTF-8 text, lines ending in "\n"
};

// The whole message as the relay gets it: headers (the subject encoded for mail), a blank line, the body
// with CRLF line ends. Nothing when an address or the subject holds a line break or another character
// that could start a header of its own.
std::optional<std::string> mailMessage(const MailRelay& relay, const Mail& mail, int64_t now);

// Sends one message; false with the relay's or the connection's reason. Gives up after
// MAIL_TIMEOUT_SECONDS, or at once when stop becomes true.
bool sendMail(const MailRelay& relay, const Mail& mail, int64_t now, const std::atomic<bool>& stop,
              std::string& error);
inline constexpr long MAIL_TIMEOUT_SECONDS = 30;

} // namespace tundrix::channel
