// Writes the game's sine and cosine tables as exact hexadecimal constants, once, on the build machine, so
// every build of the game (whatever its compiler and C library) steers by the very same numbers.
#include "core/angle_tables.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tundrix_angles OUTPUT.cpp\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    // Half a degree with pi taken as 3.141592, as the game has always steered, in extended precision.
    constexpr long double HALF_DEGREE = 0.008726644444444445L;
    std::fprintf(
        out, "// Written by tools/angles at build time; do not edit.\n#include \"core/angle_tables.h\"\n\n"
             "namespace tundrix {\n\n");
    for (const char* name : {"sin", "cos"}) {
        std::fprintf(out, "const double AngleTables::%s_[AngleTables::ENTRIES] = {\n", name);
        for (int i = 0; i < tundrix::AngleTables::ENTRIES; ++i) {
            const long double a = static_cast<long double>(i) * HALF_DEGREE;
            const double v = static_cast<double>(name[0] == 's' ? std::sin(a) : std::cos(a));
            std::fprintf(out, "    %a,\n", v);
        }
        std::fprintf(out, "};\n\n");
    }
    std::fprintf(out, "} // namespace tundrix\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
