// The total running time kept across runs and the zoom, full-screen and volume choices, in files under the
// user's config folder (no SDL here).
#pragma once
#include "core/game_rules.h"
#include "sound/volume_level.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tundrix {

// The folder the game keeps its two settings in: $XDG_CONFIG_HOME/lumora/tundrix, or
// $HOME/.config/lumora/tundrix; empty when neither variable is set (to an absolute path).
std::filesystem::path settingsFolder(const char* xdgConfigHome, const char* home);

// The folder this platform keeps the settings in: settingsFolder of the environment on POSIX, the
// user's application data folder on Windows; empty when there is none.
std::filesystem::path userSettingsFolder();

// Reads the play-time file's text: a decimal count of milliseconds, optionally surrounded by white space.
// Anything else (empty, letters, signs, a value beyond 32 bits) reads as 0.
uint32_t parsePlayTime(std::string_view text);
std::string formatPlayTime(uint32_t ms);

// Reads the zoom file's text: "1", "2" or "3"; anything else gives 1.
int parseZoom(std::string_view text);

// A small settings file: missing, unreadable or not a regular file (a named pipe, a device, a folder) gives
// nothing, without ever waiting; at most maxBytes are read.
std::optional<std::string> readSettingsFile(const std::filesystem::path& file, size_t maxBytes = 256);
// Writes the file by writing a temporary file beside it and renaming it over the old one, creating the
// folders first; false when the location cannot be written (nothing is reported to the player).
bool writeSettingsFile(const std::filesystem::path& file, std::string_view contents);
// Runs work holding an exclusive lock on lockFile (created when missing), so two copies of the game take
// turns. When the lock cannot be had within SETTINGS_LOCK_PATIENCE (a copy holds it for one read and one
// write) (a read-only folder, a copy stopped while holding it) work runs without it: losing what it writes
// for sure would be worse than the small chance of meeting another copy's write.
inline constexpr auto SETTINGS_LOCK_PATIENCE = std::chrono::seconds(2);
inline constexpr auto SETTINGS_LOCK_RETRY = std::chrono::milliseconds(5);
void withFileLock(const std::filesystem::path& lockFile, const std::function<void()>& work);

// The two settings as the program uses them.
class Settings {
  public:
    explicit Settings(std::filesystem::path folder) : folder_(std::move(folder)) {}
    uint32_t readPlayTime() const;
    bool writePlayTime(uint32_t ms) const;
    // Adds ms to the play time as it stands in its file now and returns the new total; nothing when it
    // cannot be written. A lock file beside it keeps two copies of the game from adding at the same moment
    // and losing one addition.
    std::optional<uint32_t> addPlayTime(uint32_t ms) const;
    int readZoom() const;
    bool writeZoom(int zoom) const;
    bool readFullScreen() const;
    bool writeFullScreen(bool on) const;
    VolumeLevel readVolume() const;
    bool writeVolume(VolumeLevel level) const;
    // The feedback drawn and played over the game: on unless the player turned it off.
    bool readFeedback() const;
    bool writeFeedback(bool on) const;
    // The way into the game the player chose: Original unless the file says "easier".
    PlayMode readPlayMode() const;
    bool writePlayMode(PlayMode mode) const;
    // Whether the game pauses when its window loses the focus: off unless the player turned it on.
    bool readPauseOnFocusLoss() const;
    bool writePauseOnFocusLoss(bool on) const;
    // The `channel` file's text, the channel's address a player or a school set, or nothing.
    std::optional<std::string> readChannel() const;
    // The player's best games as the file holds them (at most maxBytes of it), or nothing.
    std::optional<std::string> readBestGames(size_t maxBytes) const;
    // Changes the best games under a lock beside the file, so two copies that end a game at the same
    // moment both get in: change sees the file as it stands now and gives what to write (nothing writes
    // nothing). False when nothing was written.
    bool changeBestGames(size_t maxBytes,
                         const std::function<std::optional<std::string>(std::string_view now)>& change) const;
    // Removes temporary files a write left behind when the program was killed before its rename (older than
    // a minute, so a write in progress elsewhere is left alone).
    void removeStaleTemporaries() const;
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
};

} // namespace tundrix
