// The query escaping and the pages whose address carries a value.
#include "protocol/paths.h"

namespace tundrix::protocol {

std::string queryEscape(std::string_view text) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 15];
        }
    }
    return out;
}

std::string passwordHelpPage(std::string_view email) {
    return std::string(PASSWORD_HELP_PATH) + "?" + PASSWORD_HELP_MAIL + "=" + queryEscape(email);
}

std::string versionPage(int64_t newest) {
    return std::string(VERSION_PATH) + "?" + VERSION_NUMBER + "=" + std::to_string(newest);
}

} // namespace tundrix::protocol
