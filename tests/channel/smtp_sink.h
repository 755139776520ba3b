// The test folder's SMTP relay (smtp_sink.py, on Debian's python3 with aiosmtpd) run beside a test: the
// port it listens on and the mails it took, in the order they came.
#pragma once
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tundrix::channel::test {

class SmtpSink {
  public:
    // False when the sink cannot start here (no python3 with aiosmtpd): the caller skips.
    bool start(const std::filesystem::path& folder) {
        folder_ = folder;
        std::filesystem::create_directories(folder_);
        int out[2];
        if (pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string script = TUNDRIX_SMTP_SINK, where = folder_.string();
        char* argv[] = {const_cast<char*>("/usr/bin/python3"), const_cast<char*>(script.c_str()),
                        const_cast<char*>(where.c_str()), nullptr};
        const bool spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (!spawned) pid_ = 0;
        FILE* said = fdopen(out[0], "r");
        if (said && fscanf(said, "%d", &port) != 1) port = 0;
        if (said) fclose(said);
        return pid_ != 0 && port > 0;
    }
    ~SmtpSink() {
        if (pid_ == 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

    // The mails taken so far.
    std::vector<std::string> mails() const {
        std::vector<std::string> out;
        for (int n = 1;; ++n) {
            std::ifstream in(folder_ / (std::to_string(n) + ".txt"));
            if (!in) return out;
            std::ostringstream text;
            text << in.rdbuf();
            out.push_back(text.str());
        }
    }
    // The mails once there are count of them, or what there is after a few seconds.
    std::vector<std::string> waitFor(size_t count) const {
        for (int i = 0; i < 500; ++i) {
            const std::vector<std::string> now = mails();
            if (now.size() >= count) return now;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return mails();
    }

    int port = 0;

  private:
    std::filesystem::path folder_;
    pid_t pid_ = 0;
};

} // namespace tundrix::channel::test
