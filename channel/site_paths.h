// The site's own addresses that the game never opens (those are in protocol/paths.h).
#pragma once

namespace tundrix::channel {

inline constexpr char WELCOME_PATH[] = "/valkommen/";
inline constexpr char MEMBER_PATH[] = "/mina-sidor/";
inline constexpr char NICKNAME_FORM_PATH[] = "/mina-sidor/smeknamn/";
inline constexpr char PASSWORD_FORM_PATH[] = "/mina-sidor/losenord/";

} // namespace tundrix::channel
