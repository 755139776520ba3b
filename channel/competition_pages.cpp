// The HTML of the competitions: their cards on the home page, their rules and boards, their winners.
#include "channel/competition_pages.h"

#include "protocol/paths.h"

namespace tundrix::channel {
namespace {

// The operator's own text: escaped, its blank lines kept as paragraphs.
std::string paragraphs(const std::string& text) {
    std::string html = "<p>";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\n') {
            html += "</p><p>";
            ++i;
        } else {
            html += text[i] == '\n' ? std::string("<br>") : escapeHtml(std::string_view(&text[i], 1));
        }
    }
    return html + "</p>";
}

// Swedish and English texts the operator gave, each in its language.
std::string operatorText(const std::string& sv, const std::string& en) {
    if (sv.empty() && en.empty()) return "";
    return "<div lang=\"sv\">" + paragraphs(sv) + "</div>" +
           (en.empty() || en == sv ? "" : "<div lang=\"en\" class=\"en\">" + paragraphs(en) + "</div>");
}

std::string kindText(const Competition& c) {
    switch (c.kind) {
    case CompetitionKind::Daily:
        return both("Dagstävling", "Daily competition");
    case CompetitionKind::Weekly:
        return both("Veckotävling", "Weekly competition");
    case CompetitionKind::Period:
        return both("Tävling", "Competition");
    case CompetitionKind::Recruiting:
        return both("Bonustävling: värva", "Bonus competition: recruiting");
    }
    return "";
}

std::string dates(const Competition& c) {
    return escapeHtml(c.firstDay) + " &ndash; " + escapeHtml(c.lastDay);
}

std::string name(const Competition& c) {
    return "<span lang=\"sv\">" + escapeHtml(c.nameSv) + "</span>" +
           (c.nameEn == c.nameSv ? ""
                                 : " <span class=\"en\" lang=\"en\">" + escapeHtml(c.nameEn) + "</span>");
}

std::string roundHeading(const CompetitionView& v) {
    switch (v.competition.kind) {
    case CompetitionKind::Daily:
        return "Dagens ställning " + v.round;
    case CompetitionKind::Weekly:
        return "Veckans ställning " + v.round;
    default:
        return "Ställning";
    }
}

std::string roundHeadingEn(const CompetitionView& v) {
    switch (v.competition.kind) {
    case CompetitionKind::Daily:
        return "Standings of " + v.round;
    case CompetitionKind::Weekly:
        return "Standings of week " + v.round;
    default:
        return "Standings";
    }
}

} // namespace

std::string competitionPath(int64_t id) {
    return std::string(COMPETITION_PREFIX) + std::to_string(id) + "/";
}

std::string winnersPath(int64_t id) {
    return competitionPath(id) + "vinnare/";
}

std::string runningCompetitions(const std::vector<CompetitionView>& running) {
    std::string html = "<section class=\"competitions\" id=\"competitions\"><h2>" +
                       both("Pågående tävlingar", "Running competitions") + "</h2>";
    if (running.empty())
        return html + "<p class=\"empty\">" +
               both("Ingen tävling pågår just nu.", "No competition is running just now.") + "</p></section>";
    html += "<div class=\"competition-list\">";
    for (const CompetitionView& v : running) {
        const Competition& c = v.competition;
        html += "<article class=\"card competition\" id=\"competition-" + std::to_string(c.id) + "\"><h3>" +
                name(c) + "</h3><p class=\"meta\">" + kindText(c) + ", " + dates(c) + "</p>";
        if (!c.prizesSv.empty() || !c.prizesEn.empty())
            html += "<p class=\"prizes\"><strong>" + both("Priser:", "Prizes:") +
                    "</strong> <span lang=\"sv\">" + escapeHtml(c.prizesSv) + "</span>" +
                    (c.prizesEn.empty() || c.prizesEn == c.prizesSv
                         ? ""
                         : " <span class=\"en\" lang=\"en\">" + escapeHtml(c.prizesEn) + "</span>") +
                    "</p>";
        html += boardSection(roundHeading(v), roundHeadingEn(v), v.board, "board-" + std::to_string(c.id),
                             c.kind == CompetitionKind::Recruiting);
        html += "<p><a href=\"" + competitionPath(c.id) + "\">" +
                both("Regler och hela ställningen", "Rules and full standings") + "</a> &middot; <a href=\"" +
                winnersPath(c.id) + "\">" + both("Vinnare", "Winners") + "</a></p></article>";
    }
    return html + "</div></section>";
}

std::string commonRules(const Competition& c) {
    const std::string n = std::to_string(c.winners);
    const std::string prizesSv = n + (c.winners == 1 ? " pris" : " priser");
    const std::string prizesEn = n + (c.winners == 1 ? " prize is" : " prizes are");
    const std::string among = std::to_string(c.drawAmong);
    const bool lot = c.drawAmong > 0;
    std::string sv, en;
    const char* roundSv = c.kind == CompetitionKind::Daily    ? "Varje dag"
                          : c.kind == CompetitionKind::Weekly ? "Varje vecka"
                                                              : "När tävlingen är slut";
    const char* roundEn = c.kind == CompetitionKind::Daily    ? "Every day"
                          : c.kind == CompetitionKind::Weekly ? "Every week"
                                                              : "When the competition is over";
    if (c.kind == CompetitionKind::Recruiting) {
        sv = "Värva dina vänner! En vän som blir medlem under tävlingen ska ange "
             "din "
             "e-postadress som värvare (eller bli medlem genom din värvningslänk "
             "på sidan "
             "Utmana), så räknas värvningen till dig. ";
        en =
            "Recruit your friends! A friend who signs up during the competition gives your e-mail address as "
            "recruiter (or signs up through your recruiting link on the Challenge page), and the recruit "
            "counts "
            "for you. ";
        sv += lot ? std::string(roundSv) + " lottas " + prizesSv + " bland de " + among + " som värvat flest."
                  : std::string(roundSv) + " vinner de " + n + " som värvat flest.";
        en += lot ? std::string(roundEn) + ", " + prizesEn + " drawn among the " + among +
                        " who recruited the most."
                  : std::string(roundEn) + ", the " + n + " who recruited the most win.";
    } else {
        sv = lot ? std::string(roundSv) + " lottas " + prizesSv + " ut bland de " + among +
                       " bästa resultaten."
                 : std::string(roundSv) + " vinner de " + n + " bästa resultaten.";
        en = lot ? std::string(roundEn) + ", " + prizesEn + " drawn among the " + among + " best results."
                 : std::string(roundEn) + ", the " + n + " best results win.";
        sv += " Lika resultat på sista platsen är med i lottningen. Bara resultat vars match "
              "kanalen "
              "har spelat om och som den når räknas.";
        en += " Equal results in the last place share the draw. Only results whose game the channel played "
              "again "
              "and that it reaches count.";
    }
    const std::string signup = std::string(protocol::SIGNUP_PATH);
    std::string html = "<ol class=\"rules\"><li>" +
                       both("För att vara med i tävlingen måste du vara medlem. Medlemskapet "
                            "är gratis: <a href=\"" +
                                signup + "\">bli medlem här</a>.",
                            "To take part you must be a member. Membership is free: <a href=\"" + signup +
                                "\">sign up here</a>.") +
                       "</li>";
    if (c.kind != CompetitionKind::Recruiting)
        html +=
            "<li>" +
            both("Din poäng registreras via Internet. Du behöver inte vara uppkopplad medan du "
                 "spelar: välj <em>Registrera high-score</em> i menyn <em>Koppla upp</em> när "
                 "spelet är slut.",
                 "Your score is registered over the Internet. You need not be on line while you play: choose "
                 "<em>Register high-score</em> in the <em>Connect</em> menu when the game is over.") +
            "</li>";
    html += "<li>" + both(sv, en) + "</li><li>" +
            both("Vinnarna presenteras på <a href=\"" + winnersPath(c.id) + "\">vinnarsidan</a>.",
                 "The winners are shown on the <a href=\"" + winnersPath(c.id) + "\">winners page</a>.") +
            "</li><li>" +
            both("Endast personer bosatta i Sverige som har lämnat korrekta uppgifter kan vinna. "
                 "Eventuell vinstskatt betalas av vinnaren.",
                 "Only people living in Sweden who gave correct details can win. Any tax on a prize is paid "
                 "by the winner.") +
            "</li></ol>";
    return html;
}

std::string competitionPage(const Visitor& visitor, const CompetitionView& v, const std::string& own) {
    const Competition& c = v.competition;
    std::string body = "<h1>" + name(c) + "</h1><p class=\"meta\">" + kindText(c) + ", " + dates(c) + "</p>";
    if (!c.prizesSv.empty() || !c.prizesEn.empty())
        body += "<section><h2>" + both("Priser", "Prizes") + "</h2>" + operatorText(c.prizesSv, c.prizesEn) +
                "</section>";
    body += "<section><h2>" + both("Regler", "Rules") + "</h2>" + commonRules(c) +
            operatorText(c.rulesSv, c.rulesEn) + "</section>";
    body += boardSection(roundHeading(v), roundHeadingEn(v), v.board, "board",
                         c.kind == CompetitionKind::Recruiting, own);
    body += "<p><a href=\"" + winnersPath(c.id) + "\">" + both("Vinnare", "Winners") +
            "</a> &middot; <a href=\"" + std::string(protocol::HOME_PATH) + "\">" +
            both("Till topplistorna", "To the leaderboards") + "</a></p>";
    return page(visitor, c.nameSv + " / " + c.nameEn, body);
}

std::string winnersPage(const Visitor& visitor, const Competition& c, const std::vector<Draw>& draws) {
    std::string body = "<h1>" + name(c) + "</h1><h2>" + both("Vinnare", "Winners") + "</h2>";
    if (draws.empty())
        body += "<p class=\"empty\">" +
                both("Inga vinnare är utsedda ännu.", "No winners have been drawn yet.") + "</p>";
    const bool recruits = c.kind == CompetitionKind::Recruiting;
    for (const Draw& d : draws) {
        body += "<section><h2>" +
                (c.kind == CompetitionKind::Daily    ? both("Dag", "Day") + " "
                 : c.kind == CompetitionKind::Weekly ? both("Vecka", "Week") + " "
                                                     : std::string()) +
                (c.kind == CompetitionKind::Daily || c.kind == CompetitionKind::Weekly ? escapeHtml(d.period)
                                                                                       : dates(c)) +
                "</h2><ol class=\"winners\">";
        for (const DrawWinner& w : d.winners)
            body += "<li><span class=\"nick\">" + escapeHtml(w.nickname) + "</span> (" +
                    std::to_string(w.result) + " " +
                    (recruits ? both("värvade", "recruits") : both("poäng", "points")) + ")</li>";
        body += "</ol><p class=\"legend\">" +
                both(c.drawAmong > 0 ? "Lottat med fröet" : "Utsedda; frö",
                     c.drawAmong > 0 ? "Drawn with the seed" : "Chosen; seed") +
                " <code>" + escapeHtml(d.seed) + "</code></p></section>";
    }
    body += "<p><a href=\"" + competitionPath(c.id) + "\">" +
            both("Regler och ställning", "Rules and standings") + "</a></p>";
    return page(visitor, "Vinnare / Winners: " + c.nameSv, body);
}

} // namespace tundrix::channel
