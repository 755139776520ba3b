// A fresh folder of this test program's own, removed with everything in it at the end.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tundrix::test {

struct TempDir {
    TempDir() {
        static int made = 0;
        path = std::filesystem::temp_directory_path() /
               ("tundrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path write(const std::string& file, const std::vector<uint8_t>& bytes) const {
        std::ofstream(path / file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path / file;
    }
    std::filesystem::path path;
};

} // namespace tundrix::test
