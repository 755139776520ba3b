// FindResource, LoadResource and LockResource in the program's own module, trying each type in turn.
#include "platform/win32/win32_resources.h"

#include <windows.h>

namespace tundrix {

std::span<const uint8_t> Win32Resources::find(int id) const {
    if (id <= 0 || id > 0xFFFF) return {};
    HMODULE self = GetModuleHandleA(nullptr);
    // A loaded resource stays mapped for the life of the program: nothing is freed.
    const LPCSTR types[] = {RT_RCDATA, "WAVE", RT_BITMAP};
    for (LPCSTR type : types) {
        HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), type);
        if (!found) continue;
        HGLOBAL loaded = LoadResource(self, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes) {
            OutputDebugStringA("lock resource failed\n");
            return {};
        }
        return {static_cast<const uint8_t*>(bytes), SizeofResource(self, found)};
    }
    return {};
}

} // namespace tundrix
