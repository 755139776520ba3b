// Conversion between UTF-8 and Windows-1252 for the user name and password.
#include "net/latin1_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tundrix {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 where the code page defines no character.
constexpr std::array<char32_t, 32> HIGH_CONTROLS = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Decodes one UTF-8 sequence at text[pos]; advances pos. Returns 0xFFFFFFFF for a malformed sequence
// (pos then moves past the offending bytes only).
char32_t decodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, least = 0x10000;
    } else {
        return 0xFFFFFFFF;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size()) return 0xFFFFFFFF;
        const auto next = static_cast<unsigned char>(text[pos]);
        if ((next & 0xC0) != 0x80) return 0xFFFFFFFF;
        cp = (cp << 6) | (next & 0x3F);
        ++pos;
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFFFFFF;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string utf8ToWindows1252(std::string_view utf8, size_t maxChars) {
    std::string out;
    size_t pos = 0;
    while (pos < utf8.size() && out.size() < maxChars) {
        const char32_t cp = decodeUtf8(utf8, pos);
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) continue; // controls cannot be typed into a name
        if (cp < 0x100) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < HIGH_CONTROLS.size(); ++i) {
            if (HIGH_CONTROLS[i] == cp) mapped = static_cast<char>(0x80 + i);
        }
        out += mapped;
    }
    return out;
}

bool inWindows1252(char32_t cp) {
    if ((cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp <= 0xFF)) return true;
    return cp >= 0x100 && std::find(HIGH_CONTROLS.begin(), HIGH_CONTROLS.end(), cp) != HIGH_CONTROLS.end();
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char32_t cp = byte;
        if (byte >= 0x80 && byte < 0xA0) cp = HIGH_CONTROLS[byte - 0x80] ? HIGH_CONTROLS[byte - 0x80] : U'?';
        appendUtf8(out, cp);
    }
    return out;
}

} // namespace tundrix
