// ShellExecuteA "open" on the URL, shown normally, with the desktop as owner.
#include "platform/win32/win32_web_page.h"

#include <windows.h>

#include <shellapi.h>

namespace tundrix {

void openWebPage(const std::string& url) {
    // Only web addresses: the shell would just as gladly run a program named here.
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return;
    ShellExecuteA(GetDesktopWindow(), "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace tundrix
