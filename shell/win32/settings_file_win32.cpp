// The settings files on Windows: in the user's application data folder, read only when they are plain
// files, written to a temporary file that is flushed and then moved over the old one; LockFileEx.
#include "shell/play_time.h"

#include <windows.h>

#include <shlobj.h>

#include <thread>

namespace tundrix {

std::filesystem::path userSettingsFolder() {
    wchar_t appData[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData) !=
        S_OK)
        return {};
    return std::filesystem::path(appData) / "lumora" / "tundrix";
}

std::optional<std::string> readSettingsFile(const std::filesystem::path& file, size_t maxBytes) {
    if (file.empty()) return std::nullopt;
    // A folder cannot be opened this way, and only a file on a disk is read.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    size_t got = 0;
    bool failed = false;
    while (got < maxBytes) {
        DWORD n = 0;
        if (!ReadFile(h, text.data() + got, static_cast<DWORD>(maxBytes - got), &n, nullptr)) failed = true;
        if (failed || n == 0) break;
        got += n;
    }
    CloseHandle(h);
    if (failed) return std::nullopt;
    text.resize(got);
    return text;
}

namespace {
// Six letters and digits after the file's name, as POSIX's mkstemp makes them, so that the same clean-up
// of a killed write's leftovers finds them.
std::filesystem::path temporaryBeside(const std::filesystem::path& file, unsigned attempt) {
    static constexpr char LETTERS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    LARGE_INTEGER ticks{};
    QueryPerformanceCounter(&ticks);
    uint64_t seed = (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
                    static_cast<uint64_t>(ticks.QuadPart) ^ (static_cast<uint64_t>(attempt) * 2654435761u);
    std::wstring name = file.filename().wstring() + L".";
    for (int i = 0; i < 6; ++i) {
        name += static_cast<wchar_t>(LETTERS[seed % 62]);
        seed = seed / 62 + static_cast<uint64_t>(i + 1) * 0x9E3779B97F4A7C15ull;
    }
    return file.parent_path() / name;
}

// How long a write waits for a reader of the file it replaces: fifty tries a fiftieth of a second apart.
constexpr int REPLACE_TRIES = 50;
constexpr DWORD REPLACE_RETRY_MS = 20;

} // namespace

bool writeSettingsFile(const std::filesystem::path& file, std::string_view contents) {
    if (file.empty() || !file.has_parent_path()) return false;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) return false;

    std::filesystem::path temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 8 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = temporaryBeside(file, attempt);
        h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < contents.size()) {
        DWORD n = 0;
        ok = WriteFile(h, contents.data() + done, static_cast<DWORD>(contents.size() - done), &n, nullptr) &&
             n > 0;
        done += n;
    }
    // On the disk before the move makes it the file, or a crash could leave it empty.
    if (ok && !FlushFileBuffers(h)) ok = false;
    if (!CloseHandle(h)) ok = false;
    // A file another copy is reading at this moment cannot be replaced; the read takes a moment only.
    for (int tries = 0; ok; ++tries) {
        if (MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            break;
        const DWORD why = GetLastError();
        const bool beingRead = why == ERROR_ACCESS_DENIED || why == ERROR_SHARING_VIOLATION;
        if (!beingRead || tries >= REPLACE_TRIES)
            ok = false;
        else
            Sleep(REPLACE_RETRY_MS);
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

void withFileLock(const std::filesystem::path& lockFile, const std::function<void()>& work) {
    HANDLE h = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const auto giveUp = std::chrono::steady_clock::now() + SETTINGS_LOCK_PATIENCE;
    OVERLAPPED whole{};
    while (h != INVALID_HANDLE_VALUE &&
           !LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole) &&
           GetLastError() == ERROR_LOCK_VIOLATION && std::chrono::steady_clock::now() <= giveUp)
        std::this_thread::sleep_for(SETTINGS_LOCK_RETRY);
    work();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h); // closing lets go of the lock
}

} // namespace tundrix
