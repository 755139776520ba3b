// Play time, zoom and full-screen files: pure parsers plus the write-then-rename file update (no SDL here).
#include "shell/play_time.h"

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

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
// How long an addition waits for another copy's addition to finish before it goes ahead unlocked: a copy
// holds the lock for one read and one write, so only a copy stopped in that moment makes anyone wait.
constexpr auto LOCK_PATIENCE = std::chrono::seconds(2);
constexpr auto LOCK_RETRY = std::chrono::milliseconds(5);

// An exclusive lock on a file, held while the object lives (when it could be had in time).
class FileLock {
  public:
    explicit FileLock(const std::filesystem::path& file)
        : fd_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644)) {
        const auto giveUp = std::chrono::steady_clock::now() + LOCK_PATIENCE;
        while (fd_ >= 0 && !held_) {
            held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
            if (held_ || (errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() > giveUp)
                break;
            std::this_thread::sleep_for(LOCK_RETRY);
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_); // closing lets go of the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_;
    bool held_ = false;
};
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

std::optional<std::string> readSettingsFile(const std::filesystem::path& file, size_t maxBytes) {
    if (file.empty()) return std::nullopt;
    // Non-blocking, so a named pipe put in the file's place cannot hold up the start; only a regular file
    // is read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    size_t got = 0;
    bool failed = false;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd, text.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    text.resize(got);
    return text;
}

bool writeSettingsFile(const std::filesystem::path& file, std::string_view contents) {
    if (file.empty() || !file.has_parent_path()) return false;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) return false;

    std::string temp = file.string() + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = true;
    const char* p = contents.data();
    size_t left = contents.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    // The data must be on disk before the rename makes it the file, or a crash could leave it empty.
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), file.c_str()) != 0) ok = false;
    if (!ok) ::unlink(temp.c_str());
    return ok;
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
    // Without the lock (a read-only folder, a copy stopped while holding it) the addition still goes in:
    // losing it for sure would be worse than the small chance of meeting another copy's.
    const FileLock lock(folder_ / PLAY_TIME_LOCK);
    const uint32_t total = readPlayTime() + ms;
    if (!writePlayTime(total)) return std::nullopt;
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

std::optional<std::string> Settings::readBestGames(size_t maxBytes) const {
    return readSettingsFile(folder_.empty() ? folder_ : folder_ / BEST_GAMES_FILE, maxBytes);
}

bool Settings::changeBestGames(
    size_t maxBytes, const std::function<std::optional<std::string>(std::string_view now)>& change) const {
    if (folder_.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    // As with the play time, a lock that cannot be had does not keep the game out of the table.
    const FileLock lock(folder_ / BEST_GAMES_LOCK);
    const std::optional<std::string> now = readBestGames(maxBytes);
    const std::optional<std::string> next = change(now ? *now : std::string());
    return next && writeSettingsFile(folder_ / BEST_GAMES_FILE, *next);
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
