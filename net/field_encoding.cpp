// Scrambles one form field value with the fixed key.
#include "net/field_encoding.h"

namespace tundrix {

std::string encodeField(std::string_view text) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte =
            static_cast<uint8_t>(static_cast<uint8_t>(text[i]) ^ FIELD_KEY[i % FIELD_KEY.size()]);
        out += HEX[byte >> 4];
        out += HEX[byte & 0x0F];
    }
    return out;
}

} // namespace tundrix
