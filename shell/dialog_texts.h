// What the dialogs say, in Swedish and English, for every set of views (no drawing here).
#pragma once
#include "core/game_rules.h"
#include "shell/register_outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tundrix {

inline constexpr char OK_LABEL[] = "OK";
inline constexpr char YES_LABEL[] = "Ja / Yes";
inline constexpr char NO_LABEL[] = "Nej / No";
inline constexpr char CANCEL_LABEL[] = "Avbryt / Cancel";

// The questions: quitting mid-game, sending the score, another game, ending a game for a replay (its
// caption is REPLAY_CAPTION).
inline constexpr char QUIT_CAPTION[] = "Avsluta / Quit";
inline constexpr char QUIT_QUESTION[] =
    "Vill du avsluta mitt i matchen?\n\nDo you want to quit in the middle of the game?";
inline constexpr char REGISTER_CAPTION[] = "Registrera / Register";
inline constexpr char SUBMIT_QUESTION[] = "Vill du skicka din highscore till Internet?\n\n"
                                          "Would You like to submit your highscore to the Internet?";
inline constexpr char PLAY_AGAIN_CAPTION[] = "Spela Igen";
inline constexpr char PLAY_AGAIN_QUESTION[] = "Vill du spela igen? / Would you like to play again?";
inline constexpr char END_GAME_FOR_REPLAY_QUESTION[] = "Matchen du spelar avslutas. Visa reprisen ändå?\n\n"
                                                       "The game you are playing will end. Show the replay?";

inline constexpr char INFORMATION_CAPTION[] = "Information";

// The register dialog: its fields, its buttons and the message once the score is in.
inline constexpr char USER_FIELD_LABEL[] = "Användarnamn / Username (e-mail)";
inline constexpr char PASSWORD_FIELD_LABEL[] = "Lösenord / Password";
inline constexpr char RETRY_LABEL[] = "Försök igen";
inline constexpr char SENDING_LABEL[] = "Skickar...";
inline constexpr char NEW_USER_LABEL[] = "Ny användare / New User";
inline constexpr char REGISTERED_CAPTION[] = "Reg OK";
inline constexpr char REGISTERED_TEXT[] = "Din poäng har registrerats / Your score has been registred";
// The register dialog's caption, with the score it sends.
std::string registerScoreCaption(int score);
// The message once the score is in, with the channel's note on a build it could not check, if any.
std::string registeredText(const RegisterOutcome& outcome);

// The open-replay dialog.
inline constexpr char OPEN_REPLAY_CAPTION[] = "Öppna repris / Open replay";
inline constexpr char OPEN_REPLAY_PROMPT[] =
    "Släpp en reprisfil (.txr) på fönstret, eller skriv eller klistra in var den finns.\n"
    "Drop a replay file (.txr) onto the window, or type or paste where it is.";
inline constexpr char OPEN_LABEL[] = "Öppna / Open";

// The best games' table: its caption (another when a game just took a place), its two pages and the
// columns of the player's own.
inline constexpr char BEST_GAMES_CAPTION[] = "Bästa resultat / Best games";
std::string newPlaceCaption(size_t place); // place counts from 0
inline constexpr char OWN_BEST_PAGE[] = "Dina bästa / Your best";
inline constexpr char TOP_TEN_PAGE[] = "Kanalens topp tio / Top ten";
inline constexpr char NO_GAMES_YET[] = "Inga än / None yet";
inline constexpr const char* BEST_GAMES_HEADINGS[] = {"", "Poäng", "Period", "Dag / Day", "", "Läge / Mode"};
const char* mascotName(uint8_t mascot);
const char* playModeName(PlayMode mode);

// Over a finished game.
inline constexpr char RESTART_HINT[] = "Nytt spel: Enter, mellanslag eller F1\nNew game: Enter, Space or F1";

} // namespace tundrix
