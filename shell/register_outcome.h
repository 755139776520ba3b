// What the register dialog sends, what comes back, and what the dialog does with the answer (no SDL here).
#pragma once
#include "shell/submission.h"
#include "shell/web_pages.h"

#include <string>
#include <vector>

namespace tundrix {

// What the register dialog does after a submission.
struct RegisterOutcome {
    enum class Button { Retry, Sending };
    std::vector<std::string> pages; // opened in this order
    bool showRegOk = false;         // the score was registered: the "Reg OK" message box, before closing
    bool close = false;
    Button button = Button::Sending;
    std::string why; // a failed attempt says what went wrong, in both languages
    // A registered score whose game the channel could not play again says so in one line, or empty.
    std::string unverified;
};
// What to do once the post of done (as it came back) has ended; the pages are on pages' channel.
RegisterOutcome registerOutcome(const ScoreSubmission& done, const WebPages& pages);

} // namespace tundrix
