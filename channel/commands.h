// The tundrix-channel program's subcommands, on any streams, so that tests run them as the operator would.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace tundrix::channel {

// Where the default database lives: $XDG_DATA_HOME/tundrix-channel/channel.db, or under
// $HOME/.local/share; empty if neither is set.
std::string defaultDatabasePath(const char* xdgDataHome, const char* home);

struct CommandContext {
    std::istream& in;  // passwords are read from here
    std::ostream& out; // results, and the server's log
    std::ostream& err; // what went wrong
    std::string defaultDatabase;
    bool interactive = false; // in is a terminal: prompt and hide the typing
};

// Runs one command line (without the program's name); gives the exit status. "serve" returns once
// SIGINT or SIGTERM arrives, which the caller must have blocked in every thread before calling.
int runCommand(const std::vector<std::string>& args, CommandContext& context);

} // namespace tundrix::channel
