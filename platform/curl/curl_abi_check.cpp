// Checks the written-down libcurl ABI numbers against curl's own header, where that header is installed.
#include "platform/curl/curl_abi.h"

#if __has_include(<curl/curl.h>)
#include <curl/curl.h>

namespace tundrix::curl {

static_assert(OPT_WRITEDATA == static_cast<int>(CURLOPT_WRITEDATA));
static_assert(OPT_URL == static_cast<int>(CURLOPT_URL));
static_assert(OPT_ERRORBUFFER == static_cast<int>(CURLOPT_ERRORBUFFER));
static_assert(OPT_POSTFIELDS == static_cast<int>(CURLOPT_POSTFIELDS));
static_assert(OPT_USERAGENT == static_cast<int>(CURLOPT_USERAGENT));
static_assert(OPT_HTTPHEADER == static_cast<int>(CURLOPT_HTTPHEADER));
static_assert(OPT_WRITEFUNCTION == static_cast<int>(CURLOPT_WRITEFUNCTION));
static_assert(OPT_POSTFIELDSIZE == static_cast<int>(CURLOPT_POSTFIELDSIZE));
static_assert(OPT_HTTPGET == static_cast<int>(CURLOPT_HTTPGET));
static_assert(OPT_NOSIGNAL == static_cast<int>(CURLOPT_NOSIGNAL));
static_assert(OPT_TIMEOUT_MS == static_cast<int>(CURLOPT_TIMEOUT_MS));
static_assert(OPT_CONNECTTIMEOUT_MS == static_cast<int>(CURLOPT_CONNECTTIMEOUT_MS));
static_assert(INFO_RESPONSE_CODE == static_cast<int>(CURLINFO_RESPONSE_CODE));
static_assert(INFO_REQUEST_SIZE == static_cast<int>(CURLINFO_REQUEST_SIZE));
static_assert(INFO_RETRY_AFTER == static_cast<int>(CURLINFO_RETRY_AFTER));
static_assert(sizeof(OffT) == sizeof(curl_off_t));
static_assert(E_OK == static_cast<int>(CURLE_OK));
static_assert(E_FAILED_INIT == static_cast<int>(CURLE_FAILED_INIT));
static_assert(E_COULDNT_CONNECT == static_cast<int>(CURLE_COULDNT_CONNECT));
static_assert(E_WRITE_ERROR == static_cast<int>(CURLE_WRITE_ERROR));
static_assert(E_OPERATION_TIMEDOUT == static_cast<int>(CURLE_OPERATION_TIMEDOUT));
static_assert(E_GOT_NOTHING == static_cast<int>(CURLE_GOT_NOTHING));
static_assert(GLOBAL_DEFAULT == CURL_GLOBAL_DEFAULT);
static_assert(ERROR_SIZE == CURL_ERROR_SIZE);
static_assert(sizeof(Code) == sizeof(CURLcode));

} // namespace tundrix::curl
#endif
