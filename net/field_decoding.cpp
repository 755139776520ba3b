// Unscrambles one form field value with the fixed key (no SDL here).
#include "net/field_decoding.h"

#include "net/field_encoding.h"

namespace tundrix {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::optional<std::string> decodeField(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        const size_t index = out.size();
        out += static_cast<char>((high << 4 | low) ^ FIELD_KEY[index % FIELD_KEY.size()]);
    }
    return out;
}

} // namespace tundrix
