// The routes: the score form, the leaderboards, sign-up, log-in and log-out, the challenge page and the
// help pages the game opens. Every form is checked against the session's form token.
#include "channel/site.h"

#include "channel/accounts.h"
#include "channel/credential_cache.h"
#include "channel/crypto.h"
#include "channel/pages.h"
#include "channel/score_desk.h"
#include "channel/sessions.h"

#include <httplib.h>

#include <ctime>

namespace tundrix::channel {
namespace {

constexpr char HTML[] = "text/html; charset=utf-8";

class Site {
  public:
    Site(Store& store, const SiteOptions& options)
        : store_(store), options_(options), credentials_(options.credentialLifetime),
          scorePerAddress_(options.limits.scorePerAddress), scorePerMember_(options.limits.scorePerMember),
          loginPerAddress_(options.limits.loginPerAddress), loginPerAccount_(options.limits.loginPerAccount),
          signupPerAddress_(options.limits.signupPerAddress) {}

    // Takes one attempt from key's allowance; when it is used up, answers 429 with a page (or, for the
    // game, plain text: any answer but 2xx makes its dialog offer another try) and gives false.
    bool allowed(RateLimiter& limiter, const std::string& key, httplib::Response& res, bool forGame,
                 const httplib::Request& req) {
        if (!options_.limits.enabled || limiter.take(key, steadySeconds())) return true;
        res.status = 429;
        res.set_header("Retry-After", std::to_string(limiter.waitSeconds(key, steadySeconds())));
        if (forGame) {
            res.set_content("F\xC3\xB6r m\xC3\xA5nga f\xC3\xB6rs\xC3\xB6k, v\xC3\xA4nta en stund / Too many "
                            "attempts, try again shortly\r\n",
                            "text/plain; charset=utf-8");
        } else {
            res.set_content(
                messagePage(visitor(session(req)),
                            both("F\xC3\xB6r m\xC3\xA5nga f\xC3\xB6rs\xC3\xB6k", "Too many attempts"),
                            both("V\xC3\xA4nta en stund och f\xC3\xB6rs\xC3\xB6k igen.",
                                 "Wait a while and try again.")),
                HTML);
        }
        return false;
    }

    static std::string lowered(std::string text) {
        for (char& c : text)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return text;
    }

    int64_t now() const {
        return options_.clock ? options_.clock() : static_cast<int64_t>(std::time(nullptr));
    }

    std::optional<Session> session(const httplib::Request& req) {
        return findSession(store_, req.get_header_value("Cookie"), now());
    }

    // The request's session, or a new visitor's session whose cookie goes out with the answer.
    std::optional<Session> sessionForForm(const httplib::Request& req, httplib::Response& res) {
        if (std::optional<Session> s = session(req)) return s;
        store_.purgeSessions(now(), SESSION_MAX_AGE);
        std::optional<Session> fresh = startSession(store_, std::nullopt, now());
        if (fresh) res.set_header("Set-Cookie", sessionCookie(*fresh));
        return fresh;
    }

    Visitor visitor(const std::optional<Session>& s) {
        Visitor v;
        if (!s) return v;
        v.csrf = s->csrf;
        if (s->memberId) {
            if (const std::optional<Member> m = store_.memberById(*s->memberId)) v.nickname = m->nickname;
        }
        return v;
    }

    // The session a posted form belongs to, if its form token is the session's.
    std::optional<Session> checkedForm(const httplib::Request& req, httplib::Response& res) {
        std::optional<Session> s = session(req);
        if (s && sameSecret(req.get_param_value("csrf"), s->csrf)) return s;
        res.status = 403;
        res.set_content(messagePage(visitor(s),
                                    both("Formul\xC3\xA4ret har g\xC3\xA5tt ut", "The form has expired"),
                                    both("Ladda om sidan och f\xC3\xB6rs\xC3\xB6k igen.",
                                         "Reload the page and try again.")),
                        HTML);
        return std::nullopt;
    }

    static void redirect(httplib::Response& res, const std::string& to) {
        res.status = 303;
        res.set_header("Location", to);
    }

    std::string baseUrl(const httplib::Request& req) const {
        if (!options_.publicUrl.empty()) return options_.publicUrl;
        return "http://" + req.get_header_value("Host");
    }

    void home(const httplib::Request& req, httplib::Response& res) {
        Boards boards;
        boards.today = store_.leaderboard(Board::Today, now(), BOARD_SIZE);
        boards.thisWeek = store_.leaderboard(Board::ThisWeek, now(), BOARD_SIZE);
        boards.allTime = store_.leaderboard(Board::AllTime, now(), BOARD_SIZE);
        res.set_content(homePage(visitor(session(req)), boards), HTML);
    }

    void score(const httplib::Request& req, httplib::Response& res, std::string& note) {
        if (!allowed(scorePerAddress_, req.remote_addr, res, true, req)) {
            note = "too many posts from one address";
            return;
        }
        DeskHelpers helpers;
        helpers.credentials = &credentials_;
        helpers.perMember = options_.limits.enabled ? &scorePerMember_ : nullptr;
        helpers.steadyNow = steadySeconds();
        const DeskAnswer answer = takeScore(store_, req.body, req.remote_addr, now(), helpers);
        if (answer.retryAfter > 0) res.set_header("Retry-After", std::to_string(answer.retryAfter));
        res.status = answer.status;
        res.set_content(answer.text, "text/plain; charset=utf-8");
        note = answer.logNote;
    }

    void signupForm(const httplib::Request& req, httplib::Response& res) {
        const std::optional<Session> s = sessionForForm(req, res);
        SignupValues values;
        values.recruiter = req.get_param_value("ref");
        res.set_content(signupPage(visitor(s), values, {}), HTML);
    }

    void signup(const httplib::Request& req, httplib::Response& res) {
        const std::optional<Session> s = checkedForm(req, res);
        if (!s || !allowed(signupPerAddress_, req.remote_addr, res, false, req)) return;
        SignupRequest request{req.get_param_value("email"), req.get_param_value("nickname"),
                              req.get_param_value("password"), req.get_param_value("password2"),
                              req.get_param_value("recruiter")};
        const SignupResult result = signUp(store_, request, now());
        if (!result.memberId) {
            res.status = 400;
            res.set_content(
                signupPage(visitor(s), {request.email, request.nickname, request.recruiter}, result.errors),
                HTML);
            return;
        }
        logInAs(*s, *result.memberId, res, "/useradm/challenge/");
    }

    // A new session for the member (never the visitor's old token: no session fixation).
    void logInAs(const Session& old, int64_t memberId, httplib::Response& res, const std::string& next) {
        endSession(store_, old);
        const std::optional<Session> fresh = startSession(store_, memberId, now());
        if (!fresh) {
            res.status = 503;
            res.set_content(messagePage({}, both("Tillf\xC3\xA4lligt fel", "Temporary failure"),
                                        both("F\xC3\xB6rs\xC3\xB6k igen.", "Try again.")),
                            HTML);
            return;
        }
        res.set_header("Set-Cookie", sessionCookie(*fresh));
        redirect(res, next);
    }

    // Only paths on this site: "/x", never "//host" or "http://host".
    static std::string localPath(const std::string& next) {
        if (next.size() > 1 && next[0] == '/' && next[1] != '/' && next[1] != '\\') return next;
        return "/";
    }

    void loginForm(const httplib::Request& req, httplib::Response& res) {
        const std::optional<Session> s = sessionForForm(req, res);
        res.set_content(
            loginPage(visitor(s), req.get_param_value("mail"), localPath(req.get_param_value("next")), false),
            HTML);
    }

    void login(const httplib::Request& req, httplib::Response& res) {
        const std::optional<Session> s = checkedForm(req, res);
        if (!s) return;
        const std::string email = req.get_param_value("email");
        if (!allowed(loginPerAddress_, req.remote_addr, res, false, req) ||
            !allowed(loginPerAccount_, lowered(email.substr(0, 4 * EMAIL_MAX_CHARS)), res, false, req))
            return;
        const std::string next = localPath(req.get_param_value("next"));
        const std::optional<Member> member = logIn(store_, email, req.get_param_value("password"));
        if (!member) {
            res.status = 401;
            res.set_content(loginPage(visitor(s), email, next, true), HTML);
            return;
        }
        logInAs(*s, member->id, res, next);
    }

    void logout(const httplib::Request& req, httplib::Response& res) {
        const std::optional<Session> s = checkedForm(req, res);
        if (!s) return;
        endSession(store_, *s);
        res.set_header("Set-Cookie", expiredSessionCookie());
        redirect(res, "/");
    }

    void challenge(const httplib::Request& req, httplib::Response& res) {
        const std::optional<Session> s = session(req);
        const std::optional<Member> member =
            s && s->memberId ? store_.memberById(*s->memberId) : std::nullopt;
        if (!member) {
            redirect(res, "/logga-in/?next=/useradm/challenge/");
            return;
        }
        ChallengeView view;
        view.recruitLink = baseUrl(req) + "/registrera/?ref=" + escapeQuery(member->email);
        view.recruits = store_.recruitsOf(member->id);
        res.set_content(challengePage(visitor(s), view), HTML);
    }

    void passwordHelp(const httplib::Request& req, httplib::Response& res) {
        res.set_content(
            passwordHelpPage(visitor(session(req)), req.get_param_value("mail"), options_.contact), HTML);
    }

    void libraryHelp(const httplib::Request& req, httplib::Response& res) {
        res.set_content(libraryHelpPage(visitor(session(req))), HTML);
    }

    void version(const httplib::Request& req, httplib::Response& res) {
        const std::vector<Release> releases = store_.releases();
        const std::optional<Release> newest =
            releases.empty() ? std::nullopt : std::optional(releases.front());
        res.set_content(
            versionPage(visitor(session(req)), req.get_param_value("gameid"), newest, options_.downloadUrl),
            HTML);
    }

    void notFound(const httplib::Request& req, httplib::Response& res) {
        res.set_content(
            messagePage(visitor(session(req)), both("Sidan finns inte", "Page not found"),
                        "<a href=\"/\">" + both("Till topplistorna", "To the leaderboards") + "</a>"),
            HTML);
    }

  private:
    Store& store_;
    const SiteOptions& options_;
    CredentialCache credentials_;
    RateLimiter scorePerAddress_, scorePerMember_, loginPerAddress_, loginPerAccount_, signupPerAddress_;
};

} // namespace

std::vector<Route> siteRoutes(Store& store, const SiteOptions& options) {
    // Every handler holds the shared Site; it lives as long as the last of them.
    auto site = std::make_shared<Site>(store, options);
    using Req = const httplib::Request&;
    using Res = httplib::Response&;
    return {
        {"GET", "/", [site](Req req, Res res) { site->home(req, res); }},
        {"GET", "/style.css",
         [](Req, Res res) {
             res.set_content(std::string(styleSheet()), "text/css; charset=utf-8");
             res.set_header("Cache-Control", "max-age=3600");
         }},
        {"POST", "/r0003.asp",
         [site, &options](Req req, Res res) {
             std::string note;
             site->score(req, res, note);
             if (options.note) options.note(req, note);
         }},
        {"GET", R"(/registrera/?)", [site](Req req, Res res) { site->signupForm(req, res); }},
        {"POST", R"(/registrera/?)", [site](Req req, Res res) { site->signup(req, res); }},
        {"GET", R"(/logga-in/?)", [site](Req req, Res res) { site->loginForm(req, res); }},
        {"POST", R"(/logga-in/?)", [site](Req req, Res res) { site->login(req, res); }},
        {"POST", R"(/logga-ut/?)", [site](Req req, Res res) { site->logout(req, res); }},
        {"GET", R"(/useradm/challenge/?)", [site](Req req, Res res) { site->challenge(req, res); }},
        {"GET", "/getpass.asp", [site](Req req, Res res) { site->passwordHelp(req, res); }},
        {"GET", R"(/dll/?)", [site](Req req, Res res) { site->libraryHelp(req, res); }},
        {"GET", "/version.asp", [site](Req req, Res res) { site->version(req, res); }},
        {"*", "",
         [site](Req req, Res res) {
             if (res.status == 404) site->notFound(req, res);
         }},
    };
}

void installSite(httplib::Server& server, Store& store, const SiteOptions& options) {
    for (Route& route : siteRoutes(store, options)) {
        if (route.method == "GET") {
            server.Get(route.pattern, std::move(route.handle));
        } else if (route.method == "POST") {
            server.Post(route.pattern, std::move(route.handle));
        } else {
            server.set_error_handler(std::move(route.handle));
        }
    }
}

} // namespace tundrix::channel
