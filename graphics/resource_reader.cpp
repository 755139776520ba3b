// Opens a resource from the store or, failing that, reads a whole file of that name.
#include "graphics/resource_reader.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace tundrix {

namespace {

bool parseId(const std::string& text, int& id) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    return ec == std::errc() && end == text.data() + text.size() && id >= 0;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    // Empty files fail, and so does anything that could not be a resource of ours.
    if (size <= 0 || size > (std::streamoff{1} << 30)) return false;
    in.seekg(0, std::ios::beg);
    out.resize(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(out.data()), size);
    return static_cast<bool>(in);
}

} // namespace

bool ResourceReader::open(const ResourceStore& store, const ResourceName& name) {
    int id = name.id;
    if (id < 0) parseId(name.text, id);
    if (id >= 0) {
        std::span<const uint8_t> bytes = store.find(id);
        if (!bytes.empty()) {
            owned_.clear();
            data_ = bytes;
            position_ = 0;
            return true;
        }
    }
    if (name.text.empty()) return false;
    std::vector<uint8_t> file;
    if (!readWholeFile(name.text, file)) return false;
    owned_ = std::move(file);
    data_ = owned_;
    position_ = 0;
    return true;
}

void ResourceReader::openBytes(std::span<const uint8_t> bytes) {
    owned_.clear();
    data_ = bytes;
    position_ = 0;
}

uint16_t ResourceReader::readU16() {
    uint32_t left = size() - position_;
    if (left < 2) {
        position_ = size();
        return 0;
    }
    uint16_t v = static_cast<uint16_t>((data_[position_] << 8) | data_[position_ + 1]);
    position_ += 2;
    return v;
}

bool ResourceReader::matchMagic(std::string_view text) {
    uint32_t left = size() - position_;
    if (left < text.size() + 1) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (data_[position_ + i] != static_cast<uint8_t>(text[i])) return false;
    }
    if (data_[position_ + text.size()] != 0) return false;
    position_ += static_cast<uint32_t>(text.size() + 1);
    return true;
}

std::span<const uint8_t> ResourceReader::cursor() const {
    return data_.subspan(position_);
}

void ResourceReader::skip(uint32_t n) {
    uint32_t left = size() - position_;
    position_ += n < left ? n : left;
}

} // namespace tundrix
