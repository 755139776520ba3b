// A build tool run on the build machine: writes the menu bar of shell/menu.cpp as the MENU statement of
// resource 128 for windres (UTF-8, compiled with code page 65001). Usage: tundrix_menu_script OUTPUT.rc
#include "net/channel.h"
#include "shell/login_fields.h"
#include "shell/menu.h"
#include "shell/win32/resource_ids.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace tundrix;

namespace {

// A quoted resource-script string: quotes doubled, backslashes escaped.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out + "\"";
}

// True when every character of the label is one of the Windows-1252 code page.
bool inWindows1252(const std::string& label) {
    return fieldText(label, label.size()) == label;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.rc\n", argv[0]);
        return 2;
    }
    std::string rc = "// Made at build time from the shell's menu bar; do not edit.\n";
    rc += std::to_string(IDR_MENU) + " MENU\nBEGIN\n";
    for (const MenuPopup& popup : menuBar(CHANNEL_HOST, MenuSet::WithoutPlayerSettings)) {
        if (!inWindows1252(popup.label)) {
            std::fprintf(stderr, "menu label outside Windows-1252: %s\n", popup.label.c_str());
            return 1;
        }
        if (popup.spacer()) {
            rc += "    MENUITEM " + quoted(popup.label) + ", " + std::to_string(CMD_NOTHING) + "\n";
            continue;
        }
        rc += "    POPUP " + quoted(popup.label) + "\n    BEGIN\n";
        for (const MenuEntry& item : popup.items) {
            if (item.separator()) {
                rc += "        MENUITEM SEPARATOR\n";
                continue;
            }
            if (!inWindows1252(item.label)) {
                std::fprintf(stderr, "menu label outside Windows-1252: %s\n", item.label.c_str());
                return 1;
            }
            rc += "        MENUITEM " + quoted(item.label) + ", " + std::to_string(item.command) + "\n";
        }
        rc += "    END\n";
    }
    rc += "END\n";
    std::ofstream out(argv[1], std::ios::binary);
    out << rc;
    return out.good() ? 0 : 1;
}
