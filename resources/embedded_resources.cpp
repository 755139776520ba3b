// Looks resources up in the table of embedded files.
#include "resources/embedded_resources.h"

#include "resources/embedded_table.h"

namespace tundrix {

std::span<const uint8_t> EmbeddedResources::find(int id) const {
    for (const EmbeddedEntry& e : embeddedEntries()) {
        if (e.id == id) return {e.begin, static_cast<size_t>(e.end - e.begin)};
    }
    return {};
}

} // namespace tundrix
