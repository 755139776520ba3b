// Play time, zoom, full-screen and volume files: pure parsers and the settings on top of the settings files
// (no SDL here).
#include "shell/play_time.h"

#include "net/channel_address.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace tundrix {

namespace {
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}
// The settings' file names in the settings folder.
constexpr char PLAY_TIME_FILE[] = "time";
constexpr char ZOOM_FILE[] = "zoom";
constexpr char FULL_SCREEN_FILE[] = "fullscreen";
constexpr char VOLUME_FILE[] = "volume";
constexpr char FEEDBACK_FILE[] = "feedback";
constexpr char PLAY_MODE_FILE[] = "mode";
constexpr char FOCUS_PAUSE_FILE[] = "focuspause";
constexpr char BEST_GAMES_FILE[] = "best";
constexpr const char* SETTINGS_FILES[] = {PLAY_TIME_FILE, ZOOM_FILE,      FULL_SCREEN_FILE, VOLUME_FILE,
                                          FEEDBACK_FILE,  PLAY_MODE_FILE, FOCUS_PAUSE_FILE, BEST_GAMES_FILE};
constexpr char PLAY_TIME_LOCK[] = "time.lock";
constexpr char BEST_GAMES_LOCK[] = "best.lock";
constexpr char EASIER_WORD[] = "easier";
} // namespace

std::filesystem::path settingsFolder(const char* xdgConfigHome, const char* home) {
    // Relative values are ignored, as the base directory rules ask.
    std::filesystem::path base;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home && home[0] == '/') {
        base = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return base / "lumora" / "tundrix";
}

uint32_t parsePlayTime(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 10) return 0;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return 0;
    return static_cast<uint32_t>(value);
}

std::string formatPlayTime(uint32_t ms) {
    return std::to_string(ms) + "\n";
}

int parseZoom(std::string_view text) {
    text = trimmed(text);
    if (text == "2") return 2;
    if (text == "3") return 3;
    return 1;
}

uint32_t Settings::readPlayTime() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / PLAY_TIME_FILE);
    return text ? parsePlayTime(*text) : 0;
}

bool Settings::writePlayTime(uint32_t ms) const {
    if (folder_.empty()) return false;
    return writeSettingsFile(folder_ / PLAY_TIME_FILE, formatPlayTime(ms));
}

std::optional<uint32_t> Settings::addPlayTime(uint32_t ms) const {
    if (folder_.empty()) return std::nullopt;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    std::optional<uint32_t> total;
    withFileLock(folder_ / PLAY_TIME_LOCK, [&] {
        const uint32_t sum = readPlayTime() + ms;
        if (writePlayTime(sum)) total = sum;
    });
    return total;
}

int Settings::readZoom() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / ZOOM_FILE);
    return text ? parseZoom(*text) : 1;
}

bool Settings::writeZoom(int zoom) const {
    if (folder_.empty() || zoom < 1 || zoom > 3) return false;
    return writeSettingsFile(folder_ / ZOOM_FILE, std::to_string(zoom) + "\n");
}

bool Settings::readFullScreen() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / FULL_SCREEN_FILE);
    return text && trimmed(*text) == "1";
}

bool Settings::writeFullScreen(bool on) const {
    if (folder_.empty()) return false;
    return writeSettingsFile(folder_ / FULL_SCREEN_FILE, on ? "1\n" : "0\n");
}

VolumeLevel Settings::readVolume() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / VOLUME_FILE);
    return text ? parseVolume(*text) : VolumeLevel{};
}

bool Settings::writeVolume(VolumeLevel level) const {
    if (folder_.empty()) return false;
    return writeSettingsFile(folder_ / VOLUME_FILE, formatVolume(level));
}

bool Settings::readFeedback() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / FEEDBACK_FILE);
    return !text || trimmed(*text) != "0";
}

bool Settings::writeFeedback(bool on) const {
    if (folder_.empty()) return false;
    return writeSettingsFile(folder_ / FEEDBACK_FILE, on ? "1\n" : "0\n");
}

PlayMode Settings::readPlayMode() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / PLAY_MODE_FILE);
    return text && trimmed(*text) == EASIER_WORD ? PlayMode::Easier : PlayMode::Original;
}

bool Settings::writePlayMode(PlayMode mode) const {
    if (folder_.empty()) return false;
    return writeSettingsFile(folder_ / PLAY_MODE_FILE,
                             mode == PlayMode::Easier ? std::string(EASIER_WORD) + "\n" : "original\n");
}

bool Settings::readPauseOnFocusLoss() const {
    auto text = readSettingsFile(folder_.empty() ? folder_ : folder_ / FOCUS_PAUSE_FILE);
    return text && trimmed(*text) == "1";
}

bool Settings::writePauseOnFocusLoss(bool on) const {
    if (folder_.empty()) return false;
    return writeSettingsFile(folder_ / FOCUS_PAUSE_FILE, on ? "1\n" : "0\n");
}

std::optional<std::string> Settings::readChannel() const {
    return readSettingsFile(folder_.empty() ? folder_ : folder_ / CHANNEL_FILE, CHANNEL_FILE_MAX_BYTES);
}

std::optional<std::string> Settings::readBestGames(size_t maxBytes) const {
    return readSettingsFile(folder_.empty() ? folder_ : folder_ / BEST_GAMES_FILE, maxBytes);
}

bool Settings::changeBestGames(
    size_t maxBytes, const std::function<std::optional<std::string>(std::string_view now)>& change) const {
    if (folder_.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    // As with the play time, a lock that cannot be had does not keep the game out of the table.
    bool written = false;
    withFileLock(folder_ / BEST_GAMES_LOCK, [&] {
        const std::optional<std::string> now = readBestGames(maxBytes);
        const std::optional<std::string> next = change(now ? *now : std::string());
        written = next && writeSettingsFile(folder_ / BEST_GAMES_FILE, *next);
    });
    return written;
}

void Settings::removeStaleTemporaries() const {
    if (folder_.empty()) return;
    std::error_code ec;
    const auto stale = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        const size_t dot = name.rfind('.');
        if (dot == std::string::npos || name.size() - dot != 7) continue; // mkstemp's six characters
        const std::string base = name.substr(0, dot);
        if (std::find(std::begin(SETTINGS_FILES), std::end(SETTINGS_FILES), base) == std::end(SETTINGS_FILES))
            continue;
        bool ours = true;
        for (size_t i = dot + 1; i < name.size(); ++i) {
            const char c = name[i];
            ours = ours && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        }
        std::error_code fileEc;
        if (!ours || !entry.is_regular_file(fileEc) || fileEc) continue;
        const auto written = entry.last_write_time(fileEc);
        if (!fileEc && written < stale) std::filesystem::remove(entry.path(), fileEc);
    }
}

} // namespace tundrix
