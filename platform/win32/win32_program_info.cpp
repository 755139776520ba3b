// GetModuleFileNameA of the program itself, and GetSystemInfo's processor type.
#include "platform/win32/win32_program_info.h"

#include <windows.h>

namespace tundrix {

std::string programFilePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2); // cut: a longer path
    }
}

int processorTypeCode() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<int>(info.dwProcessorType);
}

} // namespace tundrix
