// Length and code page limits of the register dialog's fields.
#include "shell/login_fields.h"

namespace tundrix {

bool inCodePage(uint32_t cp) {
    if (cp >= 0x20 && cp < 0x7F) return true;
    if (cp >= 0xA0 && cp <= 0xFF) return true;
    // What Windows-1252 puts at 0x80 to 0x9F in place of Latin-1's control characters.
    static constexpr uint32_t EXTRA[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                         0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                         0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    for (uint32_t e : EXTRA)
        if (e == cp) return true;
    return false;
}

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
        if (wellFormed && inCodePage(cp)) {
            out.append(utf8.substr(i, len));
            ++chars;
        }
        i += wellFormed ? len : 1;
    }
    return out;
}

} // namespace tundrix
