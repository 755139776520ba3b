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

// The title figures: how each enters, and its parts' offsets from the figure's position (the part is
// drawn centred there). A figure waits at its start until it is `age` frames old, then skates along its
// row at `speed` pixels a frame in `direction` (-1 left, +1 right), braking by `braking` every frame
// until it stands.
struct Entrance {
    float startX, startY;
    int32_t age;
    float direction, speed, braking;
};
struct Offset {
    int32_t x, y;
};
constexpr Entrance VESSA_ENTRANCE{586.0f, 192.0f, 33, -1.0f, 70.0f, 6.5f};
constexpr Offset VESSA_EYES{-19, -37}, VESSA_WINK{-4, -37}, VESSA_HAIR{96, 12};
constexpr Entrance BRUM_ENTRANCE{-232.0f, 175.0f, 20, 1.0f, 60.0f, 5.0f};
constexpr Offset BRUM_EYES{11, -48}, BRUM_HAIR{-41, -27};

} // namespace tundrix::layout
