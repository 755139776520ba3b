// The channel's addresses the game posts to and opens, named once for both sides.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix::protocol {

// This game's number on the channel.
inline constexpr int32_t GAME_ID = 10;

// The form that takes a best score, and the one that takes the replay of the game that made it.
inline constexpr char SUBMIT_PATH[] = "/r0003.asp";
inline constexpr char REPLAY_PATH[] = "/r0003/replay";
// Pages the game opens in the browser.
inline constexpr char HOME_PATH[] = "/";
inline constexpr char SIGNUP_PATH[] = "/registrera/";
inline constexpr char LIBRARY_HELP_PATH[] = "/dll/"; // how to get the HTTP library the game posts with
inline constexpr char CHALLENGE_PATH[] = "/useradm/challenge/";
inline constexpr char PASSWORD_HELP_PATH[] = "/getpass.asp";
inline constexpr char PASSWORD_HELP_MAIL[] = "mail"; // the query field with the address typed
inline constexpr char VERSION_PATH[] = "/version.asp";
inline constexpr char VERSION_NUMBER[] = "gameid"; // the query field with the newest version

// The media type of both forms.
inline constexpr char FORM_CONTENT_TYPE[] = "application/x-www-form-urlencoded";

// Escapes text for a URL query value: everything but the unreserved characters becomes %XX.
std::string queryEscape(std::string_view text);

// The password page for an address ("/getpass.asp?mail=a%40b.se") and the page about a newer version.
std::string passwordHelpPage(std::string_view email);
std::string versionPage(int64_t newest);

} // namespace tundrix::protocol
