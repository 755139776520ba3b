// The few libcurl ABI numbers and function shapes the HTTP client uses, so no curl headers are needed.
#pragma once
#include <cstdint>

namespace tundrix::curl {

struct Handle;     // CURL
struct HeaderList; // struct curl_slist

using Code = int; // CURLcode

// Options (CURLoption): LONG 0, OBJECTPOINT 10000, FUNCTIONPOINT 20000.
inline constexpr int OPT_WRITEDATA = 10001;
inline constexpr int OPT_URL = 10002;
inline constexpr int OPT_ERRORBUFFER = 10010;
inline constexpr int OPT_POSTFIELDS = 10015;
inline constexpr int OPT_USERAGENT = 10018;
inline constexpr int OPT_HTTPHEADER = 10023;
inline constexpr int OPT_WRITEFUNCTION = 20011;
inline constexpr int OPT_POSTFIELDSIZE = 60;
inline constexpr int OPT_HTTPGET = 80;
inline constexpr int OPT_NOSIGNAL = 99;
inline constexpr int OPT_TIMEOUT_MS = 155;
inline constexpr int OPT_CONNECTTIMEOUT_MS = 156;

// Information (CURLINFO): LONG 0x200000, OFF_T 0x600000 (a 64-bit number).
inline constexpr int INFO_RESPONSE_CODE = 0x200000 + 2;
inline constexpr int INFO_REQUEST_SIZE = 0x200000 + 12;
inline constexpr int INFO_RETRY_AFTER = 0x600000 + 57; // seconds, from a delay or a date (curl 7.66 on)
using OffT = int64_t;

// Results (CURLcode).
inline constexpr Code E_OK = 0;
inline constexpr Code E_FAILED_INIT = 2;
inline constexpr Code E_COULDNT_CONNECT = 7;
inline constexpr Code E_WRITE_ERROR = 23;
inline constexpr Code E_OPERATION_TIMEDOUT = 28;
inline constexpr Code E_GOT_NOTHING = 52;

inline constexpr long GLOBAL_DEFAULT = 3;
inline constexpr int ERROR_SIZE = 256;

using WriteCallback = std::size_t (*)(char* data, std::size_t size, std::size_t count, void* user);

using GlobalInitFn = Code (*)(long flags);
using EasyInitFn = Handle* (*)();
using EasySetoptFn = Code (*)(Handle*, int option, ...);
using EasyPerformFn = Code (*)(Handle*);
using EasyGetinfoFn = Code (*)(Handle*, int info, ...);
using EasyStrerrorFn = const char* (*)(Code);
using EasyCleanupFn = void (*)(Handle*);
using SlistAppendFn = HeaderList* (*)(HeaderList*, const char*);
using SlistFreeAllFn = void (*)(HeaderList*);

} // namespace tundrix::curl
