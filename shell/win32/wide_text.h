// UTF-8 and the UTF-16 the Windows controls take, and the CR LF line ends of their multi-line texts.
#pragma once
#include <string>
#include <string_view>

namespace tundrix {

std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);
// Every LF becomes CR LF, as a multi-line edit control wants its lines.
std::wstring controlText(std::string_view utf8);

} // namespace tundrix
