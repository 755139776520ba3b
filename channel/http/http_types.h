// The channel's own view of one HTTP exchange: what the site's handlers read and write, whichever
// library carries the bytes.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tundrix::channel {

using Fields = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method; // "GET", "POST", ...
    std::string path;   // percent-decoded, without the query
    std::string query;  // the raw text after '?'
    Fields headers;     // as sent, in order
    std::string body;
    std::string peer;   // the address the connection came from
    std::string client; // the client's own address: the peer's, or what a trusted proxy says
    Fields fields;      // the query's fields, then a form body's

    // The first header of that name (any case), "" if there is none.
    std::string header(std::string_view name) const;
    // The first field of that name, "" if there is none.
    std::string field(std::string_view name) const;
    bool hasField(std::string_view name) const;
};

struct HttpResponse {
    int status = 200;
    Fields headers;
    std::string body;
    std::string note; // what became of the request, for the server's log line only; never sent

    void setContent(std::string content, std::string_view contentType);
    // Sets a header, replacing one of the same name.
    void setHeader(std::string_view name, std::string value);
    std::string header(std::string_view name) const;
};

// Sends the answer. Call it exactly once, from any thread, now or later.
using Reply = std::function<void(HttpResponse)>;
using HttpHandler = std::function<void(HttpRequest, Reply)>;

// ASCII case-insensitive equality, for header names.
bool sameName(std::string_view a, std::string_view b);

} // namespace tundrix::channel
