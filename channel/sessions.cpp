// Session cookies and their rows (the database never holds a usable token, only its digest), and the
// visitors' keyed form tokens.
#include "channel/sessions.h"

#include "channel/crypto.h"

#include <sodium.h>

namespace tundrix::channel {
namespace {

constexpr char SESSION_COOKIE[] = "tundrix_session";
constexpr char FORM_COOKIE[] = "tundrix_form";
constexpr size_t TOKEN_CHARS = 64;

bool hexToken(std::string_view text) {
    return text.size() == TOKEN_CHARS && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string attributes(const CookiePolicy& policy, int64_t maxAge) {
    return "; Path=/; Max-Age=" + std::to_string(maxAge) + "; HttpOnly; SameSite=Lax" +
           (policy.secure ? "; Secure" : "");
}

} // namespace

std::string CookiePolicy::sessionName() const {
    return (secure ? "__Host-" : "") + std::string(SESSION_COOKIE);
}

std::string CookiePolicy::formName() const {
    return (secure ? "__Host-" : "") + std::string(FORM_COOKIE);
}

std::string cookieValue(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const size_t semi = header.find(';');
        std::string_view pair = header.substr(0, semi);
        header = semi == std::string_view::npos ? std::string_view() : header.substr(semi + 1);
        while (!pair.empty() && pair.front() == ' ')
            pair.remove_prefix(1);
        const size_t eq = pair.find('=');
        if (eq != std::string_view::npos && pair.substr(0, eq) == name)
            return std::string(pair.substr(eq + 1));
    }
    return "";
}

Lookup<Session> findSession(Store& store, const CookiePolicy& policy, std::string_view cookieHeader,
                            int64_t now) {
    Lookup<Session> out;
    const std::string token = cookieValue(cookieHeader, policy.sessionName());
    if (!hexToken(token)) return out;
    const Lookup<SessionRow> row = store.session(tokenDigest(token));
    out.failed = row.failed;
    if (row.row && now - row.row->createdAt <= SESSION_MAX_AGE)
        out.row = Session{token, row.row->csrf, row.row->memberId};
    return out;
}

std::optional<Session> startSession(Store& store, int64_t memberId, int64_t now) {
    store.purgeSessions(now, SESSION_MAX_AGE);
    Session session{randomToken(), randomToken(), memberId};
    if (!store.addSession(tokenDigest(session.token), session.csrf, memberId, now)) return std::nullopt;
    return session;
}

void endSession(Store& store, const Session& session) {
    store.removeSession(tokenDigest(session.token));
}

std::string sessionCookie(const CookiePolicy& policy, const Session& session) {
    return policy.sessionName() + "=" + session.token + attributes(policy, SESSION_MAX_AGE);
}

std::string expiredSessionCookie(const CookiePolicy& policy) {
    return policy.sessionName() + "=" + attributes(policy, 0);
}

FormTokens::FormTokens() {
    randombytes_buf(key_, sizeof key_);
}

std::string FormTokens::newNonce() const {
    return randomToken();
}

std::string FormTokens::tokenFor(std::string_view nonce) const {
    if (!hexToken(nonce)) return "";
    unsigned char digest[32];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(nonce.data()),
                       nonce.size(), key_, sizeof key_);
    char hex[2 * sizeof digest + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return hex;
}

bool FormTokens::matches(std::string_view nonce, std::string_view token) const {
    const std::string expected = tokenFor(nonce);
    return !expected.empty() && sameSecret(expected, token);
}

std::string FormTokens::cookie(const CookiePolicy& policy, const std::string& nonce) const {
    return policy.formName() + "=" + nonce + attributes(policy, 24 * 3600);
}

} // namespace tundrix::channel
