// Feeds arbitrary bytes to the channel's reader of the game's score form.
#include "protocol/form_text.h"
#include "protocol/score_form.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tundrix::protocol;
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    std::string why;
    std::vector<std::string> problems;
    const auto form = decodeScoreForm(body, why, problems);
    if (!form && why.empty()) std::abort();
    if (form && (form->userName.size() > USER_NAME_MAX_CHARS || form->password.size() > PASSWORD_MAX_CHARS))
        std::abort();
    // A form read back is written again as the game would, and that reads back the same.
    if (form) {
        std::vector<std::string> again;
        const auto twice = decodeScoreForm(encodeScoreForm(*form), why, again);
        if (!twice || twice->userName != form->userName || twice->score != form->score) std::abort();
    }
    // Any bytes, scrambled, come back as themselves (up to a NUL, where the game's text ends).
    const std::string plain(body.substr(0, body.find('\0')));
    if (unscrambleField(scrambleField(plain)) != plain) std::abort();
    return 0;
}
