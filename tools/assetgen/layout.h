// Where the game draws things: the places the art has to fit (positions in screen pixels).
#pragma once
#include <cmath>

namespace tundrix::assetgen {

constexpr int SCREEN_W = 440;
constexpr int SCREEN_H = 300;

// The rink's edge rectangle; the ice lies one pixel inside it.
constexpr int EDGE_LEFT = 33, EDGE_TOP = 52, EDGE_RIGHT = 404, EDGE_BOTTOM = 270;
constexpr int ICE_LEFT = 34, ICE_TOP = 53, ICE_RIGHT = 403, ICE_BOTTOM = 269;

// HUD: digits are 15 by 25 at y 12, spaced 20 apart, right-aligned at their anchors.
constexpr int DIGIT_W = 15, DIGIT_H = 25, DIGIT_STEP = 20, HUD_Y = 12;
constexpr int MINUTES_END = 61, SECONDS_END = 111, PERCENT_END = 169, SCORE_END = 430;
constexpr int SEPARATOR_X = 56, PERCENT_SIGN_X = 174;
constexpr int CHANCES_X = 210, CHANCES_Y = 8, CHANCE_STEP = 35;
constexpr int FLAG_X = 348, FLAG_Y = 279;

// Match intro: the card's place.
constexpr int CARD_X = 226, CARD_Y = 128, CARD_W = 148, CARD_H = 118;

// Title: side panel and caption.
constexpr int PANEL_X = 383, PANEL_Y = 82, PANEL_W = 57, PANEL_H = 218;
constexpr int CAPTION_X = 286, CAPTION_Y = 90, CAPTION_W = 151, CAPTION_H = 18;

// A title figure's part is drawn centred on the figure's position plus an offset, truncated toward zero.
struct Placement {
    int x, y;
};
inline Placement partTopLeft(float figureX, float figureY, int offsetX, int offsetY, int w, int h) {
    const float x = figureX + static_cast<float>(offsetX) - static_cast<float>(w) * 0.5f;
    const float y = figureY + static_cast<float>(offsetY) - static_cast<float>(h) * 0.5f;
    return {static_cast<int>(x), static_cast<int>(y)};
}

// The figures at rest, and their parts: size and offset from the figure's position.
struct Part {
    int w, h, offsetX, offsetY;
};
constexpr float VESSA_X = 243.5f, VESSA_Y = 192.0f;
constexpr Part VESSA_PORTRAIT{238, 217, 0, 0};
constexpr Part VESSA_EYES{59, 21, -19, -37};
constexpr Part VESSA_WINK{29, 21, -4, -37};
constexpr Part VESSA_HAIR{103, 193, 96, 12};
constexpr float BRUM_X = 98.0f, BRUM_Y = 175.0f;
constexpr Part BRUM_PORTRAIT{196, 251, 0, 0};
constexpr Part BRUM_EYES{56, 19, 11, -48};
constexpr Part BRUM_HAIR{91, 146, -41, -27};

// Top-left of a part relative to the top-left of the portrait, with the figure at rest.
inline Placement onPortrait(float figureX, float figureY, const Part& portrait, const Part& part) {
    const Placement p = partTopLeft(figureX, figureY, 0, 0, portrait.w, portrait.h);
    const Placement q = partTopLeft(figureX, figureY, part.offsetX, part.offsetY, part.w, part.h);
    return {q.x - p.x, q.y - p.y};
}

} // namespace tundrix::assetgen
