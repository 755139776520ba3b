// Feeds arbitrary bytes to the channel's reader of the game's score form.
#include "channel/score_form.h"
#include "net/field_decoding.h"
#include "net/field_encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto form = tundrix::channel::decodeScoreForm(body, why);
    if (!form && why.empty()) std::abort();
    if (form && form->userName.size() > body.size()) std::abort();
    // Any bytes, scrambled, come back as themselves (up to a NUL, where the game's text ends).
    const std::string plain(body.substr(0, body.find('\0')));
    if (tundrix::decodeField(tundrix::encodeField(plain)) != plain) std::abort();
    return 0;
}
