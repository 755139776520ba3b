// Finds the server's accepted sockets under /proc/self/fd and shuts down the ones past their deadline.
#include "channel/connection_reaper.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace tundrix::channel {
namespace {

int portOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// The socket's inode if fd is a connection accepted on port (not the listening socket, not a client).
bool acceptedOn(int fd, int port, ino_t& inode) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) return false;
    sockaddr_storage local{}, peer{};
    socklen_t size = sizeof local;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0 || portOf(local) != port)
        return false;
    size = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0) return false;
    inode = st.st_ino;
    return true;
}

} // namespace

ConnectionReaper::ConnectionReaper(int port, std::chrono::milliseconds deadline)
    : port_(port), deadline_(deadline), thread_([this] { watch(); }) {}

ConnectionReaper::~ConnectionReaper() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ConnectionReaper::watch() {
    const auto interval =
        std::clamp(deadline_ / 4, std::chrono::milliseconds(20), std::chrono::milliseconds(250));
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, interval, [this] { return stopping_; }))
        scan(std::chrono::steady_clock::now());
}

void ConnectionReaper::scan(std::chrono::steady_clock::time_point now) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return;
    std::set<std::pair<int, ino_t>> open;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        ino_t inode = 0;
        if (*end != '\0' || end == entry->d_name || fd == dirfd(dir) ||
            !acceptedOn(static_cast<int>(fd), port_, inode))
            continue;
        const std::pair key(static_cast<int>(fd), inode);
        open.insert(key);
        auto& since = since_.emplace(key, now).first->second;
        int unread = 0;
        if (ioctl(static_cast<int>(fd), FIONREAD, &unread) == 0 && unread > 0) since = now;
        if (now - since > deadline_) shutdown(static_cast<int>(fd), SHUT_RDWR);
    }
    closedir(dir);
    std::erase_if(since_, [&open](const auto& item) { return !open.count(item.first); });
}

} // namespace tundrix::channel
