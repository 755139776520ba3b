// Reading application/x-www-form-urlencoded text: a URL's query or a posted form's body.
#pragma once
#include "channel/http/http_types.h"

#include <string>
#include <string_view>

namespace tundrix::channel {

// The most fields one text may carry; the rest are dropped.
inline constexpr size_t MAX_FIELDS = 64;

// "%41" is the byte 0x41; with plusIsSpace, '+' is a space. A '%' without two hexadecimal digits after
// it stays as it is.
std::string percentDecode(std::string_view text, bool plusIsSpace);

// name=value pairs split at '&', both decoded; empty pairs are skipped.
Fields parseFormFields(std::string_view text);

} // namespace tundrix::channel

namespace tundrix::channel {

// Fills a request's path, query and fields from its target ("/path?query") and, for a urlencoded form,
// its body.
void readTarget(HttpRequest& request, std::string_view target);

} // namespace tundrix::channel
