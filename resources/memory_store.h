// A resource store over bytes held in memory, for tests and tools.
#pragma once
#include "platform/resource_store.h"

#include <map>
#include <vector>

namespace tundrix {

class MemoryResourceStore : public ResourceStore {
  public:
    void put(int id, std::vector<uint8_t> bytes) { items_[id] = std::move(bytes); }
    std::span<const uint8_t> find(int id) const override {
        auto it = items_.find(id);
        if (it == items_.end()) return {};
        return it->second;
    }

  private:
    std::map<int, std::vector<uint8_t>> items_;
};

} // namespace tundrix
