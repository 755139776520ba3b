// Session cookies and their rows: the database never holds a usable token, only its digest.
#include "channel/sessions.h"

#include "channel/crypto.h"

namespace tundrix::channel {

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

std::optional<Session> findSession(Store& store, std::string_view cookieHeader, int64_t now) {
    const std::string token = cookieValue(cookieHeader, SESSION_COOKIE);
    if (token.size() != 64) return std::nullopt;
    const std::optional<SessionRow> row = store.session(tokenDigest(token));
    if (!row) return std::nullopt;
    const int64_t maxAge = row->memberId ? SESSION_MAX_AGE : 24 * 3600;
    if (now - row->createdAt > maxAge) return std::nullopt;
    return Session{token, row->csrf, row->memberId};
}

std::optional<Session> startSession(Store& store, std::optional<int64_t> memberId, int64_t now) {
    Session session{randomToken(), randomToken(), memberId};
    if (!store.addSession(tokenDigest(session.token), session.csrf, memberId, now)) return std::nullopt;
    return session;
}

void endSession(Store& store, const Session& session) {
    store.removeSession(tokenDigest(session.token));
}

std::string sessionCookie(const Session& session) {
    return std::string(SESSION_COOKIE) + "=" + session.token +
           "; Path=/; Max-Age=" + std::to_string(SESSION_MAX_AGE) + "; HttpOnly; SameSite=Lax";
}

std::string expiredSessionCookie() {
    return std::string(SESSION_COOKIE) + "=; Path=/; Max-Age=0; HttpOnly; SameSite=Lax";
}

} // namespace tundrix::channel
