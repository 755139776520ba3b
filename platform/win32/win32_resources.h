// The art and sounds as resources of the program file: image sets as RCDATA, the palette as a BITMAP,
// the sounds as WAVE, looked up by numeric id.
#pragma once
#include "platform/resource_store.h"

namespace tundrix {

class Win32Resources : public ResourceStore {
  public:
    // Resources of the running program file.
    std::span<const uint8_t> find(int id) const override;
};

} // namespace tundrix
