// Members' sessions: a random token in an HttpOnly, SameSite cookie and a digest of it in the database,
// with the form token every form of the session carries. Visitors get form tokens without any row: a
// random value in a cookie, and in the form its digest under a key only this process knows.
#pragma once
#include "channel/store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tundrix::channel {

inline constexpr int64_t SESSION_MAX_AGE = 30 * 24 * 3600;

// How the cookies are named and marked: over HTTPS with the "__Host-" prefix and Secure, so that neither
// a plain-HTTP page nor another host under the same domain can set or read them.
struct CookiePolicy {
    bool secure = false;
    std::string sessionName() const;
    std::string formName() const;
};

struct Session {
    std::string token; // the cookie's value
    std::string csrf;  // the form token
    int64_t memberId = 0;
};

// The named cookie's value in a Cookie header, or "".
std::string cookieValue(std::string_view header, std::string_view name);

// The session a Cookie header names, if it is known and young enough (failed if it could not be read).
Lookup<Session> findSession(Store& store, const CookiePolicy& policy, std::string_view cookieHeader,
                            int64_t now);
// A new session with a fresh token and form token, for a member who just logged in or signed up.
std::optional<Session> startSession(Store& store, int64_t memberId, int64_t now);
void endSession(Store& store, const Session& session);

// Set-Cookie values that give or take the session cookie.
std::string sessionCookie(const CookiePolicy& policy, const Session& session);
std::string expiredSessionCookie(const CookiePolicy& policy);

// Form tokens for visitors, checked without the database.
class FormTokens {
  public:
    FormTokens(); // a fresh random key: forms of an earlier run of the server no longer count
    std::string newNonce() const;
    // The form token for a nonce; "" for a nonce that is not one of ours in shape.
    std::string tokenFor(std::string_view nonce) const;
    bool matches(std::string_view nonce, std::string_view token) const;
    std::string cookie(const CookiePolicy& policy, const std::string& nonce) const;

  private:
    unsigned char key_[32];
};

} // namespace tundrix::channel
