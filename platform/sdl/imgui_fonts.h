// The fonts of the ImGui layer, loaded from bytes built into the program, with ImGui's own font when they
// cannot be loaded.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

struct ImFont;
struct ImGuiIO;

namespace tundrix {

// True when bytes hold a whole TrueType font: the table directory and every table it names lie inside,
// and the tables a font needs are there.
bool looksLikeTrueType(std::span<const uint8_t> bytes);

struct UiFonts {
    ImFont* text = nullptr;   // the menus and dialogs
    ImFont* sign = nullptr;   // the pause sign
    float textPixels = 13.0f; // the text font's size
    bool builtIn = false;     // false: ImGui's own font stands in
};

// Adds the two fonts to the atlas and builds it; the bytes must outlive the atlas. The sign's font holds
// the characters of signText alone (the whole code page when it is empty), which keeps the atlas small. A
// font that does not load leaves ImGui's own font in its place.
UiFonts loadUiFonts(ImGuiIO& io, std::span<const uint8_t> text, float textPixels,
                    std::span<const uint8_t> sign, float signPixels, std::string_view signText = {});

} // namespace tundrix
