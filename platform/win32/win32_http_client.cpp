// LoadLibraryA("wininet.dll"), the seven functions the post needs by name (and two optional ones), and one
// form POST (or a plain GET) with its answer read up to the limit.
#include "platform/win32/win32_http_client.h"

#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <string_view>

namespace tundrix {

namespace {

using OpenFn = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using ConnectFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD,
                                     DWORD_PTR);
using ReadFileFn = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
using LastResponseInfoFn = BOOL(WINAPI*)(LPDWORD, LPSTR, LPDWORD);
using OpenRequestFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                         DWORD_PTR);
using SendRequestFn = BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
using CloseHandleFn = BOOL(WINAPI*)(HINTERNET);
using SetOptionFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);
using QueryInfoFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);

// Retry-After's delay in seconds (digits, perhaps between spaces); 0 for anything else.
long retryAfterSeconds(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 9) return 0;
    long seconds = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        seconds = seconds * 10 + (c - '0');
    }
    return seconds;
}

template <typename F> F as(void* p) {
    return reinterpret_cast<F>(p);
}

// Closes a WinInet handle when it goes out of scope.
struct Handle {
    HINTERNET h = nullptr;
    CloseHandleFn close = nullptr;
    ~Handle() {
        if (h) close(h);
    }
};

} // namespace

WinInetHttpClient::WinInetHttpClient(std::string libraryName) : libraryName_(std::move(libraryName)) {}

bool WinInetHttpClient::ensureLoaded(std::string& errorText) {
    return load(errorText);
}

bool WinInetHttpClient::load(std::string& errorText) {
    if (loaded_) return true;
    // Kept loaded for the rest of the run once every function was found.
    HMODULE module = LoadLibraryA(libraryName_.c_str());
    if (!module) {
        errorText = "Kunde inte hitta WinInet.dll";
        return false;
    }
    Bound fn;
    const struct {
        void** slot;
        const char* name;
    } needed[] = {{&fn.open, "InternetOpenA"},
                  {&fn.connect, "InternetConnectA"},
                  {&fn.readFile, "InternetReadFile"},
                  {&fn.lastResponseInfo, "InternetGetLastResponseInfoA"},
                  {&fn.openRequest, "HttpOpenRequestA"},
                  {&fn.sendRequest, "HttpSendRequestA"},
                  {&fn.closeHandle, "InternetCloseHandle"}};
    for (const auto& f : needed) {
        *f.slot = reinterpret_cast<void*>(GetProcAddress(module, f.name));
        if (!*f.slot) {
            errorText = std::string("Kunde inte hitta funktionen ") + f.name + " i WinInet.dll";
            FreeLibrary(module);
            return false;
        }
    }
    fn.setOption = reinterpret_cast<void*>(GetProcAddress(module, "InternetSetOptionA"));
    fn.queryInfo = reinterpret_cast<void*>(GetProcAddress(module, "HttpQueryInfoA"));
    fn_ = fn;
    module_ = module;
    loaded_ = true;
    return true;
}

HttpPostResult WinInetHttpClient::post(const HttpPostRequest& request) {
    HttpPostResult result;
    if (!load(result.errorText)) {
        result.outcome = HttpOutcome::LibraryMissing;
        result.errorNumber = -1;
        return result;
    }
    const auto close = as<CloseHandleFn>(fn_.closeHandle);
    // What went wrong, from the calling thread's last error: WinInet's number and its own words for it.
    auto fail = [&](HttpOutcome outcome) {
        const DWORD error = GetLastError();
        const bool wininet =
            error > static_cast<DWORD>(ERROR_BASE) && error < static_cast<DWORD>(ERROR_BASE + 200);
        result.outcome = outcome;
        result.errorNumber = wininet ? static_cast<int>(error) - ERROR_BASE : INTERNAL_ERROR;
        char text[512] = {};
        const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       module_, error, 0, text, sizeof text, nullptr);
        std::string words(text, n);
        while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
            words.pop_back();
        // A server's own words about the failure, when WinInet kept any.
        char info[8192] = {};
        DWORD infoError = 0, infoSize = sizeof info;
        if (as<LastResponseInfoFn>(fn_.lastResponseInfo)(&infoError, info, &infoSize) && infoSize > 0 &&
            words.empty())
            words.assign(info, std::min<DWORD>(infoSize, sizeof info));
        result.errorText = "WinInet " + std::to_string(error) + (words.empty() ? "" : ": " + words);
        result.answer.clear();
        return result;
    };

    Handle internet{
        as<OpenFn>(fn_.open)(request.userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0),
        close};
    if (!internet.h) return fail(HttpOutcome::NotConnected);
    // Bounded waiting, so a silent server cannot hold a post thread for good: on every handle, as WinInet
    // takes them from whichever it looks at.
    auto bound = [&](HINTERNET h) {
        if (!fn_.setOption) return;
        DWORD connectMs = static_cast<DWORD>(std::max(1L, request.connectTimeoutMs));
        DWORD totalMs = static_cast<DWORD>(std::max(1L, request.totalTimeoutMs));
        const auto set = as<SetOptionFn>(fn_.setOption);
        set(h, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof connectMs);
        set(h, INTERNET_OPTION_SEND_TIMEOUT, &totalMs, sizeof totalMs);
        set(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &totalMs, sizeof totalMs);
    };
    bound(internet.h);
    Handle connection{as<ConnectFn>(fn_.connect)(internet.h, request.host.c_str(), request.port, "", "",
                                                 INTERNET_SERVICE_HTTP, 0, 0),
                      close};
    if (!connection.h) return fail(HttpOutcome::NotConnected);
    // A GET asks the server itself each time, never WinInet's cache, and sends no body.
    const DWORD flags = (request.https ? INTERNET_FLAG_SECURE : 0) |
                        (request.get ? INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE : 0);
    Handle req{as<OpenRequestFn>(fn_.openRequest)(connection.h, request.get ? "GET" : "POST",
                                                  request.path.c_str(), nullptr, nullptr, nullptr, flags, 0),
               close};
    if (!req.h) return fail(HttpOutcome::NotConnected);
    bound(req.h);
    std::string body = request.get ? std::string() : request.body; // WinInet takes it as a writable pointer
    const DWORD started = GetTickCount();
    // The whole exchange's time is up: WinInet bounds each wait on its own, and names an answer that did
    // not come "timed out" on Windows, "connection aborted" on Wine, so the time it took tells.
    auto outOfTime = [&] { return GetTickCount() - started >= static_cast<DWORD>(request.totalTimeoutMs); };
    if (!as<SendRequestFn>(fn_.sendRequest)(
            req.h, request.headerLine.c_str(), static_cast<DWORD>(request.headerLine.size()),
            body.empty() ? nullptr : body.data(), static_cast<DWORD>(body.size()))) {
        const DWORD error = GetLastError();
        // Only these mean that nothing reached a server.
        const bool unreached =
            error == ERROR_INTERNET_CANNOT_CONNECT || error == ERROR_INTERNET_NAME_NOT_RESOLVED ||
            error == ERROR_INTERNET_INVALID_URL || error == ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        const bool tooSlow = !unreached && (error == ERROR_INTERNET_TIMEOUT || outOfTime());
        SetLastError(error);
        return fail(unreached ? HttpOutcome::NotConnected
                    : tooSlow ? HttpOutcome::TooSlow
                              : HttpOutcome::Failed);
    }
    DWORD status = 200, size = sizeof status;
    if (fn_.queryInfo) {
        const auto query = as<QueryInfoFn>(fn_.queryInfo);
        // No status line: the server hung up without a word (Wine then hands over an empty "answer").
        if (!query(req.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
            status < 100 || status > 599) {
            SetLastError(ERROR_INTERNET_CONNECTION_ABORTED);
            return fail(HttpOutcome::Failed);
        }
        // A wait in seconds; a date instead names no wait we count on.
        char wait[32] = {};
        DWORD waitSize = sizeof wait - 1;
        if (query(req.h, HTTP_QUERY_RETRY_AFTER, wait, &waitSize, nullptr))
            result.retryAfterSeconds = retryAfterSeconds(std::string_view(wait, waitSize));
    }
    // The answer up to the limit, in as many reads as the network hands it over in, within the exchange's
    // time however slowly it trickles.
    const auto read = as<ReadFileFn>(fn_.readFile);
    char chunk[4096];
    while (result.answer.size() < request.maxAnswerBytes) {
        DWORD got = 0;
        const DWORD want =
            static_cast<DWORD>(std::min(sizeof chunk, request.maxAnswerBytes - result.answer.size()));
        if (!read(req.h, chunk, want, &got))
            return fail(outOfTime() ? HttpOutcome::TooSlow : HttpOutcome::Failed);
        if (got == 0) break;
        result.answer.append(chunk, got);
        if (outOfTime() && result.answer.size() < request.maxAnswerBytes) {
            SetLastError(ERROR_INTERNET_TIMEOUT);
            return fail(HttpOutcome::TooSlow);
        }
    }
    result.outcome = HttpOutcome::Answered;
    result.status = static_cast<int>(status);
    return result;
}

} // namespace tundrix
