// A helper of the play-time tests: adds 1 ms to the play time under KEY again and again, and after each
// addition that was written says how many there have been on its standard output, until it is killed.
// Usage: tundrix_play_time_writer KEY
#include "platform/win32/win32_play_time_store.h"

#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const tundrix::RegistryPlayTime store(argv[1]);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (unsigned long n = 1;; ++n) {
        if (!store.add(1)) return 1;
        const std::string line = std::to_string(n) + "\n";
        DWORD written = 0;
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}
