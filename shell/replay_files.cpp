// Reading and writing the player's replay files with the settings' safe file calls, and the messages
// that say what became of them.
#include "shell/replay_files.h"

#include "shell/play_time.h"

#include <cctype>

namespace tundrix {

namespace {

bool continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX escapes of a file:// address back to their bytes; a broken escape stays as written.
std::string unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexDigit(text[i + 1]), lo = hexDigit(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

std::string clampUtf8(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    size_t end = maxBytes;
    // Back to the first byte of the character the cut would split.
    while (end > 0 && continuation(static_cast<unsigned char>(text[end])))
        --end;
    return std::string(text.substr(0, end));
}

std::string replayPathOf(std::string_view typed) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!typed.empty() && space(typed.front()))
        typed.remove_prefix(1);
    while (!typed.empty() && space(typed.back()))
        typed.remove_suffix(1);
    if (typed.size() >= 2 && (typed.front() == '"' || typed.front() == '\'') && typed.back() == typed.front())
        typed = typed.substr(1, typed.size() - 2);
    constexpr std::string_view FILE_SCHEME = "file://";
    if (typed.substr(0, FILE_SCHEME.size()) == FILE_SCHEME) {
        typed.remove_prefix(FILE_SCHEME.size());
        // file://host/path: only this machine's files can be opened, so the host is left out.
        if (const size_t slash = typed.find('/'); slash != std::string_view::npos) typed.remove_prefix(slash);
        return unescaped(typed);
    }
    return std::string(typed);
}

std::optional<Replay> readReplayFile(const std::filesystem::path& file, std::string& why,
                                     const ReplayLimits& limits) {
    // One byte more than the limit tells a file that is too large from one that just fits.
    const std::optional<std::string> bytes = readSettingsFile(file, limits.maxFileBytes + 1);
    if (!bytes) {
        why = "Filen gick inte att öppna.\nThe file could not be opened.\n\n" + file.string();
        return std::nullopt;
    }
    if (bytes->size() > limits.maxFileBytes) {
        why = "Filen är för stor för att vara en repris.\nThe file is too large to be a replay.";
        return std::nullopt;
    }
    std::string reason;
    std::optional<Replay> replay = decodeReplay(
        std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()), reason, limits);
    if (!replay)
        why = "Det här är ingen repris som spelet kan visa.\nThis is not a replay the game can show.\n\n(" +
              reason + ")";
    return replay;
}

bool saveLastGame(const std::filesystem::path& folder, const Replay& replay, std::string& message) {
    const std::filesystem::path file = folder.empty() ? folder : folder / LAST_GAME_FILE;
    const std::vector<uint8_t> bytes = encodeReplay(replay);
    if (file.empty() || !writeSettingsFile(file, std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                                  bytes.size()))) {
        message = "Matchen kunde inte sparas.\nThe game could not be saved.\n\n" + file.string();
        return false;
    }
    message = "Matchen sparades i\nThe game was saved in\n\n" + file.string();
    return true;
}

std::string replayProblemText(const std::string& problem) {
    return "Reprisen slutade stämma med spelet och kan inte visas längre.\n"
           "The replay stopped matching the game and cannot be shown any further.\n\n(" +
           problem + ")";
}

} // namespace tundrix
