// Reading the channel server's short text answer: result code, version notice, message.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix {

struct ParsedAnswer {
    bool hasResult = false;    // the trimmed answer starts with a number
    int32_t resultCode = 0;    // that number (0 without one), clamped to 32 bits
    int32_t versionNotice = 0; // the number right after the first LF, 0 without an LF
    std::string message;       // the first 255 bytes of the trimmed answer
};

// The answer is the bytes received, up to the first NUL; white space (space, CR, LF, tab) around it is
// ignored. Pure: any bytes at all give a result.
ParsedAnswer parseAnswer(std::string_view bytes);

} // namespace tundrix
