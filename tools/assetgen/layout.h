// The sizes the art is drawn at, beside the game's own layout of the screen (in screen pixels).
#pragma once
#include "core/resource_ids.h"
#include "core/screen_layout.h"
#include "graphics/screen_surface.h"
#include "rink/rink.h"

#include <cmath>

namespace tundrix::assetgen {

using namespace tundrix::layout;

constexpr int SCREEN_W = SCREEN_WIDTH;
constexpr int SCREEN_H = SCREEN_HEIGHT;

// The rink's edge rectangle; the ice lies one pixel inside it.
using tundrix::EDGE_BOTTOM;
using tundrix::EDGE_LEFT;
using tundrix::EDGE_RIGHT;
using tundrix::EDGE_TOP;
constexpr int ICE_LEFT = EDGE_LEFT + 1, ICE_TOP = EDGE_TOP + 1, ICE_RIGHT = EDGE_RIGHT - 1,
              ICE_BOTTOM = EDGE_BOTTOM - 1;

// The sizes the art is drawn at.
constexpr int DIGIT_W = 15, DIGIT_H = 25, DIGIT_STEP = DIGIT_W + DIGIT_SPACING;
constexpr int CARD_W = 148, CARD_H = 118;
constexpr int PANEL_W = 57, PANEL_H = 218;
constexpr int CAPTION_W = 151, CAPTION_H = 18;

// A title figure's part is drawn centred on the figure's position plus an offset, truncated toward zero.
struct Placement {
    int x, y;
};
inline Placement partTopLeft(float figureX, float figureY, int offsetX, int offsetY, int w, int h) {
    const float x = figureX + static_cast<float>(offsetX) - static_cast<float>(w) * 0.5f;
    const float y = figureY + static_cast<float>(offsetY) - static_cast<float>(h) * 0.5f;
    return {static_cast<int>(x), static_cast<int>(y)};
}

// Where a title figure comes to rest, step for step as the game skates it there.
constexpr float restX(const Entrance& e) {
    float x = e.startX, speed = e.speed;
    while (speed > 0) {
        speed -= e.braking;
        if (speed < 0) speed = 0;
        x += e.direction * speed;
    }
    return x;
}

// The figures at rest, and their parts: size and offset from the figure's position.
struct Part {
    int w, h, offsetX, offsetY;
};
constexpr float VESSA_X = restX(VESSA_ENTRANCE), VESSA_Y = VESSA_ENTRANCE.startY;
constexpr Part VESSA_PORTRAIT{238, 217, 0, 0};
constexpr Part VESSA_EYES{59, 21, layout::VESSA_EYES.x, layout::VESSA_EYES.y};
constexpr Part VESSA_WINK{29, 21, layout::VESSA_WINK.x, layout::VESSA_WINK.y};
constexpr Part VESSA_HAIR{103, 193, layout::VESSA_HAIR.x, layout::VESSA_HAIR.y};
constexpr float BRUM_X = restX(BRUM_ENTRANCE), BRUM_Y = BRUM_ENTRANCE.startY;
constexpr Part BRUM_PORTRAIT{196, 251, 0, 0};
constexpr Part BRUM_EYES{56, 19, layout::BRUM_EYES.x, layout::BRUM_EYES.y};
constexpr Part BRUM_HAIR{91, 146, layout::BRUM_HAIR.x, layout::BRUM_HAIR.y};

// Top-left of a part relative to the top-left of the portrait, with the figure at rest.
inline Placement onPortrait(float figureX, float figureY, const Part& portrait, const Part& part) {
    const Placement p = partTopLeft(figureX, figureY, 0, 0, portrait.w, portrait.h);
    const Placement q = partTopLeft(figureX, figureY, part.offsetX, part.offsetY, part.w, part.h);
    return {q.x - p.x, q.y - p.y};
}

} // namespace tundrix::assetgen
