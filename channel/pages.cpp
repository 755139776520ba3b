// The HTML of each page: leaderboards, sign-up, log-in, challenge, library and version.
#include "channel/pages.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/competition_pages.h"
#include "channel/nickname.h"
#include "channel/site_paths.h"
#include "protocol/paths.h"

namespace tundrix::channel {

std::string boardSection(std::string_view swedish, std::string_view english, const std::vector<Ranked>& rows,
                         std::string_view id, bool recruits, const std::string& own) {
    std::string html = "<section id=\"" + std::string(id) + "\"><h2>" + both(swedish, english) + "</h2>";
    if (rows.empty()) {
        return html + "<p class=\"empty\">" +
               (recruits ? both("Inga värvningar ännu.", "No recruits yet.")
                         : both("Inga poäng ännu.", "No scores yet.")) +
               "</p></section>";
    }
    html += "<table><thead><tr><th class=\"rank\">#</th><th>" + both("Namn", "Name") +
            "</th><th class=\"num\">" + (recruits ? both("Värvade", "Recruits") : both("Poäng", "Score")) +
            "</th></tr></thead><tbody>";
    // Verified scores come first: the channel played each one's game again and it reached the score; each
    // links its run. The others are marked. Equal results share a rank ("=" says so). A slice of a board
    // comes numbered already.
    std::vector<Ranked> numbered;
    if (rows.front().rank == 0) {
        numbered = rows;
        rankTies(numbered);
    }
    bool tied = false;
    for (const Ranked& r : numbered.empty() ? rows : numbered) {
        tied = tied || r.tied;
        const std::string mark =
            recruits ? ""
            : r.verified
                ? " <a class=\"run\" href=\"/run/" + std::to_string(r.scoreId) +
                      ".gif\" title=\"Verifierad: se matchen / Verified: watch the run\" aria-label=\"" +
                      "Verifierad: se matchen / Verified: watch the run\">▶</a>"
                : "<span class=\"unverified\" title=\"Ej verifierad / Not verified\">*</span>";
        std::string classes = r.verified || recruits ? "" : "unverified";
        const bool mine = !own.empty() && r.nickname == own;
        if (mine) classes += classes.empty() ? "own" : " own";
        html += "<tr" + (classes.empty() ? std::string() : " class=\"" + classes + "\"") +
                (mine ? " aria-current=\"true\"" : "") + "><td class=\"rank\">" + (r.tied ? "=" : "") +
                std::to_string(r.rank) + "</td><td class=\"nick\">" + escapeHtml(r.nickname) +
                "</td><td class=\"num\">" + std::to_string(r.score) + mark +
                (recruits || r.at == 0 ? ""
                                       : "<time class=\"when\" datetime=\"" + localTime(r.at) + "\">" +
                                             dayOf(r.at) + "</time>") +
                "</td></tr>";
    }
    html += "</tbody></table>";
    if (tied)
        html += "<p class=\"legend\">" +
                both("=: lika resultat delar plats.", "=: equal results share a place.") + "</p>";
    return html + "</section>";
}

std::string homePage(const Visitor& visitor, const HomeView& home) {
    const Boards& boards = home.boards;
    std::string body = heading("Tundrix Ice-Hockey Cup &ndash; topplistor", "Leaderboards");
    for (const std::string& line : home.announcements)
        body += "<p class=\"announcement\" role=\"status\">" + escapeHtml(line) + "</p>";
    body +=
        "<p>" +
        both("Spela Tundrix Ice-Hockey Cup, registrera din bästa poäng från spelet och "
             "tävla om priser.",
             "Play Tundrix Ice-Hockey Cup, register your best score from the game and compete for prizes.") +
        "</p>";
    if (!home.downloadUrl.empty())
        body += "<p><a class=\"button download\" href=\"" + escapeHtml(home.downloadUrl) + "\">" +
                both("Ladda ner spelet", "Download the game") + "</a></p>";
    body += runningCompetitions(home.competitions);
    const auto whole = [](const char* word) {
        return "<p class=\"more\"><a href=\"" + std::string(BOARD_PREFIX) + word + "/\">" +
               both("Hela listan", "The whole board") + "</a></p>";
    };
    body += "<div class=\"boards\"><div>" + boardSection("Idag", "Today", boards.today, "today") +
            whole("idag") + "</div><div>" +
            boardSection("Denna vecka", "This week", boards.thisWeek, "week") + whole("vecka") +
            "</div><div>" + boardSection("Genom tiderna", "All time", boards.allTime, "alltime") +
            whole("alltid") + "</div></div>";
    body +=
        "<p class=\"legend\">▶ " +
        both("Verifierad: kanalen har spelat om matchen och den når poängen; klicka "
             "för att se den.",
             "Verified: the channel played the game again and it reaches the score; click to watch it.") +
        " * " +
        both("Ej verifierad: räknas inte i tävlingarna.", "Not verified: does not count for the prizes.") +
        "</p>";
    body += "<section class=\"card\"><h2>" + both("Så här går du med", "How to join") + "</h2><ol><li>" +
            both("<a href=\"" + std::string(protocol::SIGNUP_PATH) +
                     "\">Bli medlem</a> med din e-postadress och ett smeknamn.",
                 "<a href=\"" + std::string(protocol::SIGNUP_PATH) +
                     "\">Sign up</a> with your e-mail address and a nickname.") +
            "</li><li>" +
            both("Spela, och välj <em>Registrera high-score</em> när spelet är slut.",
                 "Play, and choose <em>Register high-score</em> when the game is over.") +
            "</li><li>" +
            both("Skriv din e-postadress och ditt lösenord i spelet. Topplistan visar ditt smeknamn.",
                 "Type your e-mail address and password in the game. The leaderboard shows your nickname.") +
            "</li></ol></section>";
    return page(visitor, "Topplistor / Leaderboards", body);
}

std::string boardPage(const Visitor& visitor, const BoardPage& b) {
    std::string body = heading(b.swedish, b.english);
    body += "<div class=\"boards\">" +
            boardSection("Sida " + std::to_string(b.page), "Page " + std::to_string(b.page), b.rows, "board",
                         false, visitor.nickname) +
            "</div><p class=\"pages\">";
    const std::string path = std::string(BOARD_PREFIX) + b.word + "/?" + BOARD_PAGE + "=";
    if (b.page > 1)
        body += "<a rel=\"prev\" href=\"" + path + std::to_string(b.page - 1) + "\">&larr; " +
                both("Föregående", "Previous") + "</a> ";
    if (b.more)
        body += "<a rel=\"next\" href=\"" + path + std::to_string(b.page + 1) + "\">" +
                both("Nästa", "Next") + " &rarr;</a>";
    body += "</p><p><a href=\"" + std::string(protocol::HOME_PATH) + "\">" +
            both("Till topplistorna", "To the leaderboards") + "</a></p>";
    return page(visitor, b.swedish + " / " + b.english, body);
}

std::string signupPage(const Visitor& visitor, const SignupValues& values,
                       const std::vector<FieldError>& errors) {
    std::string body = heading("Bli medlem", "Sign up");
    if (!values.notice.empty())
        body += "<p class=\"ok\" role=\"status\">" + escapeHtml(values.notice) + "</p>";
    body += formErrors(errors);
    body += "<form class=\"panel\" method=\"post\" action=\"" + std::string(protocol::SIGNUP_PATH) + "\">" +
            csrfField(visitor.csrf);
    const std::string passwordRange =
        std::to_string(PASSWORD_MIN_CHARS) + " till " + std::to_string(PASSWORD_MAX_CHARS);
    const std::string passwordRangeEn =
        std::to_string(PASSWORD_MIN_CHARS) + " to " + std::to_string(PASSWORD_MAX_CHARS);
    const std::string passwordLimits = "minlength=\"" + std::to_string(PASSWORD_MIN_CHARS) +
                                       "\" maxlength=\"" + std::to_string(PASSWORD_MAX_CHARS) + "\"";
    body += labelledInput(
        errors, "email", "email",
        both("E-postadress (ditt användarnamn i spelet)", "E-mail address (your user name in the game)"),
        values.email,
        "required maxlength=\"" + std::to_string(EMAIL_MAX_CHARS) + "\" autocomplete=\"email\"");
    body += labelledInput(errors, "text", "nickname",
                          both("Smeknamn på topplistan", "Nickname on the leaderboard"), values.nickname,
                          "required minlength=\"" + std::to_string(NICKNAME_MIN_CHARS) + "\" maxlength=\"" +
                              std::to_string(NICKNAME_MAX_CHARS) + "\" autocomplete=\"nickname\"");
    body += labelledInput(
        errors, "password", "password",
        both("Lösenord (" + passwordRange + " tecken)", "Password (" + passwordRangeEn + " characters)"), "",
        "required " + passwordLimits + " autocomplete=\"new-password\"");
    body += labelledInput(errors, "password", "password2", both("Lösenord igen", "Password again"), "",
                          "required " + passwordLimits + " autocomplete=\"new-password\"");
    if (!values.recruitedBy.empty()) {
        body += "<p class=\"ok\" id=\"recruited-by\">" + both("Värvad av", "Recruited by") + " <strong>" +
                escapeHtml(values.recruitedBy) + "</strong></p>";
    }
    body += labelledInput(errors, "text", "recruiter",
                          both("Värvad av (värvningskod eller e-postadress, frivilligt)",
                               "Recruited by (recruiting code or e-mail address, optional)"),
                          values.recruiter, "maxlength=\"" + std::to_string(EMAIL_MAX_CHARS) + "\"");
    body += "<button class=\"go\" type=\"submit\">" + both("Bli medlem", "Sign up") + "</button></form>";
    return page(visitor, "Bli medlem / Sign up", body);
}

std::string loginPage(const Visitor& visitor, const std::string& email, const std::string& next,
                      const FieldError& problem, const std::string& notice) {
    std::string body = heading("Logga in", "Log in");
    if (!notice.empty()) body += "<p class=\"ok\" role=\"status\">" + escapeHtml(notice) + "</p>";
    std::vector<FieldError> errors;
    if (!problem.text.empty()) errors.push_back(problem);
    body += "<form class=\"panel\" method=\"post\" action=\"/logga-in/\">" + csrfField(visitor.csrf) +
            "<input type=\"hidden\" name=\"next\" value=\"" + escapeHtml(next) + "\">";
    body += labelledInput(errors, "email", "email", both("E-postadress", "E-mail address"), email,
                          "required maxlength=\"64\" autocomplete=\"username\"");
    body += labelledInput(errors, "password", "password", both("Lösenord", "Password"), "",
                          "required maxlength=\"16\" autocomplete=\"current-password\"");
    body += "<button class=\"go\" type=\"submit\">" + both("Logga in", "Log in") + "</button></form>";
    body += "<p><a href=\"" + escapeHtml(protocol::passwordHelpPage(email)) + "\">" +
            both("Glömt lösenordet?", "Forgot your password?") + "</a> &middot; <a href=\"" +
            std::string(protocol::SIGNUP_PATH) + "\">" + both("Inte medlem ännu?", "Not a member yet?") +
            "</a></p>";
    return page(visitor, "Logga in / Log in", body);
}

std::string welcomePage(const Visitor& visitor, const std::string& email, const std::string& downloadUrl) {
    std::string body = heading("Välkommen, " + escapeHtml(visitor.nickname) + "!", "Welcome!");
    body += "<p>" +
            both("Du är medlem nu. Så här kommer du med på topplistorna:",
                 "You are a member now. This is how you get on the leaderboards:") +
            "</p><ol class=\"steps\"><li>" +
            (downloadUrl.empty()
                 ? both("Skaffa spelet Tundrix Ice-Hockey Cup.", "Get the game Tundrix Ice-Hockey Cup.")
                 : both("<a class=\"button download\" href=\"" + escapeHtml(downloadUrl) +
                            "\">Ladda ner spelet</a>",
                        "<a href=\"" + escapeHtml(downloadUrl) + "\">Download the game</a>")) +
            "</li><li>" + both("Spela en match.", "Play a game.") + "</li><li>" +
            both("Välj <em>Registrera high-score</em> i menyn <em>Koppla upp</em> när spelet är slut.",
                 "Choose <em>Register high-score</em> in the <em>Connect</em> menu when the game is over.") +
            "</li><li>" +
            both("Skriv din e-postadress <strong>" + escapeHtml(email) +
                     "</strong> och ditt lösenord i spelet. Topplistan visar ditt smeknamn.",
                 "Type your e-mail address <strong>" + escapeHtml(email) +
                     "</strong> and your password in the game. The leaderboard shows your nickname.") +
            "</li></ol><p><a href=\"" + std::string(MEMBER_PATH) + "\">" + both("Mina sidor", "My page") +
            "</a> &middot; <a href=\"" + std::string(protocol::CHALLENGE_PATH) + "\">" +
            both("Utmana dina vänner", "Challenge your friends") + "</a> &middot; <a href=\"" +
            std::string(protocol::HOME_PATH) + "\">" + both("Topplistorna", "The leaderboards") + "</a></p>";
    return page(visitor, "Välkommen / Welcome", body);
}

std::string challengePage(const Visitor& visitor, const ChallengeView& view) {
    std::string body = heading("Utmana dina vänner", "Challenge your friends");
    body +=
        "<p>" +
        both("Skicka den här länken till dina vänner. När de blir medlemmar "
             "genom den räknas de som dina värvningar i bonustävlingen.",
             "Send this link to your friends. When they sign up through it, they count as your recruits in "
             "the bonus competition.") +
        "</p><p><a class=\"link\" id=\"recruit-link\" href=\"" + escapeHtml(view.recruitLink) + "\">" +
        escapeHtml(view.recruitLink) + "</a></p>";
    body += "<section class=\"card\"><h2>" + both("Vänner som har gått med", "Friends who joined") + "</h2>";
    if (view.recruits.empty()) {
        body += "<p class=\"empty\">" + both("Ingen ännu.", "Nobody yet.") + "</p>";
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

std::string libraryHelpPage(const Visitor& visitor) {
    std::string body = heading("Spelet kan inte skicka poäng", "The game cannot post scores");
    body +=
        "<p>" +
        both("Tundrix Ice-Hockey Cup skickar din poäng med biblioteket <strong>libcurl</strong>. "
             "Spelet fungerar utan det, men kan då inte registrera poäng.",
             "Tundrix Ice-Hockey Cup posts your score with the <strong>libcurl</strong> library. The game "
             "runs without it, but cannot register scores then.") +
        "</p><h2>" + both("Så installerar du det", "How to install it") + "</h2>" +
        "<p>Debian, Ubuntu:</p><p><code>sudo apt install libcurl4</code></p>"
        "<p>Fedora:</p><p><code>sudo dnf install libcurl</code></p>"
        "<p>Arch Linux:</p><p><code>sudo pacman -S curl</code></p><p>" +
        both("Starta sedan spelet igen och registrera din poäng.",
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
                both("Den senaste versionen av Tundrix Ice-Hockey Cup är <strong id=\"newest\">" + number +
                         "</strong>.",
                     "The newest version of Tundrix Ice-Hockey Cup is " + number + ".") +
                "</p>";
    } else {
        body += "<p>" +
                both("Kanalen känner inte till någon version ännu.", "The channel knows no version yet.") +
                "</p>";
    }
    if (!asked.empty() && (!newest || asked != std::to_string(newest->version))) {
        body += "<p class=\"empty\">" + both("Spelet frågade efter version", "The game asked for version") +
                " " + escapeHtml(asked) + ".</p>";
    }
    if (!downloadUrl.empty()) {
        body += "<p><a class=\"link\" href=\"" + escapeHtml(downloadUrl) + "\">" +
                both("Hämta den här", "Get it here") + "</a></p>";
    } else {
        body += "<p>" +
                both("Fråga den som driver kanalen var du hämtar den.",
                     "Ask the person who runs the channel where to get it.") +
                "</p>";
    }
    body += "<p>" +
            both("Poäng från äldre versioner registreras ändå.",
                 "Scores from older versions are still registered.") +
            "</p>";
    return page(visitor, "Ny version / New version", body);
}

std::string messagePage(const Visitor& visitor, const std::string& title, const std::string& text) {
    // The window's title says what the heading says: its text without the tags, the languages apart.
    std::string plain;
    bool inTag = false;
    for (size_t i = 0; i < title.size(); ++i) {
        if (title.compare(i, 13, "</span> <span") == 0) plain += " /";
        if (title[i] == '<') inTag = true;
        if (!inTag) plain += title[i];
        if (title[i] == '>') inTag = false;
    }
    return page(visitor, plain, "<h1>" + title + "</h1><p>" + text + "</p>");
}

} // namespace tundrix::channel
