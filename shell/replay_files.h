// Replay files the player keeps and opens: the last game saved into the settings folder, and a file named
// by a typed or pasted path or dropped onto the window, read within the replay reader's limits.
#pragma once
#include "replay/replay.h"
#include "replay/replay_codec.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tundrix {

inline constexpr char LAST_GAME_FILE[] = "last-game.txr";
// The caption of every replay question and message.
inline constexpr char REPLAY_CAPTION[] = "Repris / Replay";
// The longest path the open dialog takes, in bytes of UTF-8.
inline constexpr size_t REPLAY_PATH_MAX = 1024;

// The longest start of text of at most maxBytes that ends where a UTF-8 character ends.
std::string clampUtf8(std::string_view text, size_t maxBytes);
// The file a typed, pasted or dropped path names: surrounding white space and quotes go, and a file://
// address (what file managers copy) becomes the path it stands for.
std::string replayPathOf(std::string_view typed);

// The replay in the file, or nothing with a message in both languages saying why: missing, not a plain
// file, larger than the reader takes, or not a replay this game reads.
std::optional<Replay> readReplayFile(const std::filesystem::path& file, std::string& why,
                                     const ReplayLimits& limits = {});
// Writes the replay as LAST_GAME_FILE in folder, safely, over the one saved before; the message in both
// languages says where it went, or that it could not be written.
bool saveLastGame(const std::filesystem::path& folder, const Replay& replay, std::string& message);

// What the player is told when a replay stopped matching the game this program plays.
std::string replayProblemText(const std::string& problem);

} // namespace tundrix
