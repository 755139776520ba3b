// One form POST or GET through libcurl with a bounded answer and bounded waiting.
#include "platform/curl/curl_http_client.h"

#include <algorithm>
#include <memory>

namespace tundrix {
namespace {

struct AnswerSink {
    std::string* answer;
    size_t limit;
    bool full = false;
};

// Keeps the first `limit` bytes; once they are in, stops the transfer (curl then reports a write
// error, which the caller knows to be the cut).
size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<AnswerSink*>(user);
    const size_t total = size * count;
    const size_t room = sink->limit - sink->answer->size();
    const size_t take = std::min(total, room);
    sink->answer->append(data, take);
    if (take < total) sink->full = true;
    return take;
}

} // namespace

CurlHttpClient::CurlHttpClient(std::vector<std::string> libraryNames) : library_(std::move(libraryNames)) {}

bool CurlHttpClient::ensureLoaded(std::string& errorText) {
    return library_.load(errorText);
}

HttpPostResult CurlHttpClient::post(const HttpPostRequest& request) {
    HttpPostResult result;
    if (!library_.load(result.errorText)) {
        result.outcome = HttpOutcome::LibraryMissing;
        result.errorNumber = -1;
        return result;
    }
    const CurlFunctions& fn = library_.functions();

    // Everything curl points at lives until after the easy handle is cleaned up.
    const bool ipv6 = request.host.find(':') != std::string::npos;
    std::string url = request.https ? "https://" : "http://";
    if (ipv6) url += '[';
    url += request.host;
    if (ipv6) url += ']';
    url += ':';
    url += std::to_string(request.port);
    url += request.path;
    char errorBuffer[curl::ERROR_SIZE] = {};
    AnswerSink sink{&result.answer, request.maxAnswerBytes};
    curl::HeaderList* headers = fn.slistAppend(nullptr, request.headerLine.c_str());
    // curl would otherwise ask for "100 Continue" on larger bodies and wait for it.
    if (headers) headers = fn.slistAppend(headers, "Expect:");
    std::unique_ptr<curl::HeaderList, curl::SlistFreeAllFn> headerList(headers, fn.slistFreeAll);

    std::unique_ptr<curl::Handle, curl::EasyCleanupFn> easy(fn.easyInit(), fn.easyCleanup);
    if (!easy || !headers) {
        result.outcome = HttpOutcome::NotConnected;
        result.errorNumber = curl::E_FAILED_INIT;
        result.errorText = fn.easyStrerror(curl::E_FAILED_INIT);
        return result;
    }
    curl::Handle* h = easy.get();
    fn.easySetopt(h, curl::OPT_NOSIGNAL, 1L);
    fn.easySetopt(h, curl::OPT_ERRORBUFFER, errorBuffer);
    fn.easySetopt(h, curl::OPT_URL, url.c_str());
    fn.easySetopt(h, curl::OPT_USERAGENT, request.userAgent.c_str());
    fn.easySetopt(h, curl::OPT_HTTPHEADER, headerList.get());
    if (request.get) {
        fn.easySetopt(h, curl::OPT_HTTPGET, 1L);
    } else {
        // The body is not copied: request.body outlives the transfer.
        fn.easySetopt(h, curl::OPT_POSTFIELDSIZE, static_cast<long>(request.body.size()));
        fn.easySetopt(h, curl::OPT_POSTFIELDS, request.body.c_str());
    }
    fn.easySetopt(h, curl::OPT_WRITEFUNCTION, static_cast<curl::WriteCallback>(&collect));
    fn.easySetopt(h, curl::OPT_WRITEDATA, static_cast<void*>(&sink));
    fn.easySetopt(h, curl::OPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
    fn.easySetopt(h, curl::OPT_TIMEOUT_MS, request.totalTimeoutMs);

    const curl::Code code = fn.easyPerform(h);
    if (code == curl::E_OK || (code == curl::E_WRITE_ERROR && sink.full)) {
        long status = 0;
        fn.easyGetinfo(h, curl::INFO_RESPONSE_CODE, &status);
        result.outcome = HttpOutcome::Answered;
        result.status = static_cast<int>(status);
        // Nothing when the server named no wait, or when the library is older than this question.
        curl::OffT wait = 0;
        if (fn.easyGetinfo(h, curl::INFO_RETRY_AFTER, &wait) == curl::E_OK && wait > 0)
            result.retryAfterSeconds = static_cast<long>(wait);
        return result;
    }

    // Whether the request went out tells a server that could not be reached (unknown host, refused,
    // connect time-out) from one that failed us after taking the form: by breaking off, or by not
    // answering within the whole exchange's time.
    long requestBytes = 0;
    fn.easyGetinfo(h, curl::INFO_REQUEST_SIZE, &requestBytes);
    result.outcome = requestBytes == 0                    ? HttpOutcome::NotConnected
                     : code == curl::E_OPERATION_TIMEDOUT ? HttpOutcome::TooSlow
                                                          : HttpOutcome::Failed;
    result.errorNumber = code;
    result.errorText = errorBuffer[0] ? std::string(errorBuffer) : std::string(fn.easyStrerror(code));
    result.answer.clear();
    return result;
}

} // namespace tundrix
