// Opening a web page in the user's default browser (ShellExecuteA with the "open" verb).
#pragma once
#include <string>

namespace tundrix {

// Fire and forget: whether a browser came up is not looked at.
void openWebPage(const std::string& url);

} // namespace tundrix
