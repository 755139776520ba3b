// Writes frames in the game's image-set format, following its conventions.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace tundrix {

class Image;

// One frame record: magic, big-endian width and height, escape byte, tokens. The escape byte is the
// smallest value absent from the pixels; one to three equal pixels are literals, four or more a run,
// and repeats longer than 255 are split into runs of 255 and a last, shorter run.
std::vector<uint8_t> encodeFrame(std::span<const uint8_t> pixels, uint16_t width, uint16_t height);
std::vector<uint8_t> encodeFrame(const Image& image);

// Multi-frame form: a big-endian frame count, then the records back to back.
std::vector<uint8_t> encodeImageSet(std::span<const Image* const> frames);

} // namespace tundrix
