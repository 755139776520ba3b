// The routes: the score form, the leaderboards, sign-up, log-in and log-out, the challenge page and the
// help pages the game opens. Every form is checked against its form token; the password checks of the
// forms run on the password workers.
#include "channel/site.h"

#include "channel/accounts.h"
#include "channel/crypto.h"
#include "channel/nickname.h"
#include "channel/pages.h"
#include "channel/score_desk.h"
#include "channel/sessions.h"
#include "channel/top_ten.h"
#include "channel/work_pool.h"
#include "protocol/paths.h"

#include <ctime>

namespace tundrix::channel {
namespace {

constexpr char HTML[] = "text/html; charset=utf-8";
// Where a verified score's run is shown.
constexpr std::string_view RUN_PREFIX = "/run/";
// Password checks waiting at most, per worker: about four seconds of argon2id.
constexpr size_t PASSWORD_QUEUE_PER_WORKER = 32;

// A place inside this site: "/x", never "//host", "/\host" or "http://host", and no byte a browser
// would drop or read as a slash (a tab, a line break, a backslash).
std::string localPath(const std::string& next) {
    if (next.size() < 1 || next[0] != '/' || (next.size() > 1 && (next[1] == '/' || next[1] == '\\')))
        return "/";
    for (const char c : next) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || c == '\\') return "/";
    }
    return next;
}

HttpResponse page(int status, std::string html) {
    HttpResponse r;
    r.status = status;
    r.setContent(std::move(html), HTML);
    return r;
}

HttpResponse temporaryFailure() {
    HttpResponse r = page(503, messagePage({}, both("Tillfälligt fel", "Temporary failure"),
                                           both("Försök igen om en stund.", "Try again in a while.")));
    r.setHeader("Retry-After", "5");
    return r;
}

// The game's forms are answered in plain text, with the desk's wait and log note.
HttpResponse plainAnswer(DeskAnswer answer) {
    HttpResponse res;
    res.status = answer.status;
    if (answer.retryAfter > 0) res.setHeader("Retry-After", std::to_string(answer.retryAfter));
    res.setContent(std::move(answer.text), "text/plain; charset=utf-8");
    res.note = std::move(answer.logNote);
    return res;
}

void redirect(HttpResponse& res, const std::string& to) {
    res.status = 303;
    res.setHeader("Location", to);
}

class Site {
  public:
    Site(Store& store, const SiteOptions& options)
        : store_(store), options_(options), cookies_{servedSecurely(options)},
          desk_(store, {options.limits, options.credentialLifetime}, &passwords_),
          passwords_(options.passwordWorkers,
                     PASSWORD_QUEUE_PER_WORKER *
                         (options.passwordWorkers ? options.passwordWorkers : coreCount())),
          loginPerAddress_(options.limits.loginPerAddress),
          loginFailuresPerName_(options.limits.loginFailuresPerName),
          loginFailuresPerAddress_(options.limits.loginFailuresPerAddress),
          signupPerAddress_(options.limits.signupPerAddress) {}

    int64_t now() const {
        return options_.clock ? options_.clock() : static_cast<int64_t>(std::time(nullptr));
    }

    // Who is looking: a member's session (failed: the sessions could not be read).
    Lookup<Session> session(const HttpRequest& req) {
        return findSession(store_, cookies_, req.header("Cookie"), now());
    }

    Visitor visitor(const std::optional<Session>& s) {
        Visitor v;
        if (!s) return v;
        v.csrf = s->csrf;
        if (const Lookup<Member> m = store_.memberById(s->memberId); m.row) v.nickname = m.row->nickname;
        return v;
    }

    // The page's visitor with a form token: the member's session's, or a visitor's own, whose cookie
    // goes out with the answer when it is new. Nothing is stored for a visitor.
    Visitor formVisitor(const HttpRequest& req, const Lookup<Session>& s, HttpResponse& res) {
        if (s.row) return visitor(s.row);
        Visitor v;
        std::string nonce = cookieValue(req.header("Cookie"), cookies_.formName());
        if (forms_.tokenFor(nonce).empty()) {
            nonce = forms_.newNonce();
            res.setHeader("Set-Cookie", forms_.cookie(cookies_, nonce));
        }
        v.csrf = forms_.tokenFor(nonce);
        return v;
    }

    // Whether a posted form carries the form token of its sender's session or visitor cookie; if not,
    // answers 403 (or 503 when the sessions cannot be read) and gives false.
    bool checkedForm(const HttpRequest& req, const Lookup<Session>& s, const Reply& reply) {
        if (s.failed) {
            reply(temporaryFailure());
            return false;
        }
        const std::string token = req.field("csrf");
        if (s.row ? sameSecret(token, s.row->csrf)
                  : forms_.matches(cookieValue(req.header("Cookie"), cookies_.formName()), token)) {
            for (const auto& [name, value] : req.fields) {
                if (!validUtf8(value)) {
                    reply(page(400, messagePage(visitor(s.row), both("Felaktig text", "Invalid text"),
                                                both("Formuläret innehöll tecken som inte är text.",
                                                     "The form held bytes that are not text."))));
                    return false;
                }
            }
            return true;
        }
        reply(page(403,
                   messagePage(visitor(s.row), both("Formuläret har gått ut", "The form has expired"),
                               both("Ladda om sidan och försök igen.", "Reload the page and try again."))));
        return false;
    }

    // Takes one attempt from key's allowance; when it is used up, answers 429 with a page and gives false.
    bool allowed(RateLimiter& limiter, const std::string& key, const HttpRequest& req, const Reply& reply,
                 bool charge = true) {
        const double at = steadySeconds();
        if (!options_.limits.enabled || (charge ? limiter.take(key, at) : limiter.allows(key, at)))
            return true;
        HttpResponse res =
            page(429, messagePage(visitor(session(req).row), both("För många försök", "Too many attempts"),
                                  both("Vänta en stund och försök igen.", "Wait a while and try again.")));
        res.setHeader("Retry-After", std::to_string(limiter.waitSeconds(key, at)));
        reply(std::move(res));
        return false;
    }

    // Runs the rest of a form on the password workers; answers 503 at once when they are all busy.
    void onPasswordWorkers(const Reply& reply, std::function<void()> job) {
        if (!passwords_.submit(std::move(job))) reply(temporaryFailure());
    }

    std::string baseUrl(const HttpRequest& req) const {
        if (!options_.publicUrl.empty()) return options_.publicUrl;
        return "http://" + req.header("Host");
    }

    void home(const HttpRequest& req, const Reply& reply) {
        Boards boards;
        const auto today = store_.leaderboard(Board::Today, now(), BOARD_SIZE);
        const auto week = store_.leaderboard(Board::ThisWeek, now(), BOARD_SIZE);
        const auto all = store_.leaderboard(Board::AllTime, now(), BOARD_SIZE);
        if (!today || !week || !all) return reply(temporaryFailure());
        boards = {*today, *week, *all};
        reply(page(200, homePage(visitor(session(req).row), boards)));
    }

    void score(const HttpRequest& req, const Reply& reply) {
        desk_.take(req.body, req.client, now(),
                   [reply](DeskAnswer answer) { reply(plainAnswer(std::move(answer))); });
    }

    void replay(const HttpRequest& req, const Reply& reply) {
        desk_.takeReplay(req.body, req.client, now(),
                         [reply](DeskAnswer answer) { reply(plainAnswer(std::move(answer))); });
    }

    // A verified score's run: /run/<score id>.gif, an animated picture that every browser plays.
    void run(const HttpRequest& req, const Reply& reply) {
        const std::string digits =
            req.path.substr(RUN_PREFIX.size(), req.path.size() - RUN_PREFIX.size() - 4);
        int64_t id = 0;
        for (const char c : digits)
            id = id * 10 + (c - '0'); // the route's pattern allows one to twelve digits only
        // The answer may come from the checker's thread, when the request is long gone.
        desk_.run(id, [reply](ScoreDesk::Run run) {
            if (run.status == 404)
                return reply(
                    page(404, messagePage({}, both("Matchen finns inte", "No such run"),
                                          "<a href=\"/\">" +
                                              both("Till topplistorna", "To the leaderboards") + "</a>")));
            if (run.status != 200) return reply(temporaryFailure());
            HttpResponse res;
            res.status = 200;
            res.setContent(std::string(run.gif.begin(), run.gif.end()), "image/gif");
            res.setHeader("Cache-Control", "max-age=86400");
            reply(std::move(res));
        });
    }

    void signupForm(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        HttpResponse res;
        const Visitor v = formVisitor(req, s, res);
        SignupValues values;
        const std::string code = req.field("ref");
        if (!code.empty()) {
            const Lookup<Member> recruiter = store_.memberByRecruitCode(code);
            if (recruiter.row) {
                values.recruiter = code;
                values.recruitedBy = recruiter.row->nickname;
            }
        }
        res.setContent(signupPage(v, values, {}), HTML);
        reply(std::move(res));
    }

    void signup(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        if (!checkedForm(req, s, reply) || !allowed(signupPerAddress_, req.client, req, reply)) return;
        onPasswordWorkers(reply, [this, req, reply, s] {
            const SignupRequest request{req.field("email"), req.field("nickname"), req.field("password"),
                                        req.field("password2"), req.field("recruiter")};
            const SignupResult result = signUp(store_, request, now());
            if (!result.memberId) {
                // The form again, with what was typed and the same form token, to mend and send again.
                HttpResponse res;
                res.status = 400;
                const SignupValues values{request.email, request.nickname, request.recruiter, ""};
                res.setContent(signupPage(formVisitor(req, s, res), values, result.errors), HTML);
                return reply(std::move(res));
            }
            logInAs(s.row, *result.memberId, reply, protocol::CHALLENGE_PATH);
        });
    }

    // A new session for the member (never the visitor's old token: no session fixation).
    void logInAs(const std::optional<Session>& old, int64_t memberId, const Reply& reply,
                 const std::string& next) {
        if (old) endSession(store_, *old);
        const std::optional<Session> fresh = startSession(store_, memberId, now());
        if (!fresh) return reply(temporaryFailure());
        HttpResponse res;
        res.setHeader("Set-Cookie", sessionCookie(cookies_, *fresh));
        redirect(res, next);
        reply(std::move(res));
    }

    void loginForm(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        HttpResponse res;
        const Visitor v = formVisitor(req, s, res);
        res.setContent(loginPage(v, req.field("mail"), localPath(req.field("next")), false), HTML);
        reply(std::move(res));
    }

    void login(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        if (!checkedForm(req, s, reply)) return;
        const std::string email = req.field("email");
        const std::string failures = canonicalUserName(email) + " " + req.client;
        if (!allowed(loginPerAddress_, req.client, req, reply) ||
            !allowed(loginFailuresPerName_, failures, req, reply, false) ||
            !allowed(loginFailuresPerAddress_, req.client, req, reply, false))
            return;
        onPasswordWorkers(reply, [this, req, reply, s, email, failures] {
            const std::string next = localPath(req.field("next"));
            const Lookup<Member> member = logIn(store_, email, req.field("password"));
            if (member.failed) return reply(temporaryFailure());
            if (!member.row) {
                if (options_.limits.enabled) {
                    loginFailuresPerName_.take(failures, steadySeconds());
                    loginFailuresPerAddress_.take(req.client, steadySeconds());
                }
                HttpResponse res;
                res.status = 401;
                res.setContent(loginPage(formVisitor(req, s, res), email, next, true), HTML);
                return reply(std::move(res));
            }
            logInAs(s.row, member.row->id, reply, next);
        });
    }

    void logout(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        if (!checkedForm(req, s, reply)) return;
        HttpResponse res;
        if (s.row) {
            endSession(store_, *s.row);
            res.setHeader("Set-Cookie", expiredSessionCookie(cookies_));
        }
        redirect(res, "/");
        reply(std::move(res));
    }

    void challenge(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        const Lookup<Member> member = s.row ? store_.memberById(s.row->memberId) : Lookup<Member>{};
        if (s.failed || member.failed) return reply(temporaryFailure());
        if (!member.row) {
            HttpResponse res;
            redirect(res, std::string("/logga-in/?next=") + protocol::CHALLENGE_PATH);
            return reply(std::move(res));
        }
        const std::optional<std::vector<Member>> recruits = store_.recruitsOf(member.row->id);
        if (!recruits) return reply(temporaryFailure());
        ChallengeView view;
        view.recruitLink =
            baseUrl(req) + protocol::SIGNUP_PATH + "?ref=" + protocol::queryEscape(member.row->recruitCode);
        view.recruits = *recruits;
        reply(page(200, challengePage(visitor(s.row), view)));
    }

    void passwordHelp(const HttpRequest& req, const Reply& reply) {
        reply(page(200, passwordHelpPage(visitor(session(req).row), req.field(protocol::PASSWORD_HELP_MAIL),
                                         options_.contact)));
    }

    void libraryHelp(const HttpRequest& req, const Reply& reply) {
        reply(page(200, libraryHelpPage(visitor(session(req).row))));
    }

    void version(const HttpRequest& req, const Reply& reply) {
        const std::optional<std::vector<Release>> releases = store_.releases();
        if (!releases) return reply(temporaryFailure());
        const std::optional<Release> newest =
            releases->empty() ? std::nullopt : std::optional(releases->front());
        reply(page(200, versionPage(visitor(session(req).row), req.field(protocol::VERSION_NUMBER), newest,
                                    options_.downloadUrl)));
    }

    void notFound(const HttpRequest& req, const Reply& reply) {
        reply(page(
            404, messagePage(visitor(session(req).row), both("Sidan finns inte", "Page not found"),
                             "<a href=\"/\">" + both("Till topplistorna", "To the leaderboards") + "</a>")));
    }

  private:
    Store& store_;
    SiteOptions options_;
    CookiePolicy cookies_;
    FormTokens forms_;
    // The desk hands password checks to the workers, so they go first: their last jobs still reach it.
    ScoreDesk desk_;
    WorkPool passwords_;
    RateLimiter loginPerAddress_, loginFailuresPerName_, loginFailuresPerAddress_, signupPerAddress_;
};

} // namespace

bool servedSecurely(const SiteOptions& options) {
    return options.publicUrl.rfind("https://", 0) == 0;
}

std::vector<Route> siteRoutes(Store& store, const SiteOptions& options) {
    // Every handler holds the shared Site; it lives as long as the last of them.
    auto site = std::make_shared<Site>(store, options);
    using Req = const HttpRequest&;
    return {
        {"GET", protocol::HOME_PATH, [site](Req req, Reply reply) { site->home(req, reply); }},
        {"GET", "/style.css",
         [](Req, Reply reply) {
             HttpResponse res;
             res.setContent(std::string(styleSheet()), "text/css; charset=utf-8");
             res.setHeader("Cache-Control", "max-age=3600");
             reply(std::move(res));
         }},
        {"POST", protocol::SUBMIT_PATH, [site](Req req, Reply reply) { site->score(req, reply); }},
        {"POST", protocol::REPLAY_PATH, [site](Req req, Reply reply) { site->replay(req, reply); }},
        {"GET", std::string(RUN_PREFIX) + R"([0-9]{1,12}\.gif)",
         [site](Req req, Reply reply) { site->run(req, reply); }},
        {"GET", std::string(protocol::SIGNUP_PATH) + "?",
         [site](Req req, Reply reply) { site->signupForm(req, reply); }},
        {"POST", std::string(protocol::SIGNUP_PATH) + "?",
         [site](Req req, Reply reply) { site->signup(req, reply); }},
        {"GET", R"(/logga-in/?)", [site](Req req, Reply reply) { site->loginForm(req, reply); }},
        {"POST", R"(/logga-in/?)", [site](Req req, Reply reply) { site->login(req, reply); }},
        {"POST", R"(/logga-ut/?)", [site](Req req, Reply reply) { site->logout(req, reply); }},
        {"GET", std::string(protocol::CHALLENGE_PATH) + "?",
         [site](Req req, Reply reply) { site->challenge(req, reply); }},
        {"GET", protocol::PASSWORD_HELP_PATH,
         [site](Req req, Reply reply) { site->passwordHelp(req, reply); }},
        {"GET", std::string(protocol::LIBRARY_HELP_PATH) + "?",
         [site](Req req, Reply reply) { site->libraryHelp(req, reply); }},
        {"GET", protocol::VERSION_PATH, [site](Req req, Reply reply) { site->version(req, reply); }},
        topTenRoute(store, options.clock),
        {"*", "", [site](Req req, Reply reply) { site->notFound(req, reply); }},
    };
}

} // namespace tundrix::channel
