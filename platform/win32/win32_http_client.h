// The HTTP client of the score submission and the top ten on WinInet, loaded by name at run time (never
// linked).
#pragma once
#include "platform/http_client.h"

#include <string>

namespace tundrix {

// Error numbers are WinInet's own less its base of 12000 (12029 "cannot connect" is 29), so that the
// submission's transport offset gives WinInet's number back; other failures count as WinInet's
// "internal error" (12004). A library or function that is missing is HttpOutcome::LibraryMissing.
class WinInetHttpClient : public HttpClient {
  public:
    explicit WinInetHttpClient(std::string libraryName = "wininet.dll");

    bool ensureLoaded(std::string& errorText) override;
    HttpPostResult post(const HttpPostRequest& request) override;

    static constexpr int ERROR_BASE = 12000;
    static constexpr int INTERNAL_ERROR = 4;

  private:
    bool load(std::string& errorText);

    std::string libraryName_;
    bool loaded_ = false;
    struct Bound {
        void* open = nullptr;
        void* connect = nullptr;
        void* readFile = nullptr;
        void* lastResponseInfo = nullptr;
        void* openRequest = nullptr;
        void* sendRequest = nullptr;
        void* closeHandle = nullptr;
        void* setOption = nullptr; // optional: time-outs
        void* queryInfo = nullptr; // optional: the HTTP status
    } fn_;
    void* module_ = nullptr;
};

} // namespace tundrix
