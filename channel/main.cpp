// tundrix-channel: the game channel's score server and its operator's commands.
#include "channel/commands.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    // Only the serving thread takes the stop signals: block them before any thread starts.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    tundrix::channel::CommandContext context{
        std::cin, std::cout, std::cerr,
        tundrix::channel::defaultDatabasePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
        isatty(STDIN_FILENO) != 0};
    return tundrix::channel::runCommand({argv + 1, argv + argc}, context);
}
