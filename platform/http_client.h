// One HTTP form post (or a plain GET) and its answer, as the score submission and the top ten need it
// (no curl here).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tundrix {

struct HttpPostRequest {
    bool https = false; // TLS to the server (libcurl speaks it); plain HTTP otherwise
    std::string host;   // a name or an address; an IPv6 address without brackets
    uint16_t port = 80;
    std::string path;
    std::string userAgent;
    std::string headerLine; // one extra request header, without a line end
    std::string body;
    bool get = false; // a GET of path instead of the post: no body is sent
    // The limits are the caller's, set on every request.
    size_t maxAnswerBytes = 0; // the answer is cut after this many bytes
    long connectTimeoutMs = 0;
    long totalTimeoutMs = 0; // the whole exchange, so a silent server cannot hold the game for good
};

enum class HttpOutcome {
    LibraryMissing, // the HTTP library or one of its functions is not on this machine
    NotConnected,   // nothing was sent: no handle, unknown host, connection refused or timed out
    Failed,         // connected, but the connection broke off while sending or reading
    TooSlow,        // connected and sent, but the answer had not come when totalTimeoutMs was up
    Answered,       // a complete HTTP answer (of any status) was read, perhaps cut at maxAnswerBytes
};

struct HttpPostResult {
    HttpOutcome outcome = HttpOutcome::Failed;
    int errorNumber = 0;        // the client's own error number when not Answered (curl: the CURLcode)
    std::string errorText;      // what went wrong, in words, when not Answered
    int status = 0;             // the HTTP status when Answered
    std::string answer;         // the answer's body when Answered, at most maxAnswerBytes bytes
    long retryAfterSeconds = 0; // when Answered: the wait the server's Retry-After asks for; 0 for none
};

class HttpClient {
  public:
    virtual ~HttpClient() = default;
    // Makes sure the HTTP library is usable. On false, errorText says what is missing; a later call
    // tries again.
    virtual bool ensureLoaded(std::string& errorText) = 0;
    // Posts request.body to request.path on host:port and reads the answer. Never throws.
    virtual HttpPostResult post(const HttpPostRequest& request) = 0;
};

} // namespace tundrix
