// Reading "time" from both hives, and adding to it under a mutex named after the key.
#include "platform/win32/win32_play_time_store.h"

#include <algorithm>

namespace tundrix {

namespace {
// The key's class, as the game has always created it with.
char KEY_CLASS[] = "REG_DWORD";
} // namespace

RegistryPlayTime::RegistryPlayTime(std::string keyPath, HKEY machine, HKEY user)
    : keyPath_(std::move(keyPath)), machine_(machine), user_(user) {}

uint32_t RegistryPlayTime::read(HKEY hive) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
    // Up to four bytes of the value, whatever its type says; a shorter value reads as its low bytes.
    uint8_t bytes[4] = {};
    DWORD size = sizeof bytes;
    const LSTATUS status = RegQueryValueExA(key, VALUE_NAME, nullptr, nullptr, bytes, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return 0;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint32_t RegistryPlayTime::total() const {
    return std::max(read(machine_), read(user_));
}

std::optional<uint32_t> RegistryPlayTime::add(uint32_t ms) const {
    // One mutex per key for every copy of the game in this session: read, add and write are one step.
    std::string name = "Local\\tundrix-play-time-" + keyPath_;
    std::replace(name.begin() + 6, name.end(), '\\', '-');
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (!mutex) return std::nullopt;
    const DWORD waited = WaitForSingleObject(mutex, 5000);
    // WAIT_ABANDONED: a copy was killed while it held the mutex; its write either happened or not.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return std::nullopt;
    }
    std::optional<uint32_t> written;
    HKEY key = nullptr;
    if (RegCreateKeyExA(user_, keyPath_.c_str(), 0, KEY_CLASS, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const DWORD value = total() + ms; // modulo 2^32, as the total has always wrapped
        if (RegSetValueExA(key, VALUE_NAME, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof value) == ERROR_SUCCESS)
            written = value;
        RegFlushKey(key);
        RegCloseKey(key);
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return written;
}

} // namespace tundrix
