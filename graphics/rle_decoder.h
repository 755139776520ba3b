// Decodes one frame's escape-byte run-length token stream into a pixel block.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace tundrix {

class RleDecoder {
  public:
    static constexpr int32_t DAMAGED = -1;

    // Decodes pixelCount pixels from source (escape byte first). Returns the number of source bytes
    // consumed, escape byte included, or DAMAGED when the stream ends early or a run reaches past the
    // last pixel; nothing is ever read past source or written past the block.
    int32_t decode(std::span<const uint8_t> source, int32_t pixelCount);

    int32_t pixelCount() const { return static_cast<int32_t>(pixels_.size()); }
    std::span<const uint8_t> pixels() const { return pixels_; }

  private:
    std::vector<uint8_t> pixels_;
};

} // namespace tundrix
