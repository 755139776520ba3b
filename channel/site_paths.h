// The site's own addresses that the game never opens (those are in protocol/paths.h).
#pragma once

namespace tundrix::channel {

// A whole board, a page at a time: /topplista/idag/?sida=2 (also vecka, alltid).
inline constexpr char BOARD_PREFIX[] = "/topplista/";
inline constexpr char BOARD_PAGE[] = "sida";
inline constexpr char WELCOME_PATH[] = "/valkommen/";
inline constexpr char MEMBER_PATH[] = "/mina-sidor/";
inline constexpr char NICKNAME_FORM_PATH[] = "/mina-sidor/smeknamn/";
inline constexpr char PASSWORD_FORM_PATH[] = "/mina-sidor/losenord/";
// Where a mailed reset link leads: the form for a new password.
inline constexpr char NEW_PASSWORD_PATH[] = "/nytt-losenord/";

} // namespace tundrix::channel
