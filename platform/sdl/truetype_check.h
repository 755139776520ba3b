// Reads a TrueType font the way the menus' rasteriser does, every offset checked, before it sees the font.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tundrix {

struct FontCheck {
    // Everything the rasteriser reads to map, measure and outline these characters lies inside the font,
    // every outline stays inside its glyph's box, and the boxes are of a sane size. A font that is not
    // drawable must never reach the rasteriser, which trusts every number in it.
    bool drawable = false;
    std::string problem;           // the first thing found wrong, when not drawable
    std::vector<uint32_t> missing; // characters the font has no glyph for (shown as ImGui's fallback)
    std::vector<uint32_t> blank;   // characters whose glyph has no outline (spaces, or a damaged font)
};

// Checks a font file (not a collection) with glyph outlines for the given Unicode characters. Bounded in
// time and memory whatever the bytes hold.
FontCheck checkFont(std::span<const uint8_t> font, std::span<const uint32_t> characters);

} // namespace tundrix
