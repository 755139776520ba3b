// The HTML of a member's own page, and where they stand on a board.
#include "channel/member_pages.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/nickname.h"
#include "channel/pages.h"
#include "protocol/paths.h"

namespace tundrix::channel {
namespace {

std::string when(int64_t at) {
    std::string day = localTime(at).substr(0, 16);
    if (day.size() > 10) day[10] = ' ';
    return day;
}

} // namespace

Standing standingOf(std::vector<Ranked> board, int64_t memberId, size_t scan, size_t reach) {
    Standing s;
    rankTies(board);
    for (size_t i = 0; i < board.size(); ++i) {
        if (board[i].memberId != memberId) continue;
        s.rank = board[i].rank;
        const size_t from = i > reach ? i - reach : 0;
        const size_t to = std::min(board.size(), i + reach + 1);
        s.around.assign(board.begin() + static_cast<std::ptrdiff_t>(from),
                        board.begin() + static_cast<std::ptrdiff_t>(to));
        return s;
    }
    s.beyond = board.size() >= scan;
    return s;
}

std::string memberPage(const Visitor& visitor, const MemberView& v) {
    const Member& m = v.member;
    std::string body =
        "<h1>" + escapeHtml(m.nickname) + "</h1><p class=\"meta\">" + both("Mina sidor", "My page") + "</p>";
    if (!v.notice.empty()) body += "<p class=\"ok\" role=\"status\">" + escapeHtml(v.notice) + "</p>";
    body += "<p>" + both("Medlem sedan", "Member since") + " " + dayOf(m.createdAt) + ".</p>";

    body += "<section id=\"standing\"><h2>" + both("Din placering", "Your standing") +
            "</h2><div class=\"boards\">";
    for (const Standing& s : v.standings) {
        if (s.rank) {
            body += boardSection(s.swedish + ": plats " + std::to_string(*s.rank),
                                 s.english + ": place " + std::to_string(*s.rank), s.around,
                                 "standing-" + s.id, false, m.nickname);
        } else {
            body += "<section id=\"standing-" + s.id + "\"><h2>" + both(s.swedish, s.english) +
                    "</h2><p class=\"empty\">" +
                    (s.beyond ? both("Längre ned än vi räknar.", "Further down than we count.")
                              : both("Inget resultat här ännu.", "No score here yet.")) +
                    "</p></section>";
        }
    }
    body += "</div></section>";

    body += "<section class=\"card\" id=\"best\"><h2>" + both("Dina bästa resultat", "Your best scores") +
            "</h2>";
    if (v.best.empty()) {
        body += "<p class=\"empty\">" +
                both("Inga resultat ännu: spela och välj <em>Registrera high-score</em> i spelet.",
                     "No scores yet: play and choose <em>Register high-score</em> in the game.") +
                "</p>";
    } else {
        body += "<table><thead><tr><th class=\"num\">" + both("Poäng", "Score") + "</th><th>" +
                both("Registrerad", "Registered") + "</th><th>" + both("Status", "Status") +
                "</th></tr></thead><tbody>";
        for (const OwnScore& s : v.best)
            body += "<tr><td class=\"num\">" + std::to_string(s.score) + "</td><td>" + when(s.at) +
                    "</td><td>" +
                    (!s.counted   ? both("Räknas inte", "Not counted")
                     : s.verified ? both("Verifierad", "Verified")
                                  : both("Ej verifierad", "Not verified")) +
                    "</td></tr>";
        body += "</tbody></table>";
    }
    body += "</section>";

    body += "<section class=\"card\" id=\"recruits\"><h2>" + both("Dina värvningar", "Your recruits") + " (" +
            std::to_string(v.recruits.size()) + ")</h2>";
    if (v.recruits.empty())
        body += "<p class=\"empty\">" + both("Ingen ännu.", "Nobody yet.") + "</p>";
    else {
        body += "<ul>";
        for (const Member& r : v.recruits)
            body += "<li><span class=\"nick\">" + escapeHtml(r.nickname) + "</span> (" + dayOf(r.createdAt) +
                    ")</li>";
        body += "</ul>";
    }
    body += "<p><a href=\"" + std::string(protocol::CHALLENGE_PATH) + "\">" +
            both("Din värvningslänk", "Your recruiting link") + "</a></p></section>";

    body += "<section class=\"card\" id=\"change\"><h2>" + both("Byt smeknamn", "Change nickname") + "</h2>";
    body += "<form class=\"panel\" method=\"post\" action=\"" + std::string(NICKNAME_FORM_PATH) + "\">" +
            csrfField(visitor.csrf);
    body += labelledInput(v.errors, "text", "nickname", both("Nytt smeknamn", "New nickname"),
                          v.typedNickname.empty() ? m.nickname : v.typedNickname,
                          "required minlength=\"" + std::to_string(NICKNAME_MIN_CHARS) + "\" maxlength=\"" +
                              std::to_string(NICKNAME_MAX_CHARS) + "\" autocomplete=\"nickname\"");
    body += "<button class=\"go\" type=\"submit\">" + both("Byt smeknamn", "Change nickname") +
            "</button></form>";
    body += "<h2>" + both("Byt lösenord", "Change password") + "</h2>";
    body += "<form class=\"panel\" method=\"post\" action=\"" + std::string(PASSWORD_FORM_PATH) + "\">" +
            csrfField(visitor.csrf);
    const std::string limits = "minlength=\"" + std::to_string(PASSWORD_MIN_CHARS) + "\" maxlength=\"" +
                               std::to_string(PASSWORD_MAX_CHARS) + "\"";
    body += labelledInput(v.errors, "password", "old", both("Nuvarande lösenord", "Current password"), "",
                          "required maxlength=\"" + std::to_string(PASSWORD_MAX_CHARS) +
                              "\" autocomplete=\"current-password\"");
    body += labelledInput(v.errors, "password", "password", both("Nytt lösenord", "New password"), "",
                          "required " + limits + " autocomplete=\"new-password\"");
    body += labelledInput(v.errors, "password", "password2", both("Nytt lösenord igen", "New password again"),
                          "", "required " + limits + " autocomplete=\"new-password\"");
    body += "<p class=\"legend\">" +
            both("Du loggas ut på alla andra datorer. Skriv det nya lösenordet i spelet nästa "
                 "gång du registrerar.",
                 "You are logged out everywhere else. Type the new password in the game the next time you "
                 "register.") +
            "</p><button class=\"go\" type=\"submit\">" + both("Byt lösenord", "Change password") +
            "</button></form></section>";
    return page(visitor, m.nickname + " - Mina sidor / My page", body);
}

} // namespace tundrix::channel
