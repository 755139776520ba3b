// The pages of a forgotten password: asking for a link (or whom to ask, when the channel sends no mail),
// the answer that a mail may be on its way, and the form the link opens.
#pragma once
#include "channel/html.h"

#include <string>
#include <vector>

namespace tundrix::channel {

struct PasswordHelp {
    std::string mail;     // the address the game or the visitor typed (plain text)
    std::string contact;  // how the channel's operator is reached (may be empty)
    bool mailing = false; // the channel mails reset links
    std::string notice;   // plain text above the form (an expired form)
};
std::string passwordHelpPage(const Visitor& visitor, const PasswordHelp& help);

// The same answer for every address typed, member or not.
std::string resetSentPage(const Visitor& visitor, const std::string& mail);

// The form of a working link; token goes back with it.
std::string newPasswordPage(const Visitor& visitor, const std::string& token,
                            const std::vector<FieldError>& errors, const std::string& notice = "");

// A link used already, expired, or never made.
std::string deadLinkPage(const Visitor& visitor);

} // namespace tundrix::channel
