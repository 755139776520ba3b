// A build tool run on the build machine: packs PNG pictures of the program's icon into one Windows icon
// file (each entry a PNG, as Windows has read them since Vista). Usage: tundrix_icon_file OUT.ico IN.png...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
uint32_t be32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 24 | static_cast<uint8_t>(b[at + 1]) << 16 |
           static_cast<uint8_t>(b[at + 2]) << 8 | static_cast<uint8_t>(b[at + 3]);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT.ico IN.png...\n", argv[0]);
        return 2;
    }
    std::vector<std::string> pngs;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The signature, then the IHDR chunk with width and height.
        if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
            png.compare(12, 4, "IHDR") != 0) {
            std::fprintf(stderr, "not a PNG: %s\n", argv[i]);
            return 1;
        }
        const uint32_t w = be32(png, 16), h = be32(png, 20);
        if (w == 0 || w > 256 || h == 0 || h > 256) {
            std::fprintf(stderr, "an icon is at most 256 pixels square: %s\n", argv[i]);
            return 1;
        }
        pngs.push_back(std::move(png));
    }
    std::string ico;
    put16(ico, 0);
    put16(ico, 1); // an icon
    put16(ico, static_cast<uint32_t>(pngs.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(pngs.size());
    for (const std::string& png : pngs) {
        const uint32_t w = be32(png, 16), h = be32(png, 20);
        ico += static_cast<char>(w == 256 ? 0 : w); // 0 stands for 256
        ico += static_cast<char>(h == 256 ? 0 : h);
        ico += '\0'; // no colour count
        ico += '\0';
        put16(ico, 1);  // planes
        put16(ico, 32); // bits per pixel
        put32(ico, static_cast<uint32_t>(png.size()));
        put32(ico, offset);
        offset += static_cast<uint32_t>(png.size());
    }
    for (const std::string& png : pngs)
        ico += png;
    std::ofstream out(argv[1], std::ios::binary);
    out << ico;
    return out.good() ? 0 : 1;
}
