// The resource store over the art and sounds built into the program.
#pragma once
#include "platform/resource_store.h"

namespace tundrix {

// Image sets 246, 256, 257 and 260 to 266, the palette bitmap 139 and the WAVE sounds 305, 308 to 315
// and 317, and the window icon (resources/window_icon.h), looked up by id.
class EmbeddedResources : public ResourceStore {
  public:
    std::span<const uint8_t> find(int id) const override;
};

} // namespace tundrix
