// The routes: the score form, the leaderboards, sign-up, log-in and log-out, the challenge page and the
// help pages the game opens. Every form is checked against its form token; the password checks of the
// forms run on the password workers.
#include "channel/site.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/competition_boards.h"
#include "channel/competition_pages.h"
#include "channel/crypto.h"
#include "channel/member_pages.h"
#include "channel/nickname.h"
#include "channel/pages.h"
#include "channel/password_resets.h"
#include "channel/reset_pages.h"
#include "channel/score_desk.h"
#include "channel/sessions.h"
#include "channel/top_ten.h"
#include "channel/unknown_users.h"
#include "channel/work_pool.h"
#include "net/latin1_text.h"
#include "protocol/form_text.h"
#include "protocol/paths.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace tundrix::channel {
namespace {

constexpr char HTML[] = "text/html; charset=utf-8";
// What a form shown again after its token went out of date says.
constexpr char EXPIRED[] =
    "Formuläret hade gått ut, så det visas här igen med det du skrev. Skicka det en gång "
    "till. / The form had expired, so here it is again with what you typed. Send it once "
    "more.";
// What a log-in that failed says, and a banned member's.
constexpr char WRONG_LOGIN[] = "Fel e-postadress eller lösenord. / Wrong e-mail address or password.";
constexpr char BANNED[] =
    "Kontot är avstängt av den som driver kanalen. / This account has been closed by the person who runs "
    "the channel.";
constexpr char PASSWORDS_DIFFER[] = "Lösenorden skiljer sig åt. / The passwords differ.";
// Where a verified score's run is shown.
constexpr std::string_view RUN_PREFIX = "/run/";
// What the home page shows at most: announcements, running competitions and the top of each one's board;
// and the rounds a winners page lists.
constexpr int ANNOUNCEMENTS_SHOWN = 3;
constexpr size_t COMPETITIONS_SHOWN = 6;
constexpr int COMPETITION_TOP = 10;
constexpr int COMPETITION_BOARD = 100; // on the competition's own page
constexpr int DRAWS_SHOWN = 60;
// A member's page looks for them among this many members of each board, and shows this many rows either
// side of theirs, and their best scores.
constexpr int RANK_SCAN = 20000;
constexpr size_t RANK_REACH = 2;
constexpr int OWN_SCORES_SHOWN = 10;
// The whole boards' pages end here (10 000 members), so that no page reads further down.
constexpr uint32_t BOARD_PAGES_MAX = 200;
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
          signupPerAddress_(options.limits.signupPerAddress),
          resetPerAddress_(options.limits.resetPerAddress),
          resets_(store,
                  {options.mail, options.publicUrl, options.log ? options.log : [](const std::string&) {},
                   options.limits.enabled, options.limits.resetPerMail}) {
        // Recordings a stop left waiting are played again first.
        desk_.checkWaiting(now());
    }

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
    // again, when given, shows the form once more with what was typed and a fresh token instead of the
    // bare 403 page.
    bool checkedForm(const HttpRequest& req, const Lookup<Session>& s, const Reply& reply,
                     const std::function<void()>& again = {}) {
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
        if (again) {
            again();
            return false;
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
        const int wait = std::max(1, limiter.waitSeconds(key, at));
        const bool inSeconds = wait < 120;
        const std::string amount = std::to_string(inSeconds ? wait : (wait + 59) / 60); // minutes rounded up
        const std::string sv = amount + (inSeconds ? " sekunder" : " minuter");
        const std::string en = amount + (inSeconds ? " seconds" : " minutes");
        HttpResponse res =
            page(429, messagePage(visitor(session(req).row), both("För många försök", "Too many attempts"),
                                  "<span id=\"retry\">" +
                                      both("Vänta " + sv + " och försök sedan igen.",
                                           "Wait " + en + ", then try again.") +
                                      "</span>"));
        res.setHeader("Retry-After", std::to_string(wait));
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
        HomeView home;
        const auto today = store_.leaderboard(Board::Today, now(), BOARD_SIZE);
        const auto week = store_.leaderboard(Board::ThisWeek, now(), BOARD_SIZE);
        const auto all = store_.leaderboard(Board::AllTime, now(), BOARD_SIZE);
        const auto lines = store_.announcements(dayOf(now()), ANNOUNCEMENTS_SHOWN);
        const auto competitions = store_.competitions();
        if (!today || !week || !all || !lines || !competitions) return reply(temporaryFailure());
        home.boards = {*today, *week, *all};
        for (const Announcement& a : *lines)
            home.announcements.push_back(a.text);
        for (const Competition& c : *competitions) {
            if (!runsOn(c, dayOf(now()))) continue;
            if (home.competitions.size() == COMPETITIONS_SHOWN) break;
            const std::optional<CompetitionView> view = roundAt(store_, c, now(), COMPETITION_TOP);
            if (!view) return reply(temporaryFailure());
            home.competitions.push_back(*view);
        }
        home.downloadUrl = options_.downloadUrl;
        reply(page(200, homePage(visitor(session(req).row), home)));
    }

    // A whole board a page at a time; the pages end where the boards' reach does.
    void wholeBoard(const HttpRequest& req, const Reply& reply) {
        const std::string word =
            req.path.substr(std::strlen(BOARD_PREFIX),
                            req.path.find('/', std::strlen(BOARD_PREFIX)) - std::strlen(BOARD_PREFIX));
        BoardPage b;
        b.word = word;
        Board board = Board::AllTime;
        if (word == "idag") {
            board = Board::Today;
            b.swedish = "Idag";
            b.english = "Today";
        } else if (word == "vecka") {
            board = Board::ThisWeek;
            b.swedish = "Denna vecka";
            b.english = "This week";
        } else {
            b.swedish = "Genom tiderna";
            b.english = "All time";
        }
        const std::optional<uint32_t> asked = protocol::parseUint32(req.field(BOARD_PAGE));
        b.page = static_cast<int>(std::clamp<uint32_t>(asked.value_or(1), 1, BOARD_PAGES_MAX));
        // One row past the page tells whether another follows.
        const auto rows = store_.leaderboard(board, now(), b.page * BOARD_PAGE_SIZE + 1);
        if (!rows) return reply(temporaryFailure());
        std::vector<Ranked> all = *rows;
        rankTies(all);
        const size_t from = static_cast<size_t>((b.page - 1) * BOARD_PAGE_SIZE);
        const size_t to = std::min(all.size(), from + BOARD_PAGE_SIZE);
        if (from < to)
            b.rows.assign(all.begin() + static_cast<std::ptrdiff_t>(from),
                          all.begin() + static_cast<std::ptrdiff_t>(to));
        b.more = all.size() > to && b.page < static_cast<int>(BOARD_PAGES_MAX);
        reply(page(200, boardPage(visitor(session(req).row), b)));
    }

    // The competition of /tavling/ID/...: nothing (and a 404 answered) if there is none.
    std::optional<Competition> competitionOf(const HttpRequest& req, const Reply& reply) {
        // The route allows one to nine digits; anything else is no competition.
        int64_t id = 0;
        size_t digits = 0;
        for (size_t i = COMPETITION_PREFIX.size(); i < req.path.size() && req.path[i] != '/'; ++i, ++digits) {
            if (req.path[i] < '0' || req.path[i] > '9' || digits == 9) {
                notFound(req, reply);
                return std::nullopt;
            }
            id = id * 10 + (req.path[i] - '0');
        }
        const Lookup<Competition> c = store_.competition(id);
        if (c.failed) reply(temporaryFailure());
        if (!c.row && !c.failed) notFound(req, reply);
        return c.row;
    }

    void competition(const HttpRequest& req, const Reply& reply) {
        const std::optional<Competition> c = competitionOf(req, reply);
        if (!c) return;
        const std::optional<CompetitionView> view = roundAt(store_, *c, now(), COMPETITION_BOARD);
        if (!view) return reply(temporaryFailure());
        const Visitor v = visitor(session(req).row);
        reply(page(200, competitionPage(v, *view, v.nickname)));
    }

    void winners(const HttpRequest& req, const Reply& reply) {
        const std::optional<Competition> c = competitionOf(req, reply);
        if (!c) return;
        const auto draws = store_.draws(c->id, DRAWS_SHOWN);
        if (!draws) return reply(temporaryFailure());
        reply(page(200, winnersPage(visitor(session(req).row), *c, *draws)));
    }

    void score(const HttpRequest& req, const Reply& reply) {
        desk_.take(req.body, req.client, now(), [this, client = req.client, reply](DeskAnswer answer) {
            if (!answer.unknownUser.empty())
                unknownUsers_.remember(client, answer.unknownUser, steadySeconds());
            reply(plainAnswer(std::move(answer)));
        });
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
        // The page may name the address the game was told is unknown, in the game's own code page. The game
        // itself opens the page bare: then it is the address this client was last told of, if lately.
        std::string unknown = req.field(protocol::SIGNUP_MAIL);
        if (!validUtf8(unknown)) unknown = windows1252ToUtf8(unknown);
        if (unknown.empty()) unknown = unknownUsers_.take(req.client, steadySeconds());
        if (!unknown.empty() && unknown.size() <= 4 * EMAIL_MAX_CHARS) {
            values.email = unknown;
            values.notice =
                "Adressen " + unknown +
                " är inte medlem här ännu. Bli medlem med den nedan, så räknas poängen från spelet. / "
                "The address " +
                unknown +
                " is not a member here yet. Sign up with it below, and the score from the "
                "game counts.";
        }
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
        const auto again = [&] {
            HttpResponse res;
            res.status = 403;
            SignupValues values{req.field("email"), req.field("nickname"), req.field("recruiter"), "",
                                EXPIRED};
            res.setContent(signupPage(formVisitor(req, s, res), values, {}), HTML);
            reply(std::move(res));
        };
        if (!checkedForm(req, s, reply, again) || !allowed(signupPerAddress_, req.client, req, reply)) return;
        onPasswordWorkers(reply, [this, req, reply, s] {
            const SignupRequest request{req.field("email"), req.field("nickname"), req.field("password"),
                                        req.field("password2"), req.field("recruiter")};
            const SignupResult result = signUp(store_, request, now());
            if (!result.memberId) {
                // The form again, with what was typed and the same form token, to mend and send again.
                HttpResponse res;
                res.status = 400;
                const SignupValues values{request.email, request.nickname, request.recruiter, "", ""};
                std::vector<FieldError> errors;
                for (size_t i = 0; i < result.errors.size(); ++i)
                    errors.push_back({i < result.fields.size() ? result.fields[i] : "", result.errors[i]});
                res.setContent(signupPage(formVisitor(req, s, res), values, errors), HTML);
                return reply(std::move(res));
            }
            logInAs(s.row, *result.memberId, reply, WELCOME_PATH);
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
        res.setContent(loginPage(v, req.field("mail"), localPath(req.field("next"))), HTML);
        reply(std::move(res));
    }

    void login(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        const auto again = [&] {
            HttpResponse res;
            res.status = 403;
            res.setContent(loginPage(formVisitor(req, s, res), req.field("email"),
                                     localPath(req.field("next")), {}, EXPIRED),
                           HTML);
            reply(std::move(res));
        };
        if (!checkedForm(req, s, reply, again)) return;
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
                res.setContent(loginPage(formVisitor(req, s, res), email, next, {"password", WRONG_LOGIN}),
                               HTML);
                return reply(std::move(res));
            }
            // Said only to whoever knows the password: a stranger learns nothing of a ban.
            if (member.row->banned) {
                HttpResponse res;
                res.status = 403;
                res.setContent(loginPage(formVisitor(req, s, res), email, next, {"email", BANNED}), HTML);
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
        if (!member.row || member.row->banned) {
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

    // The member's page, with the forms' errors and what was typed when one of them failed.
    void memberPageFor(const Session& s, const Member& m, const Reply& reply, int status, MemberView view) {
        view.member = m;
        const struct {
            Board board;
            const char *sv, *en, *id;
        } boards[] = {{Board::Today, "Idag", "Today", "today"},
                      {Board::ThisWeek, "Denna vecka", "This week", "week"},
                      {Board::AllTime, "Genom tiderna", "All time", "alltime"}};
        for (const auto& b : boards) {
            const auto board = store_.leaderboard(b.board, now(), RANK_SCAN);
            if (!board) return reply(temporaryFailure());
            Standing st = standingOf(*board, m.id, RANK_SCAN, RANK_REACH);
            st.swedish = b.sv;
            st.english = b.en;
            st.id = b.id;
            view.standings.push_back(std::move(st));
        }
        const auto best = store_.ownScores(m.id, OWN_SCORES_SHOWN);
        const auto recruits = store_.recruitsOf(m.id);
        if (!best || !recruits) return reply(temporaryFailure());
        view.best = *best;
        view.recruits = *recruits;
        Visitor v;
        v.nickname = m.nickname;
        v.csrf = s.csrf;
        reply(page(status, memberPage(v, view)));
    }

    // The logged-in member, or a redirect to the log-in page that comes back here (false then).
    bool memberOf(const Lookup<Session>& s, Lookup<Member>& m, const Reply& reply) {
        m = s.row ? store_.memberById(s.row->memberId) : Lookup<Member>{};
        if (s.failed || m.failed) {
            reply(temporaryFailure());
            return false;
        }
        // A session that began while the ban was being made counts for nothing either.
        if (m.row && !m.row->banned) return true;
        HttpResponse res;
        redirect(res, std::string("/logga-in/?next=") + MEMBER_PATH);
        reply(std::move(res));
        return false;
    }

    void memberHome(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        Lookup<Member> m;
        if (!memberOf(s, m, reply)) return;
        MemberView view;
        const std::string done = req.field("klart");
        if (done == "smeknamn") view.notice = "Smeknamnet är bytt. / Your nickname is changed.";
        if (done == "losenord")
            view.notice =
                "Lösenordet är bytt; du är utloggad överallt annars. / Your password is changed; you "
                "are logged out everywhere else.";
        memberPageFor(*s.row, *m.row, reply, 200, std::move(view));
    }

    // A member's form sent with a token that no longer holds: the member page again, with the nickname
    // typed (never a password) and a fresh token; without a session, the log-in first.
    std::function<void()> memberFormAgain(const HttpRequest& req, const Lookup<Session>& s,
                                          const Reply& reply) {
        return [this, &req, &s, &reply] {
            Lookup<Member> m;
            if (!memberOf(s, m, reply)) return;
            MemberView view;
            view.typedNickname = req.field("nickname");
            view.notice = EXPIRED;
            memberPageFor(*s.row, *m.row, reply, 403, std::move(view));
        };
    }

    void changeNickname(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        Lookup<Member> m;
        if (!checkedForm(req, s, reply, memberFormAgain(req, s, reply)) || !memberOf(s, m, reply)) return;
        MemberView view;
        view.typedNickname = req.field("nickname");
        std::string problem;
        const std::optional<Nickname> nick = checkNickname(view.typedNickname, problem);
        if (nick) {
            const Moderated done = store_.setNickname(m.row->id, nick->text, nick->key);
            if (done == Moderated::Done) {
                HttpResponse res;
                redirect(res, std::string(MEMBER_PATH) + "?klart=smeknamn");
                return reply(std::move(res));
            }
            if (done != Moderated::Taken) return reply(temporaryFailure());
            problem = "Smeknamnet är upptaget eller för likt ett som finns. / That nickname is taken, or too "
                      "like one that is.";
        }
        view.errors.push_back({"nickname", problem});
        memberPageFor(*s.row, *m.row, reply, 400, std::move(view));
    }

    void changePassword(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        Lookup<Member> m;
        if (!checkedForm(req, s, reply, memberFormAgain(req, s, reply)) || !memberOf(s, m, reply)) return;
        const std::string failures = canonicalUserName(m.row->email) + " " + req.client;
        if (!allowed(loginFailuresPerName_, failures, req, reply, false)) return;
        const Session session = *s.row;
        const Member member = *m.row;
        onPasswordWorkers(reply, [this, req, reply, session, member, failures] {
            MemberView view;
            const Lookup<Member> checked = logIn(store_, member.email, req.field("old"));
            if (checked.failed) return reply(temporaryFailure());
            if (!checked.row) {
                if (options_.limits.enabled) loginFailuresPerName_.take(failures, steadySeconds());
                view.errors.push_back({"old", "Fel lösenord. / Wrong password."});
            }
            const std::string fresh = req.field("password");
            for (const std::string& p : passwordProblems(fresh))
                view.errors.push_back({"password", p});
            if (fresh != req.field("password2")) view.errors.push_back({"password2", PASSWORDS_DIFFER});
            if (!view.errors.empty()) return memberPageFor(session, member, reply, 400, std::move(view));
            std::string error;
            // Ends every session of the member, this one too: the browser gets a fresh one.
            if (!setPassword(store_, member.id, fresh, error)) return reply(temporaryFailure());
            logInAs(std::nullopt, member.id, reply, std::string(MEMBER_PATH) + "?klart=losenord");
        });
    }

    // What a new member does next: get the game, play, register the score from it.
    void welcome(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        Lookup<Member> m;
        if (!memberOf(s, m, reply)) return;
        reply(page(200, welcomePage(visitor(s.row), m.row->email, options_.downloadUrl)));
    }

    // The password page with the address the game or the visitor typed (the game types its own code page).
    PasswordHelp passwordHelpFor(std::string mail, const std::string& notice = "") const {
        if (!validUtf8(mail)) mail = windows1252ToUtf8(mail);
        if (mail.size() > 4 * EMAIL_MAX_CHARS) mail.clear();
        return {mail, options_.contact, resets_.mailing(), notice};
    }

    void passwordHelp(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        HttpResponse res;
        const Visitor v = formVisitor(req, s, res);
        res.setContent(passwordHelpPage(v, passwordHelpFor(req.field(protocol::PASSWORD_HELP_MAIL))), HTML);
        reply(std::move(res));
    }

    // Asks for a reset link: the same answer whoever has the address, and at once, the mail or not.
    void askForLink(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        const auto again = [&] {
            HttpResponse res;
            res.status = 403;
            res.setContent(
                passwordHelpPage(formVisitor(req, s, res), passwordHelpFor(req.field("email"), EXPIRED)),
                HTML);
            reply(std::move(res));
        };
        if (!checkedForm(req, s, reply, again) || !allowed(resetPerAddress_, req.client, req, reply)) return;
        const PasswordHelp help = passwordHelpFor(req.field("email"));
        if (!help.mailing) return reply(page(200, passwordHelpPage(visitor(s.row), help)));
        if (!help.mail.empty()) resets_.request(help.mail, now());
        reply(page(200, resetSentPage(visitor(s.row), help.mail)));
    }

    // The member a reset link is for, if it still works (failed: the links could not be read).
    Lookup<int64_t> linkOf(const std::string& token) {
        return resetTokenShaped(token) ? store_.passwordReset(tokenDigest(token), now()) : Lookup<int64_t>{};
    }

    HttpResponse deadLink(const Lookup<Session>& s) {
        HttpResponse res = page(410, deadLinkPage(visitor(s.row)));
        res.setHeader("Cache-Control", "no-store");
        return res;
    }

    void newPasswordForm(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        const std::string token = req.field(RESET_TOKEN);
        const Lookup<int64_t> link = linkOf(token);
        if (link.failed) return reply(temporaryFailure());
        if (!link.row) return reply(deadLink(s));
        HttpResponse res;
        res.setContent(newPasswordPage(formVisitor(req, s, res), token, {}), HTML);
        res.setHeader("Cache-Control", "no-store");
        reply(std::move(res));
    }

    // A working link's new password: the link is spent, every session of the member ends, and this
    // browser is logged in afresh.
    void setNewPassword(const HttpRequest& req, const Reply& reply) {
        const Lookup<Session> s = session(req);
        const std::string token = req.field(RESET_TOKEN);
        const auto again = [&] {
            if (!linkOf(token).row) return reply(deadLink(s));
            HttpResponse res;
            res.status = 403;
            res.setContent(newPasswordPage(formVisitor(req, s, res), token, {}, EXPIRED), HTML);
            reply(std::move(res));
        };
        if (!checkedForm(req, s, reply, again) || !allowed(resetPerAddress_, req.client, req, reply)) return;
        const Lookup<int64_t> link = linkOf(token);
        if (link.failed) return reply(temporaryFailure());
        if (!link.row) return reply(deadLink(s));
        const std::string fresh = req.field("password");
        std::vector<FieldError> errors;
        for (const std::string& p : passwordProblems(fresh))
            errors.push_back({"password", p});
        if (fresh != req.field("password2")) errors.push_back({"password2", PASSWORDS_DIFFER});
        if (!errors.empty()) {
            HttpResponse res;
            res.status = 400;
            res.setContent(newPasswordPage(formVisitor(req, s, res), token, errors), HTML);
            return reply(std::move(res));
        }
        onPasswordWorkers(reply, [this, req, reply, s, token, fresh] {
            // Spent in one step: of two tries at once, one finds it used.
            const Lookup<int64_t> used = store_.usePasswordReset(tokenDigest(token), now());
            if (used.failed) return reply(temporaryFailure());
            if (!used.row) return reply(deadLink(s));
            const Lookup<Member> member = store_.memberById(*used.row);
            if (member.failed) return reply(temporaryFailure());
            if (!member.row || member.row->banned)
                return reply(
                    page(403, messagePage(visitor(s.row), both("Kontot är avstängt", "The account is closed"),
                                          escapeHtml(BANNED))));
            std::string error;
            if (!setPassword(store_, member.row->id, fresh, error)) return reply(temporaryFailure());
            logInAs(s.row, member.row->id, reply, std::string(MEMBER_PATH) + "?klart=losenord");
        });
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
    UnknownUsers unknownUsers_; // filled from the desk's answers, so it outlives the desk
    // The desk hands password checks to the workers, so they go first: their last jobs still reach it.
    ScoreDesk desk_;
    WorkPool passwords_;
    RateLimiter loginPerAddress_, loginFailuresPerName_, loginFailuresPerAddress_, signupPerAddress_,
        resetPerAddress_;
    PasswordResets resets_;
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
        {"POST", protocol::PASSWORD_HELP_PATH,
         [site](Req req, Reply reply) { site->askForLink(req, reply); }},
        {"GET", std::string(NEW_PASSWORD_PATH) + "?",
         [site](Req req, Reply reply) { site->newPasswordForm(req, reply); }},
        {"POST", std::string(NEW_PASSWORD_PATH) + "?",
         [site](Req req, Reply reply) { site->setNewPassword(req, reply); }},
        {"GET", std::string(protocol::LIBRARY_HELP_PATH) + "?",
         [site](Req req, Reply reply) { site->libraryHelp(req, reply); }},
        {"GET", protocol::VERSION_PATH, [site](Req req, Reply reply) { site->version(req, reply); }},
        {"GET", std::string(BOARD_PREFIX) + "(idag|vecka|alltid)/?",
         [site](Req req, Reply reply) { site->wholeBoard(req, reply); }},
        {"GET", std::string(WELCOME_PATH) + "?", [site](Req req, Reply reply) { site->welcome(req, reply); }},
        {"GET", std::string(MEMBER_PATH) + "?",
         [site](Req req, Reply reply) { site->memberHome(req, reply); }},
        {"POST", std::string(NICKNAME_FORM_PATH) + "?",
         [site](Req req, Reply reply) { site->changeNickname(req, reply); }},
        {"POST", std::string(PASSWORD_FORM_PATH) + "?",
         [site](Req req, Reply reply) { site->changePassword(req, reply); }},
        {"GET", std::string(COMPETITION_PREFIX) + "[0-9]{1,9}/?",
         [site](Req req, Reply reply) { site->competition(req, reply); }},
        {"GET", std::string(COMPETITION_PREFIX) + "[0-9]{1,9}/vinnare/?",
         [site](Req req, Reply reply) { site->winners(req, reply); }},
        topTenRoute(store, options.clock),
        {"*", "", [site](Req req, Reply reply) { site->notFound(req, reply); }},
    };
}

} // namespace tundrix::channel
