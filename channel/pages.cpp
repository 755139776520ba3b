// The HTML of each page: leaderboards, sign-up, log-in, challenge, password help, library and version.
#include "channel/pages.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/nickname.h"
#include "protocol/paths.h"

namespace tundrix::channel {
namespace {

std::string heading(std::string_view swedish, std::string_view english) {
    return "<h1>" + std::string(swedish) + " <span class=\"en\" lang=\"en\">" + std::string(english) +
           "</span></h1>";
}

std::string board(std::string_view swedish, std::string_view english, const std::vector<Ranked>& rows,
                  std::string_view id) {
    std::string html = "<section id=\"" + std::string(id) + "\"><h2>" + both(swedish, english) + "</h2>";
    if (rows.empty()) {
        return html + "<p class=\"empty\">" + both("Inga po\xC3\xA4ng \xC3\xA4nnu.", "No scores yet.") +
               "</p></section>";
    }
    html += "<table><thead><tr><th class=\"rank\">#</th><th>" + both("Namn", "Name") +
            "</th><th class=\"num\">" + both("Po\xC3\xA4ng", "Score") + "</th></tr></thead><tbody>";
    int rank = 0;
    // Verified scores come first: the channel played each one's game again and it reached the score; each
    // links its run. The others are marked.
    for (const Ranked& r : rows) {
        const std::string mark =
            r.verified
                ? " <a class=\"run\" href=\"/run/" + std::to_string(r.scoreId) +
                      ".gif\" title=\"Verifierad: se matchen / Verified: watch the run\" aria-label=\"" +
                      "Verifierad: se matchen / Verified: watch the run\">\xE2\x96\xB6</a>"
                : "<span class=\"unverified\" title=\"Ej verifierad / Not verified\">*</span>";
        html += "<tr" + std::string(r.verified ? "" : " class=\"unverified\"") + "><td class=\"rank\">" +
                std::to_string(++rank) + "</td><td class=\"nick\">" + escapeHtml(r.nickname) +
                "</td><td class=\"num\">" + std::to_string(r.score) + mark + "</td></tr>";
    }
    return html + "</tbody></table></section>";
}

std::string errorList(const std::vector<std::string>& errors) {
    if (errors.empty()) return "";
    std::string html = "<div class=\"error\" role=\"alert\"><ul>";
    for (const std::string& e : errors)
        html += "<li>" + escapeHtml(e) + "</li>";
    return html + "</ul></div>";
}

std::string field(std::string_view type, std::string_view name, std::string_view label,
                  std::string_view value, std::string_view extra) {
    return "<label for=\"" + std::string(name) + "\">" + std::string(label) + "</label><input type=\"" +
           std::string(type) + "\" id=\"" + std::string(name) + "\" name=\"" + std::string(name) +
           "\" value=\"" + escapeHtml(value) + "\" " + std::string(extra) + ">";
}

} // namespace

std::string homePage(const Visitor& visitor, const Boards& boards) {
    std::string body = heading("Tundrix Ice-Hockey Cup &ndash; topplistor", "Leaderboards");
    body +=
        "<p>" +
        both("Spela Tundrix Ice-Hockey Cup, registrera din b\xC3\xA4sta po\xC3\xA4ng fr\xC3\xA5n spelet och "
             "t\xC3\xA4vla om priser.",
             "Play Tundrix Ice-Hockey Cup, register your best score from the game and compete for prizes.") +
        "</p>";
    body += "<div class=\"boards\">" + board("Idag", "Today", boards.today, "today") +
            board("Denna vecka", "This week", boards.thisWeek, "week") +
            board("Genom tiderna", "All time", boards.allTime, "alltime") + "</div>";
    body += "<p class=\"legend\">\xE2\x96\xB6 " +
            both("Verifierad: kanalen har spelat om matchen och den n\xC3\xA5r po\xC3\xA4ngen; klicka "
                 "f\xC3\xB6r att se den.",
                 "Verified: the channel played the game again and it reaches the score; click to watch it.") +
            " * " +
            both("Ej verifierad: r\xC3\xA4knas inte i t\xC3\xA4vlingarna.",
                 "Not verified: does not count for the prizes.") +
            "</p>";
    body +=
        "<section class=\"card\"><h2>" + both("T\xC3\xA4vlingar", "Competitions") + "</h2><ul><li>" +
        both("Dagens b\xC3\xA4sta vinner dagens pris.", "The day's best wins the daily prize.") +
        "</li><li>" +
        both("Veckans b\xC3\xA4sta vinner veckans pris.", "The week's best wins the weekly prize.") +
        "</li><li>" +
        both("Bonustävling: värva vänner som blir medlemmar genom din värvningslänk (på sidan Utmana) eller "
             "anger din e-postadress som värvare.",
             "Bonus competition: recruit friends who sign up through your recruiting link (on the Challenge "
             "page) "
             "or give your e-mail address as recruiter.") +
        "</li></ul><h2>" + both("S\xC3\xA5 h\xC3\xA4r g\xC3\xA5r du med", "How to join") + "</h2><ol><li>" +
        both("<a href=\"" + std::string(protocol::SIGNUP_PATH) +
                 "\">Bli medlem</a> med din e-postadress och ett smeknamn.",
             "<a href=\"" + std::string(protocol::SIGNUP_PATH) +
                 "\">Sign up</a> with your e-mail address and a nickname.") +
        "</li><li>" +
        both("Spela, och v\xC3\xA4lj <em>Registrera high-score</em> n\xC3\xA4r spelet \xC3\xA4r slut.",
             "Play, and choose <em>Register high-score</em> when the game is over.") +
        "</li><li>" +
        both("Skriv din e-postadress och ditt l\xC3\xB6senord i spelet. Topplistan visar ditt smeknamn.",
             "Type your e-mail address and password in the game. The leaderboard shows your nickname.") +
        "</li></ol></section>";
    return page(visitor, "Topplistor / Leaderboards", body);
}

std::string signupPage(const Visitor& visitor, const SignupValues& values,
                       const std::vector<std::string>& errors) {
    std::string body = heading("Bli medlem", "Sign up");
    body += errorList(errors);
    body += "<form class=\"panel\" method=\"post\" action=\"" + std::string(protocol::SIGNUP_PATH) + "\">" +
            csrfField(visitor.csrf);
    const std::string passwordRange =
        std::to_string(PASSWORD_MIN_CHARS) + " till " + std::to_string(PASSWORD_MAX_CHARS);
    const std::string passwordRangeEn =
        std::to_string(PASSWORD_MIN_CHARS) + " to " + std::to_string(PASSWORD_MAX_CHARS);
    const std::string passwordLimits = "minlength=\"" + std::to_string(PASSWORD_MIN_CHARS) +
                                       "\" maxlength=\"" + std::to_string(PASSWORD_MAX_CHARS) + "\"";
    body += field(
        "email", "email",
        both("E-postadress (ditt användarnamn i spelet)", "E-mail address (your user name in the game)"),
        values.email,
        "required maxlength=\"" + std::to_string(EMAIL_MAX_CHARS) + "\" autocomplete=\"email\"");
    body += field("text", "nickname", both("Smeknamn på topplistan", "Nickname on the leaderboard"),
                  values.nickname,
                  "required minlength=\"" + std::to_string(NICKNAME_MIN_CHARS) + "\" maxlength=\"" +
                      std::to_string(NICKNAME_MAX_CHARS) + "\" autocomplete=\"nickname\"");
    body += field(
        "password", "password",
        both("Lösenord (" + passwordRange + " tecken)", "Password (" + passwordRangeEn + " characters)"), "",
        "required " + passwordLimits + " autocomplete=\"new-password\"");
    body += field("password", "password2", both("Lösenord igen", "Password again"), "",
                  "required " + passwordLimits + " autocomplete=\"new-password\"");
    if (!values.recruitedBy.empty()) {
        body += "<p class=\"ok\" id=\"recruited-by\">" + both("Värvad av", "Recruited by") + " <strong>" +
                escapeHtml(values.recruitedBy) + "</strong></p>";
    }
    body += field("text", "recruiter",
                  both("Värvad av (värvningskod eller e-postadress, frivilligt)",
                       "Recruited by (recruiting code or e-mail address, optional)"),
                  values.recruiter, "maxlength=\"" + std::to_string(EMAIL_MAX_CHARS) + "\"");
    body += "<button class=\"go\" type=\"submit\">" + both("Bli medlem", "Sign up") + "</button></form>";
    return page(visitor, "Bli medlem / Sign up", body);
}

std::string loginPage(const Visitor& visitor, const std::string& email, const std::string& next,
                      bool failed) {
    std::string body = heading("Logga in", "Log in");
    if (failed) {
        body += errorList({"Fel e-postadress eller l\xC3\xB6senord. / Wrong e-mail address or password."});
    }
    body += "<form class=\"panel\" method=\"post\" action=\"/logga-in/\">" + csrfField(visitor.csrf) +
            "<input type=\"hidden\" name=\"next\" value=\"" + escapeHtml(next) + "\">";
    body += field("email", "email", both("E-postadress", "E-mail address"), email,
                  "required maxlength=\"64\" autocomplete=\"username\"");
    body += field("password", "password", both("L\xC3\xB6senord", "Password"), "",
                  "required maxlength=\"16\" autocomplete=\"current-password\"");
    body += "<button class=\"go\" type=\"submit\">" + both("Logga in", "Log in") + "</button></form>";
    body += "<p><a href=\"" + escapeHtml(protocol::passwordHelpPage(email)) + "\">" +
            both("Gl\xC3\xB6mt l\xC3\xB6senordet?", "Forgot your password?") + "</a> &middot; <a href=\"" +
            std::string(protocol::SIGNUP_PATH) + "\">" +
            both("Inte medlem \xC3\xA4nnu?", "Not a member yet?") + "</a></p>";
    return page(visitor, "Logga in / Log in", body);
}

std::string challengePage(const Visitor& visitor, const ChallengeView& view) {
    std::string body = heading("Utmana dina v\xC3\xA4nner", "Challenge your friends");
    body +=
        "<p>" +
        both("Skicka den h\xC3\xA4r l\xC3\xA4nken till dina v\xC3\xA4nner. N\xC3\xA4r de blir medlemmar "
             "genom den r\xC3\xA4knas de som dina v\xC3\xA4rvningar i bonust\xC3\xA4vlingen.",
             "Send this link to your friends. When they sign up through it, they count as your recruits in "
             "the bonus competition.") +
        "</p><p><a class=\"link\" id=\"recruit-link\" href=\"" + escapeHtml(view.recruitLink) + "\">" +
        escapeHtml(view.recruitLink) + "</a></p>";
    body += "<section class=\"card\"><h2>" +
            both("V\xC3\xA4nner som har g\xC3\xA5tt med", "Friends who joined") + "</h2>";
    if (view.recruits.empty()) {
        body += "<p class=\"empty\">" + both("Ingen \xC3\xA4nnu.", "Nobody yet.") + "</p>";
    } else {
        body += "<table id=\"recruits\"><thead><tr><th>" + both("Smeknamn", "Nickname") + "</th><th>" +
                both("Medlem sedan", "Member since") + "</th></tr></thead><tbody>";
        for (const Member& m : view.recruits)
            body += "<tr><td class=\"nick\">" + escapeHtml(m.nickname) + "</td><td>" + dayOf(m.createdAt) +
                    "</td></tr>";
        body += "</tbody></table>";
    }
    body += "</section>";
    return page(visitor, "Utmana / Challenge", body);
}

std::string passwordHelpPage(const Visitor& visitor, const std::string& mail, const std::string& contact) {
    std::string body = heading("Nytt l\xC3\xB6senord", "A new password");
    if (!mail.empty()) {
        body +=
            "<p>" + both("Anv\xC3\xA4ndarnamn:", "User name:") + " <code>" + escapeHtml(mail) + "</code></p>";
    }
    body += "<p>" +
            both("Den h\xC3\xA4r kanalen skickar inga e-postmeddelanden. Kontakta den som driver kanalen, "
                 "s\xC3\xA5 "
                 "s\xC3\xA4tter hen ett nytt l\xC3\xB6senord \xC3\xA5t dig.",
                 "This channel sends no e-mail. Ask the person who runs the channel, and they will set a new "
                 "password for you.") +
            "</p>";
    if (!contact.empty()) {
        body += "<p class=\"ok\">" + both("Kontakt:", "Contact:") + " <strong id=\"contact\">" +
                escapeHtml(contact) + "</strong></p>";
    }
    body +=
        "<p>" +
        both("Kommer du ih\xC3\xA5g l\xC3\xB6senordet? Kontrollera att e-postadressen \xC3\xA4r r\xC3\xA4tt "
             "stavad i spelet, eller <a href=\"/logga-in/\">logga in</a> h\xC3\xA4r.",
             "Remember it after all? Check the e-mail address in the game, or <a href=\"/logga-in/\">log "
             "in</a> here.") +
        "</p>";
    return page(visitor, "Nytt l\xC3\xB6senord / New password", body);
}

std::string libraryHelpPage(const Visitor& visitor) {
    std::string body = heading("Spelet kan inte skicka po\xC3\xA4ng", "The game cannot post scores");
    body +=
        "<p>" +
        both("Tundrix Ice-Hockey Cup skickar din po\xC3\xA4ng med biblioteket <strong>libcurl</strong>. "
             "Spelet fungerar utan det, men kan d\xC3\xA5 inte registrera po\xC3\xA4ng.",
             "Tundrix Ice-Hockey Cup posts your score with the <strong>libcurl</strong> library. The game "
             "runs without it, but cannot register scores then.") +
        "</p><h2>" + both("S\xC3\xA5 installerar du det", "How to install it") + "</h2>" +
        "<p>Debian, Ubuntu:</p><p><code>sudo apt install libcurl4</code></p>"
        "<p>Fedora:</p><p><code>sudo dnf install libcurl</code></p>"
        "<p>Arch Linux:</p><p><code>sudo pacman -S curl</code></p><p>" +
        both("Starta sedan spelet igen och registrera din po\xC3\xA4ng.",
             "Then start the game again and register your score.") +
        "</p>";
    return page(visitor, "libcurl", body);
}

std::string versionPage(const Visitor& visitor, const std::string& asked,
                        const std::optional<Release>& newest, const std::string& downloadUrl) {
    std::string body = heading("Ny version av spelet", "A new version of the game");
    if (newest) {
        const std::string number = std::to_string(newest->version);
        body += "<p>" +
                both("Den senaste versionen av Tundrix Ice-Hockey Cup \xC3\xA4r <strong id=\"newest\">" +
                         number + "</strong>.",
                     "The newest version of Tundrix Ice-Hockey Cup is " + number + ".") +
                "</p>";
    } else {
        body += "<p>" +
                both("Kanalen k\xC3\xA4nner inte till n\xC3\xA5gon version \xC3\xA4nnu.",
                     "The channel knows no version yet.") +
                "</p>";
    }
    if (!asked.empty() && (!newest || asked != std::to_string(newest->version))) {
        body += "<p class=\"empty\">" +
                both("Spelet fr\xC3\xA5gade efter version", "The game asked for version") + " " +
                escapeHtml(asked) + ".</p>";
    }
    if (!downloadUrl.empty()) {
        body += "<p><a class=\"link\" href=\"" + escapeHtml(downloadUrl) + "\">" +
                both("H\xC3\xA4mta den h\xC3\xA4r", "Get it here") + "</a></p>";
    } else {
        body += "<p>" +
                both("Fr\xC3\xA5ga den som driver kanalen var du h\xC3\xA4mtar den.",
                     "Ask the person who runs the channel where to get it.") +
                "</p>";
    }
    body += "<p>" +
            both("Po\xC3\xA4ng fr\xC3\xA5n \xC3\xA4ldre versioner registreras \xC3\xA4nd\xC3\xA5.",
                 "Scores from older versions are still registered.") +
            "</p>";
    return page(visitor, "Ny version / New version", body);
}

std::string messagePage(const Visitor& visitor, const std::string& title, const std::string& text) {
    return page(visitor, "Lumora", "<h1>" + title + "</h1><p>" + text + "</p>");
}

} // namespace tundrix::channel
