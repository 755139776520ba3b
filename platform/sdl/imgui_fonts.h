// The fonts of the ImGui layer, loaded from bytes built into the program, with ImGui's own font when they
// cannot be loaded.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct ImFont;
struct ImGuiIO;

namespace tundrix {

// The sizes the menus' and the pause sign's lettering are drawn at, in pixels.
inline constexpr float MENU_TEXT_PIXELS = 15.0f;
inline constexpr float SIGN_PIXELS = 40.0f;

struct UiFonts {
    ImFont* text = nullptr;   // the menus and dialogs
    ImFont* sign = nullptr;   // the pause sign
    float textPixels = 13.0f; // the text font's size
    bool builtIn = false;     // false: ImGui's own font stands in
};

// Adds the two fonts to the atlas and builds it; the bytes must outlive the atlas. The text font holds the
// characters of the Windows-1252 code page, the sign's font those of signText alone (the whole code page
// when it is empty), which keeps the atlas small. A font the rasteriser could not draw safely (see
// checkFont), or an atlas that does not build, leaves ImGui's own font in its place.
UiFonts loadUiFonts(ImGuiIO& io, std::span<const uint8_t> text, float textPixels,
                    std::span<const uint8_t> sign, float signPixels, std::string_view signText = {});

// What the build asks of the fonts it builds into the program: every character of the menus and of the
// sign has a glyph with an outline that can be drawn safely, and the atlas builds with each of them.
// Empty when they pass; otherwise what is wrong. Uses an ImGui context of its own.
std::string fontBuildProblem(std::span<const uint8_t> text, std::span<const uint8_t> sign,
                             std::string_view signText);

} // namespace tundrix
