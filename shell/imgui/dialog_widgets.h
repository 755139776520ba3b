// The pieces the ImGui dialogs are made of: inks, centring, wrapped text, field limits, popups put away.
#pragma once
#include <imgui.h>

#include <string>

namespace tundrix {

// The ink of the text typed into a field (on its light ground), and of a warning.
inline const ImVec4 TEXT_INK(0.0f, 0.0f, 0.0f, 1.0f);
inline const ImVec4 WARNING_INK(1.0f, 0.86f, 0.45f, 1.0f);

// Moves the cursor so that an item width wide sits in the middle of the row.
void centred(float width);
// Text wrapped at the window's edge.
void wrappedText(const std::string& text);

// Input-text callbacks; UserData points at the field's limit (a size_t). limitField keeps the characters of
// the channel's code page and at most that many of them; limitPath at most that many bytes of UTF-8, cut
// between characters. Both hold whether the text was typed or pasted.
int limitField(ImGuiInputTextCallbackData* data);
int limitPath(ImGuiInputTextCallbackData* data);

// Closes every popup ImGui still has open: a dialog that ended outside its own drawing would otherwise
// keep blocking the menu bar.
void closeOpenPopups();

} // namespace tundrix
