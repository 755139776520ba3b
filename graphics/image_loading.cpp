// Filling an Image from the image-set format or from an 8-bit Windows bitmap.
#include "graphics/bmp_reader.h"
#include "graphics/image.h"
#include "graphics/rle_decoder.h"

#include <cstring>

namespace tundrix {

namespace {
constexpr std::string_view MAGIC = "kvb/rle";
} // namespace

bool Image::readFrame(ResourceReader& reader) {
    if (!reader.matchMagic(MAGIC)) return false;
    const uint16_t w = reader.readU16();
    const uint16_t h = reader.readU16();
    const int64_t n = static_cast<int64_t>(w) * h;
    RleDecoder decoder;
    const int32_t consumed =
        n > INT32_MAX ? RleDecoder::DAMAGED : decoder.decode(reader.cursor(), static_cast<int32_t>(n));
    if (consumed == RleDecoder::DAMAGED) {
        // Nothing after a damaged frame can be trusted.
        reader.skipToEnd();
        return false;
    }
    reader.skip(static_cast<uint32_t>(consumed));
    setSize(w, h);
    if (n > 0) std::memcpy(pixels_, decoder.pixels().data(), static_cast<size_t>(n));
    scanTransparency();
    return true;
}

bool Image::loadRle(const ResourceStore& store, const ResourceName& name) {
    ResourceReader reader;
    if (!reader.open(store, name)) return false;
    return readFrame(reader);
}

bool Image::loadImage(const ResourceStore& store, const ResourceName& name) {
    if (loadRle(store, name)) return true;
    ResourceReader reader;
    if (!reader.open(store, name)) return false;
    BmpInfo bmp;
    if (!readBmp(reader.cursor(), bmp)) return false;
    setSize(bmp.width, bmp.height);
    // Only 8-bit pictures carry game palette indices; other depths keep the size and no pixels.
    if (bmp.bitsPerPixel == 8 && !bmp.indices.empty())
        std::memcpy(pixels_, bmp.indices.data(), static_cast<size_t>(pixelCount_));
    scanTransparency();
    return true;
}

} // namespace tundrix
