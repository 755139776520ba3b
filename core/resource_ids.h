// The resource ids of the game's pictures and sounds, and what the frames of each picture set show: the
// art generator writes them, the game, the preview and the tests read them.
#pragma once
#include <cstdint>

namespace tundrix {

// The bitmap whose colour table is the game's palette.
constexpr int PALETTE_BITMAP_ID = 139;

// Image sets.
enum ImageSetId : int {
    SET_GAME_OVER_BANNER = 246, // a single frame
    SET_BACKGROUNDS = 256,
    SET_CHANCE_ICONS = 257,
    SET_DIGITS = 260,
    SET_PLAYER = 261,    // one frame per heading
    SET_OPPONENTS = 262, // one frame per heading for the referee, then for each team
    SET_RIGHT_FIGURE = 263,
    SET_LEFT_FIGURE = 264,
    SET_MATCH_CARDS = 265, // one per match
    SET_FLAGS = 266,       // one per match
};
constexpr int IMAGE_SETS[] = {SET_BACKGROUNDS,  SET_CHANCE_ICONS, SET_DIGITS,      SET_PLAYER, SET_OPPONENTS,
                              SET_RIGHT_FIGURE, SET_LEFT_FIGURE,  SET_MATCH_CARDS, SET_FLAGS};

// The frames of SET_BACKGROUNDS: the rink, the rink as claimed area looks, the match intro's and the
// title's backgrounds, and the title's side panel.
constexpr int32_t BACKGROUND_RINK = 0, BACKGROUND_CLAIMED = 1, BACKGROUND_INTRO = 2, BACKGROUND_TITLE = 3,
                  BACKGROUND_PANEL = 4;
// The frames of SET_CHANCE_ICONS: the mascots' faces.
constexpr int32_t CHANCE_ICON_BRUM = 0, CHANCE_ICON_VESSA = 1;
// The frames of SET_DIGITS after the ten digits: the clock's colon and the percent sign.
constexpr int32_t GLYPH_SEPARATOR = 11, GLYPH_PERCENT = 12;
// The frames of the title figures' sets: each begins with the portrait and the closed eyes; Vessa's
// (SET_RIGHT_FIGURE) go on with a wink and her hair, Brum's (SET_LEFT_FIGURE) with his hair, a puck and the
// caption of the title's prompt.
constexpr uint16_t FIGURE_PORTRAIT = 0, FIGURE_EYES = 1;
constexpr uint16_t VESSA_WINK_FRAME = 2, VESSA_HAIR_FRAME = 3;
constexpr uint16_t BRUM_HAIR_FRAME = 2, BRUM_PUCK_FRAME = 3, BRUM_CAPTION_FRAME = 4;

// Sounds (WAVE files).
constexpr uint16_t WAVE_RIGHT_FIGURE = 305;
constexpr uint16_t WAVE_TITLE_TUNE = 308;
constexpr uint16_t WAVE_PLAY_LOOP_1 = 309;
constexpr uint16_t WAVE_PLAY_LOOP_2 = 310;
constexpr uint16_t WAVE_BIG_CAPTURE = 311;
constexpr uint16_t WAVE_OPPONENT = 312;
constexpr uint16_t WAVE_TIME_WARNING = 313;
constexpr uint16_t WAVE_PERIOD_END = 314;
constexpr uint16_t WAVE_REFEREE_CUT = 315;
constexpr uint16_t WAVE_LEFT_FIGURE = 317;

} // namespace tundrix
