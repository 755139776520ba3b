// The HTML of the password pages: the request form or the contact line, the mail's promise, the new
// password's form and the page of a link that no longer works.
#include "channel/reset_pages.h"

#include "channel/password_resets.h"
#include "channel/site_paths.h"
#include "protocol/paths.h"

namespace tundrix::channel {
namespace {

std::string contactLine(const std::string& contact) {
    if (contact.empty()) return "";
    return "<p class=\"ok\">" + both("Kontakt:", "Contact:") + " <strong id=\"contact\">" +
           escapeHtml(contact) + "</strong></p>";
}

} // namespace

std::string passwordHelpPage(const Visitor& visitor, const PasswordHelp& help) {
    std::string body = heading("Nytt lösenord", "A new password");
    if (!help.notice.empty()) body += "<p class=\"ok\" role=\"status\">" + escapeHtml(help.notice) + "</p>";
    if (help.mailing) {
        body += "<p>" +
                both("Skriv e-postadressen du är medlem med, så mejlar vi en länk där du väljer ett nytt "
                     "lösenord. Länken fungerar en gång och i en timme.",
                     "Type the e-mail address you are a member with, and we mail you a link where you choose "
                     "a new password. The link works once, for an hour.") +
                "</p><form class=\"panel\" method=\"post\" action=\"" + protocol::PASSWORD_HELP_PATH + "\">" +
                csrfField(visitor.csrf) +
                labelledInput({}, "email", "email", both("E-postadress", "E-mail address"), help.mail,
                              "required maxlength=\"64\" autocomplete=\"email\"") +
                "<button class=\"go\" type=\"submit\">" + both("Mejla länken", "Mail the link") +
                "</button></form>";
        if (!help.contact.empty())
            body += "<p>" +
                    both("Kommer inget mejl? Kontakta den som driver kanalen.",
                         "No mail comes? Ask the person who runs the channel.") +
                    "</p>" + contactLine(help.contact);
    } else {
        if (!help.mail.empty())
            body += "<p>" + both("Användarnamn:", "User name:") + " <code>" + escapeHtml(help.mail) +
                    "</code></p>";
        body += "<p>" +
                both("Den här kanalen skickar inga e-postmeddelanden. Kontakta den som driver kanalen, så "
                     "sätter hen ett nytt lösenord åt dig.",
                     "This channel sends no e-mail. Ask the person who runs the channel, and they will set a "
                     "new password for you.") +
                "</p>" + contactLine(help.contact);
    }
    body += "<p>" +
            both("Kommer du ihåg lösenordet? Kontrollera att e-postadressen är rätt stavad i spelet, eller "
                 "<a href=\"/logga-in/\">logga in</a> här.",
                 "Remember it after all? Check the e-mail address in the game, or <a href=\"/logga-in/\">log "
                 "in</a> here.") +
            "</p>";
    return page(visitor, "Nytt lösenord / New password", body);
}

std::string resetSentPage(const Visitor& visitor, const std::string& mail) {
    std::string body = heading("Titta i din e-post", "Check your mail");
    body +=
        "<p class=\"ok\" role=\"status\">" +
        both("Om <strong>" + escapeHtml(mail) +
                 "</strong> är medlem här är ett mejl på väg med en länk till ett nytt lösenord. Länken "
                 "fungerar en gång och i en timme.",
             "If <strong>" + escapeHtml(mail) +
                 "</strong> is a member here, a mail is on its way with a link to a new password. The "
                 "link works once, for an hour.") +
        "</p><p>" +
        both("Inget mejl inom några minuter? Titta bland skräpposten, eller <a href=\"" +
                 std::string(protocol::PASSWORD_HELP_PATH) + "\">försök igen</a> med adressen rättad.",
             "No mail within a few minutes? Look in the spam folder, or <a href=\"" +
                 std::string(protocol::PASSWORD_HELP_PATH) + "\">try again</a> with the address mended.") +
        "</p>";
    return page(visitor, "Titta i din e-post / Check your mail", body);
}

std::string newPasswordPage(const Visitor& visitor, const std::string& token,
                            const std::vector<FieldError>& errors, const std::string& notice) {
    std::string body = heading("Välj ett nytt lösenord", "Choose a new password");
    if (!notice.empty()) body += "<p class=\"ok\" role=\"status\">" + escapeHtml(notice) + "</p>";
    body += formErrors(errors) + "<form class=\"panel\" method=\"post\" action=\"" + NEW_PASSWORD_PATH +
            "\">" + csrfField(visitor.csrf) + "<input type=\"hidden\" name=\"" + RESET_TOKEN + "\" value=\"" +
            escapeHtml(token) + "\">" +
            labelledInput(errors, "password", "password",
                          both("Nytt lösenord (6 till 16 tecken)", "New password (6 to 16 characters)"), "",
                          "required minlength=\"6\" maxlength=\"16\" autocomplete=\"new-password\"") +
            labelledInput(errors, "password", "password2", both("Samma igen", "The same again"), "",
                          "required minlength=\"6\" maxlength=\"16\" autocomplete=\"new-password\"") +
            "<button class=\"go\" type=\"submit\">" + both("Spara lösenordet", "Save the password") +
            "</button></form><p>" +
            both("Du loggas ut överallt annars.", "You are logged out everywhere else.") + "</p>";
    return page(visitor, "Nytt lösenord / New password", body);
}

std::string deadLinkPage(const Visitor& visitor) {
    std::string body = heading("Länken fungerar inte längre", "The link no longer works");
    body += "<p>" +
            both("Den har redan använts, eller så har timmen gått. <a href=\"" +
                     std::string(protocol::PASSWORD_HELP_PATH) + "\">Be om en ny länk</a>.",
                 "It was used already, or its hour is over. <a href=\"" +
                     std::string(protocol::PASSWORD_HELP_PATH) + "\">Ask for a new link</a>.") +
            "</p>";
    return page(visitor, "Länken fungerar inte längre / The link no longer works", body);
}

} // namespace tundrix::channel
