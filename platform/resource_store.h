// Lookup of the program's embedded resources by numeric id.
#pragma once
#include <cstdint>
#include <span>

namespace tundrix {

class ResourceStore {
  public:
    virtual ~ResourceStore() = default;
    // The immutable bytes of resource id, or an empty span when there is no such resource.
    // The bytes stay valid for the life of the store.
    virtual std::span<const uint8_t> find(int id) const = 0;
};

} // namespace tundrix
