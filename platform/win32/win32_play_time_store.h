// The total play time in the registry: the machine-wide value the game always kept is read, the user's
// own value is read and written (an ordinary user cannot write the machine-wide hive).
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace tundrix {

class RegistryPlayTime {
  public:
    // "time" under keyPath in both hives. Tests give hives and a key of their own.
    explicit RegistryPlayTime(std::string keyPath = "SOFTWARE\\lumora\\tundrix",
                              HKEY machine = HKEY_LOCAL_MACHINE, HKEY user = HKEY_CURRENT_USER);

    // The larger of the two totals, in milliseconds; 0 where a value is missing or unreadable.
    uint32_t total() const;
    // Adds ms to the larger total and writes it into the user's hive, with every copy of the program
    // taking turns (a named mutex, which a copy killed while holding it hands on). Returns the total
    // written; nothing when the value could not be written, so the caller can add the time later.
    std::optional<uint32_t> add(uint32_t ms) const;

    static constexpr char VALUE_NAME[] = "time";

  private:
    uint32_t read(HKEY hive) const;

    std::string keyPath_;
    HKEY machine_;
    HKEY user_;
};

} // namespace tundrix
