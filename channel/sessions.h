// Web sessions: a random token in an HttpOnly, SameSite cookie, a digest of it in the database, and the
// form token every form of the session carries.
#pragma once
#include "channel/store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tundrix::channel {

inline constexpr char SESSION_COOKIE[] = "tundrix_session";
inline constexpr int64_t SESSION_MAX_AGE = 30 * 24 * 3600;

struct Session {
    std::string token; // the cookie's value
    std::string csrf;  // the form token
    std::optional<int64_t> memberId;
};

// The named cookie's value in a Cookie header, or "".
std::string cookieValue(std::string_view header, std::string_view name);

// The session a Cookie header names, if it is known and young enough.
std::optional<Session> findSession(Store& store, std::string_view cookieHeader, int64_t now);
// A new session with a fresh token and form token (for a visitor, or a member who just logged in).
std::optional<Session> startSession(Store& store, std::optional<int64_t> memberId, int64_t now);
void endSession(Store& store, const Session& session);

// Set-Cookie values that give or take the session cookie.
std::string sessionCookie(const Session& session);
std::string expiredSessionCookie();

} // namespace tundrix::channel
