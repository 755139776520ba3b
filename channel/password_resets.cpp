// The reset link's life: made, kept as a digest, mailed in both languages; the mail thread logs what
// became of each request, the relay's failures included.
#include "channel/password_resets.h"

#include "channel/accounts.h"
#include "channel/crypto.h"
#include "channel/site_paths.h"
#include "protocol/paths.h"

namespace tundrix::channel {
namespace {

Mail linkMail(const Member& member, const std::string& link) {
    Mail m;
    m.to = member.email;
    m.subject = "Nytt lösenord till Tundrix-kanalen / A new password for the Tundrix channel";
    m.body = "Hej " + member.nickname +
             "!\n\nNågon, förhoppningsvis du, bad om ett nytt lösenord till Tundrix Ice-Hockey Cup-kanalen. "
             "Öppna länken och välj ett nytt lösenord. Den fungerar en gång och i en timme:\n\n" +
             link +
             "\n\nBad du inte om det? Då kan du strunta i det här mejlet; lösenordet är detsamma som "
             "förut.\n\n-- \n\nHi " +
             member.nickname +
             "!\n\nSomeone, hopefully you, asked for a new password for the Tundrix Ice-Hockey Cup channel. "
             "Open the link and choose a new password. It works once, for an hour:\n\n" +
             link + "\n\nDid not ask for it? Then ignore this mail; your password stays as it was.\n";
    return m;
}

} // namespace

bool resetTokenShaped(std::string_view text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

PasswordResets::PasswordResets(Store& store, ResetOptions options)
    : store_(store), options_(std::move(options)), perAddress_(options_.perAddress), mailer_(1, RESET_QUEUE) {
}

PasswordResets::~PasswordResets() {
    stopping_ = true;
}

void PasswordResets::request(const std::string& email, int64_t now) {
    if (!mailing()) return;
    const std::string address = canonicalUserName(email);
    if (options_.limited && !perAddress_.take(address, steadySeconds())) {
        options_.log("password reset: too many asked for one address, none sent");
        return;
    }
    if (!mailer_.submit([this, address, now] { mailLink(address, now); }))
        options_.log("password reset: the mail queue is full, none sent");
}

void PasswordResets::mailLink(const std::string& email, int64_t now) {
    if (stopping_) return;
    const Lookup<Member> member = store_.memberByEmail(email);
    if (member.failed) return options_.log("password reset: the members cannot be read");
    if (!member.row) return options_.log("password reset: no member has the address typed, none sent");
    const std::string who = "member " + std::to_string(member.row->id);
    if (member.row->banned) return options_.log("password reset: " + who + " is banned, none sent");
    const std::string token = randomToken();
    if (!store_.addPasswordReset(tokenDigest(token), member.row->id, now + RESET_LINK_SECONDS, now))
        return options_.log("password reset: the link for " + who + " cannot be stored");
    const std::string link = options_.publicUrl + NEW_PASSWORD_PATH + "?" + RESET_TOKEN + "=" + token;
    std::string error;
    if (!sendMail(options_.relay, linkMail(*member.row, link), now, stopping_, error))
        return options_.log("password reset: the mail to " + who + " did not go: " + error);
    options_.log("password reset: a link mailed to " + who);
}

} // namespace tundrix::channel
