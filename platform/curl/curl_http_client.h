// The HTTP client of the score submission, on libcurl loaded at run time.
#pragma once
#include "platform/curl/curl_library.h"
#include "platform/http_client.h"

namespace tundrix {

// Keeps the loaded library for its whole life; each post uses its own easy handle. Error numbers are
// curl's CURLcode; a library or function that is missing is reported as HttpOutcome::LibraryMissing.
class CurlHttpClient : public HttpClient {
  public:
    explicit CurlHttpClient(std::vector<std::string> libraryNames = CurlLibrary::defaultNames());

    bool ensureLoaded(std::string& errorText) override;
    HttpPostResult post(const HttpPostRequest& request) override;

  private:
    CurlLibrary library_;
};

} // namespace tundrix
