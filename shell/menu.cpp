// The game's bilingual menu bar: Swedish menus first, two spacers, then the English menus.
#include "shell/menu.h"

namespace tundrix {

std::vector<MenuPopup> menuBar(std::string_view channelHost, MenuSet set) {
    std::vector<MenuPopup> bar{
        {"Spel",
         {{"Starta nytt spel (F1)", CMD_NEW_GAME},
          {"Spelregler", CMD_RULES},
          {"Avsluta (Alt-F4)", CMD_QUIT},
          {},
          {"Paus (P)", CMD_PAUSE},
          {"Förstoring 1 ×", CMD_ZOOM_1},
          {"Förstoring 2 ×", CMD_ZOOM_2},
          {"Förstoring 3 ×", CMD_ZOOM_3},
          {"Helskärm (F11)", CMD_FULL_SCREEN},
          {"Ljud", CMD_VOLUME},
          {"Tyst (M)", CMD_MUTE}}},
        // The replay items speak both languages: they are in no English menu.
        {"Tävling",
         {{"Tävlingsregler", CMD_COMPETITION_RULES},
          {"Om Lumora", CMD_ABOUT},
          {},
          {"Spela upp senaste matchen / Play back the last game", CMD_PLAY_LAST_GAME},
          {"Spara senaste matchen / Save the last game", CMD_SAVE_LAST_GAME},
          {"Öppna repris… / Open replay…", CMD_OPEN_REPLAY}}},
        {"Koppla upp",
         {{"Registrera high-score", CMD_REGISTER},
          {"Utmana dina vänner", CMD_CHALLENGE},
          {"Surfa till Lumorasajten", CMD_CHANNEL_SITE},
          {"Besök Tundrixs hemsida", CMD_BRAND_SITE}}},
        {" ", {}},
        {"", {}},
        {"In English",
         {{"New Game ( F1)", CMD_NEW_GAME},
          {"How to Play", CMD_HOW_TO_PLAY},
          {"About Lumora", CMD_ABOUT_ENGLISH},
          {"Register high-score", CMD_REGISTER},
          {"Visit " + std::string(channelHost), CMD_CHANNEL_SITE},
          {},
          {"Pause (P)", CMD_PAUSE},
          {"Zoom 1 ×", CMD_ZOOM_1},
          {"Zoom 2 ×", CMD_ZOOM_2},
          {"Zoom 3 ×", CMD_ZOOM_3},
          {"Full screen (F11)", CMD_FULL_SCREEN},
          {"Sound", CMD_VOLUME},
          {"Mute (M)", CMD_MUTE}}},
    };
    if (set == MenuSet::WithoutPlayerSettings) return bar;
    // The best games and the two settings follow the competition in Swedish, and make a last menu of
    // their own in English.
    bar[1].items.insert(bar[1].items.end(), {{},
                                             {"Bästa resultat", CMD_BEST_GAMES},
                                             {"Lättare spel", CMD_EASIER},
                                             {"Paus när fönstret lämnas", CMD_FOCUS_PAUSE}});
    bar.push_back({"More",
                   {{"Best games", CMD_BEST_GAMES},
                    {"Easier game", CMD_EASIER},
                    {"Pause when the window loses focus", CMD_FOCUS_PAUSE}}});
    return bar;
}

} // namespace tundrix
