// Refuses, at build time, fonts the game could not draw its menus and pause sign with. Usage:
// tundrix_fontcheck MENU.ttf SIGN.ttf; exit status 1 and one line saying why when they will not do.
#include "platform/sdl/imgui_fonts.h"
#include "shell/imgui/ui_theme.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool readFile(const char* path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MENU.ttf SIGN.ttf\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> menu, sign;
    for (const auto& [path, bytes] : {std::pair{argv[1], &menu}, std::pair{argv[2], &sign}})
        if (!readFile(path, *bytes)) {
            std::fprintf(stderr, "%s: cannot be read\n", path);
            return 1;
        }
    const std::string why = tundrix::fontBuildProblem(menu, sign, tundrix::PAUSE_SIGN_TEXT);
    if (!why.empty()) {
        std::fprintf(stderr, "%s, %s: %s; the game cannot be built with these fonts\n", argv[1], argv[2],
                     why.c_str());
        return 1;
    }
    return 0;
}
