// The register dialog's answer table: pages to open, the button's text, closing, and why an attempt failed.
#include "shell/register_outcome.h"

#include "net/score_submission.h"
#include "shell/web_pages.h"

namespace tundrix {

namespace {
std::string whyFailed(int resultCode) {
    switch (resultCode) {
    case -1:
        return "Det finns inget HTTP-bibliotek på datorn. / "
               "There is no HTTP library on this computer.";
    case 2:
        return "Okänd användare. / Unknown user.";
    case 3:
        return "Fel lösenord. / Wrong password.";
    default:
        break;
    }
    if (resultCode > TRANSPORT_ERROR_BASE && resultCode < ANSWER_WITHOUT_RESULT)
        return "Kunde inte nå Lumora. / The channel could not be reached.";
    return "Svaret gick inte att förstå. / The answer could not be understood.";
}
} // namespace

RegisterOutcome registerOutcome(int resultCode, int versionNotice, const std::string& userName) {
    RegisterOutcome out;
    if (versionNotice > 1) {
        out.pages.push_back(channelPage("/version.asp?gameid=" + std::to_string(versionNotice)));
        out.close = true;
    }
    switch (resultCode) {
    case -1:
        out.pages.push_back(channelPage("/dll/"));
        break;
    case 2:
        out.pages.push_back(channelPage("/registrera/"));
        break;
    case 3:
        // The typed name goes into a query, so it is escaped: an '&' or a space would break the link.
        out.pages.push_back(channelPage("/getpass.asp?mail=" + urlQueryValue(userName)));
        break;
    case 0:
    case 1:
        out.showRegOk = true;
        out.close = true;
        return out;
    default:
        // Any other answer (no verdict, a transport failure): the score was not registered, so the
        // button offers another try instead of claiming to be still sending.
        break;
    }
    out.button = RegisterOutcome::Button::Retry;
    out.why = whyFailed(resultCode);
    return out;
}

} // namespace tundrix
