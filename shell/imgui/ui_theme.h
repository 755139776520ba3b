// The look of the menus and dialogs: the game's navy, gold and rink white, rounded frames, buttons that
// fit their labels, and the pause sign in the game's lettering (ImGui, no SDL here).
#pragma once
#include <string>

struct ImFont;

namespace tundrix {

// Sets ImGui's colours and shapes for the game.
void applyGameTheme();

// A push button as wide as its label needs (at least minWidth); the default button is gold.
bool themedButton(const std::string& label, bool isDefault, float minWidth = 80.0f);
// The width themedButton gives a label.
float buttonWidth(const std::string& label, float minWidth = 80.0f);

// The pause sign's words: all the characters its large font is built with.
constexpr char PAUSE_SIGN_TEXT[] = "PAUS · PAUSED";

// PAUSE_SIGN_TEXT over the middle of the picture, which starts top pixels below the window's top.
void drawPauseSign(ImFont* font, float top);
// A small "REPRIS / REPLAY" tag in the picture's bottom left corner while a recorded game is shown.
void drawReplayLabel();

} // namespace tundrix
