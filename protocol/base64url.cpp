// The base64url codec the replay post carries its file in.
#include "protocol/base64url.h"

namespace tundrix::protocol {
namespace {

constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}

} // namespace

std::string base64UrlEncode(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v = uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            out += ALPHABET[v >> shift & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t{bytes[i]} << 16;
        if (rest == 2) v |= uint32_t{bytes[i + 1]} << 8;
        out += ALPHABET[v >> 18 & 63];
        out += ALPHABET[v >> 12 & 63];
        if (rest == 2) out += ALPHABET[v >> 6 & 63];
    }
    return out;
}

std::optional<std::vector<uint8_t>> base64UrlDecode(std::string_view text) {
    if (text.size() % 4 == 1) return std::nullopt;
    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3 + 2);
    uint32_t bits = 0;
    int held = 0;
    for (char c : text) {
        const int v = valueOf(c);
        if (v < 0) return std::nullopt;
        bits = bits << 6 | static_cast<uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out.push_back(static_cast<uint8_t>(bits >> held));
            bits &= (1u << held) - 1;
        }
    }
    if (bits != 0) return std::nullopt; // the last character's unused bits
    return out;
}

} // namespace tundrix::protocol
