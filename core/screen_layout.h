// Where the game draws things on its 440 by 300 screen: the HUD, the intro card, the title and the
// figures' parts. The game, the art generator, the preview and the tests all read these.
#pragma once
#include <cstdint>

namespace tundrix::layout {

// HUD digits (15 by 25, 5 apart) are right-aligned at their anchors on one row.
constexpr int32_t HUD_Y = 12;
constexpr int32_t DIGIT_SPACING = 5;
constexpr int32_t MINUTES_END = 61, SECONDS_END = 111, PERCENT_END = 169, SCORE_END = 430;
constexpr int32_t SEPARATOR_X = 56, PERCENT_SIGN_X = 174;
constexpr int32_t CHANCES_X = 210, CHANCES_Y = 8, MAX_CHANCE_ICONS = 6;
constexpr int32_t FLAG_X = 348, FLAG_Y = 279;

// The game-over banner slides in from the right and rests at BANNER_REST_X.
constexpr int32_t BANNER_Y = 134, BANNER_REST_X = 95, BANNER_STEP = 20;

// Match intro: the card's place.
constexpr int32_t CARD_X = 226, CARD_Y = 128;

// Title: the side panel and the caption of the prompt.
constexpr int32_t PANEL_X = 383, PANEL_Y = 82;
constexpr int32_t CAPTION_X = 286, CAPTION_Y = 90;

// The title figures: where each enters, and its parts' offsets from the figure's position (the part
// is drawn centred there).
struct Offset {
    int32_t x, y;
};
constexpr float VESSA_START_X = 586.0f, VESSA_START_Y = 192.0f;
constexpr Offset VESSA_EYES{-19, -37}, VESSA_WINK{-4, -37}, VESSA_HAIR{96, 12};
constexpr float BRUM_START_X = -232.0f, BRUM_START_Y = 175.0f;
constexpr Offset BRUM_EYES{11, -48}, BRUM_HAIR{-41, -27};

} // namespace tundrix::layout
