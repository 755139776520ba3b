// Walks the bytes of one resource (or a file of that name), big-endian, never past the end.
#pragma once
#include "platform/resource_store.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix {

// A resource is named by its numeric id, or by a string that is tried as an id ("263") and then as a
// file path.
struct ResourceName {
    ResourceName(int id) : id(id) {}
    ResourceName(std::string text) : text(std::move(text)) {}
    ResourceName(const char* text) : text(text) {}
    int id = -1;
    std::string text;
};

class ResourceReader {
  public:
    bool open(const ResourceStore& store, const ResourceName& name);
    // Opens bytes the caller keeps alive (tests and tools).
    void openBytes(std::span<const uint8_t> bytes);

    // Big-endian 16-bit value at the position; a value cut short by the end reads as 0 and the
    // position stops at the end.
    uint16_t readU16();
    // True if the zero-terminated text at the position equals text; then skips it and its zero.
    bool matchMagic(std::string_view text);
    // The bytes from the position to the end (empty when there is no data).
    std::span<const uint8_t> cursor() const;
    void skip(uint32_t n);
    void skipToEnd() { position_ = size(); }

    uint32_t size() const { return static_cast<uint32_t>(data_.size()); }
    uint32_t position() const { return position_; }

  private:
    std::span<const uint8_t> data_;
    std::vector<uint8_t> owned_;
    uint32_t position_ = 0;
};

} // namespace tundrix
