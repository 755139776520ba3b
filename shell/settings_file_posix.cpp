// The settings files on POSIX: a non-blocking read of regular files only; write, fsync, rename; flock.
#include "shell/play_time.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tundrix {

std::filesystem::path userSettingsFolder() {
    return settingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::optional<std::string> readSettingsFile(const std::filesystem::path& file, size_t maxBytes) {
    if (file.empty()) return std::nullopt;
    // Non-blocking, so a named pipe put in the file's place cannot hold up the start; only a regular file
    // is read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    size_t got = 0;
    bool failed = false;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd, text.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    text.resize(got);
    return text;
}

bool writeSettingsFile(const std::filesystem::path& file, std::string_view contents) {
    if (file.empty() || !file.has_parent_path()) return false;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) return false;

    std::string temp = file.string() + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = true;
    const char* p = contents.data();
    size_t left = contents.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    // The data must be on disk before the rename makes it the file, or a crash could leave it empty.
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), file.c_str()) != 0) ok = false;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

void withFileLock(const std::filesystem::path& lockFile, const std::function<void()>& work) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
    const auto giveUp = std::chrono::steady_clock::now() + SETTINGS_LOCK_PATIENCE;
    while (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR) &&
           std::chrono::steady_clock::now() <= giveUp)
        std::this_thread::sleep_for(SETTINGS_LOCK_RETRY);
    work();
    if (fd >= 0) ::close(fd); // closing lets go of the lock
}

} // namespace tundrix
