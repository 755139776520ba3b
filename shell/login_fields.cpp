// Length and code page limits of the register dialog's fields.
#include "shell/login_fields.h"

namespace tundrix {

std::string clampChars(std::string_view text, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

std::string fieldText(std::string_view utf8, size_t maxChars) {
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < utf8.size() && chars < maxChars;) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t len = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 0;
        if (len == 0 || i + len > utf8.size()) {
            ++i; // a stray or cut byte
            continue;
        }
        uint32_t cp = len == 1 ? lead : len == 2 ? (lead & 0x1Fu) : (lead & 0x0Fu);
        bool wellFormed = true;
        for (size_t k = 1; k < len; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            wellFormed = wellFormed && (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (wellFormed && inWindows1252(cp)) {
            out.append(utf8.substr(i, len));
            ++chars;
        }
        i += wellFormed ? len : 1;
    }
    return out;
}

} // namespace tundrix
