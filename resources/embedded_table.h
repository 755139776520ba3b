// The table of resources built into the program, filled by the generated embedding file.
#pragma once
#include <cstdint>
#include <span>

namespace tundrix {

struct EmbeddedEntry {
    int id;
    const uint8_t* begin;
    const uint8_t* end;
};

// Every embedded resource: image sets, the palette bitmap, the WAVE sounds and the window icon, by id.
std::span<const EmbeddedEntry> embeddedEntries();

} // namespace tundrix
