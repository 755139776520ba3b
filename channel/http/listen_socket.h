// The server's listening socket: an address and port parsed from the command line, bound with a
// backlog that absorbs bursts of connects.
#pragma once
#include <string>

namespace tundrix::channel {

// "host:port", "[v6]:port" or ":port" (every IPv4 address); false if it is none of these.
bool parseListenAddress(const std::string& text, std::string& host, int& port);

struct ListenSocket {
    int fd = -1;
    int port = 0; // the port bound (the one the system chose when asked for 0)
};

// A non-blocking socket listening on a numeric IPv4 or IPv6 address; fd -1 and the reason on failure.
ListenSocket openListenSocket(const std::string& host, int port, int backlog, std::string& error);

// Lets this process hold as many descriptors as its hard limit allows; gives the limit now in force.
unsigned raiseDescriptorLimit();

} // namespace tundrix::channel
