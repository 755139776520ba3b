// The feedback layer's resources and places: the ids of its image sets and sounds, the frames of each set,
// their sizes, and where the layer draws them on the 440 by 300 screen. The layer, the art generator, the
// preview and the tests all read these.
#pragma once
#include <cstdint>

namespace tundrix::feedback {

// Image sets.
constexpr int SET_NUMERALS = 270;     // 0-9, NUMERAL_PLUS, NUMERAL_PERCENT: "+N" and the banner's figures
constexpr int SET_BIG_NUMERALS = 271; // 0-9: the number on the period card
constexpr int SET_SMALL_DIGITS = 272; // 0-9: the period and the best score in the bottom panel
constexpr int SET_PICTURES = 273;     // the frames of Picture
constexpr int SET_BURST = 274;        // the flash where a capture closes, growing over BURST_FRAMES frames

constexpr int NUMERAL_PLUS = 10, NUMERAL_PERCENT = 11, NUMERAL_GLYPHS = 12;
enum Picture : int {
    PICTURE_PANEL = 0,       // the bottom panel with its labels
    PICTURE_PERIOD_WORD = 1, // "PERIOD" on the period card
    PICTURE_WON_BANNER = 2,  // the period-won banner, its figures left out
    PICTURE_BOX_BACK = 3,    // the penalty box behind the figures in it
    PICTURE_BOX_FRONT = 4,   // its frame and glass, over them
    PICTURES = 5,
};
constexpr int BURST_FRAMES = 5;

// Glyph cells; a row of glyphs steps less than a cell, so the outlines of neighbours touch.
constexpr int32_t NUMERAL_W = 13, NUMERAL_H = 17, NUMERAL_STEP = 10;
constexpr int32_t BIG_NUMERAL_W = 24, BIG_NUMERAL_H = 32, BIG_NUMERAL_STEP = 19;
constexpr int32_t SMALL_DIGIT_W = 5, SMALL_DIGIT_H = 7, SMALL_DIGIT_STEP = 6;
constexpr int32_t BURST_SIZE = 48;

// The bottom panel between the game's name and the team flag: the period on its first row, the best score
// on its second, each number ending at PANEL_NUMBER_END.
constexpr int32_t PANEL_X = 203, PANEL_Y = 277, PANEL_W = 90, PANEL_H = 21;
constexpr int32_t PANEL_NUMBER_END = PANEL_X + PANEL_W - 4;
constexpr int32_t PANEL_PERIOD_Y = PANEL_Y + 3, PANEL_BEST_Y = PANEL_Y + 12;

// The period card: the word and the number beside it, centred on the rink's upper half.
constexpr int32_t PERIOD_WORD_W = 128, PERIOD_WORD_H = 32;
constexpr int32_t CARD_CENTRE_X = 219, CARD_Y = 88;

// The period-won banner in the middle of the rink, its two figures centred on their slots.
constexpr int32_t WON_BANNER_W = 240, WON_BANNER_H = 86;
constexpr int32_t WON_BANNER_X = 219 - WON_BANNER_W / 2, WON_BANNER_Y = 161 - WON_BANNER_H / 2;
constexpr int32_t WON_PERCENT_CENTRE_X = WON_BANNER_X + 66, WON_POINTS_CENTRE_X = WON_BANNER_X + 168;
constexpr int32_t WON_FIGURES_Y = WON_BANNER_Y + 58;

// The penalty box in the crowd right of the rink; the figures in it are drawn at half size, one above the
// other, the latest BOX_SEATS of them, and the count on its plate once there are more.
constexpr int32_t BOX_X = 411, BOX_Y = 122, BOX_W = 28, BOX_H = 78;
constexpr int32_t BOX_DOOR_X = BOX_X + 2, BOX_DOOR_Y = BOX_Y + BOX_H / 2;
constexpr int32_t BOX_SEAT_X = BOX_X + 6, BOX_SEAT_Y = BOX_Y + 9, BOX_SEAT_STEP = 18, BOX_SEATS = 3;
constexpr int32_t BOX_COUNT_END = BOX_X + BOX_W - 6, BOX_COUNT_Y = BOX_Y + BOX_H - 12;

// Sounds: a capture too small for the big-capture fanfare, a raid cut by a figure, a won period.
constexpr uint16_t WAVE_SMALL_CAPTURE = 320, WAVE_CUT = 321, WAVE_PERIOD_WON = 322;

} // namespace tundrix::feedback
