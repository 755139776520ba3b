// Checks the font bytes before ImGui sees them, then loads them with the Windows-1252 characters.
#include "platform/sdl/imgui_fonts.h"

#include <imgui.h>

namespace tundrix {

namespace {
uint32_t be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint16_t be16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

// Latin-1 and the rest of Windows-1252 ("€" among them), which the dialogs show and take.
constexpr ImWchar CODE_PAGE[] = {0x0020, 0x00FF, 0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x0178, 0x017D,
                                 0x017E, 0x0192, 0x0192, 0x02C6, 0x02C6, 0x02DC, 0x02DC, 0x2013, 0x2014,
                                 0x2018, 0x201A, 0x201C, 0x201E, 0x2020, 0x2022, 0x2026, 0x2026, 0x2030,
                                 0x2030, 0x2039, 0x203A, 0x20AC, 0x20AC, 0x2122, 0x2122, 0};

ImFont* addFont(ImGuiIO& io, std::span<const uint8_t> bytes, float pixels, const ImWchar* ranges) {
    if (!looksLikeTrueType(bytes)) return nullptr;
    ImFontConfig config;
    config.FontDataOwnedByAtlas = false; // the bytes are the program's own
    return io.Fonts->AddFontFromMemoryTTF(const_cast<uint8_t*>(bytes.data()), static_cast<int>(bytes.size()),
                                          pixels, &config, ranges);
}
} // namespace

bool looksLikeTrueType(std::span<const uint8_t> bytes) {
    if (bytes.size() < 12) return false;
    const uint32_t version = be32(bytes.data());
    if (version != 0x00010000u && version != 0x74727565u) return false; // 1.0 or 'true'
    const size_t tables = be16(bytes.data() + 4);
    if (tables == 0 || 12 + tables * 16 > bytes.size()) return false;
    static constexpr const char* NEEDED[] = {"cmap", "head", "hhea", "hmtx", "loca", "glyf", "maxp"};
    size_t found = 0;
    for (size_t i = 0; i < tables; ++i) {
        const uint8_t* entry = bytes.data() + 12 + i * 16;
        const uint64_t offset = be32(entry + 8), length = be32(entry + 12);
        if (offset + length > bytes.size()) return false;
        for (const char* tag : NEEDED)
            if (entry[0] == uint8_t(tag[0]) && entry[1] == uint8_t(tag[1]) && entry[2] == uint8_t(tag[2]) &&
                entry[3] == uint8_t(tag[3]))
                ++found;
    }
    return found == std::size(NEEDED);
}

UiFonts loadUiFonts(ImGuiIO& io, std::span<const uint8_t> text, float textPixels,
                    std::span<const uint8_t> sign, float signPixels, std::string_view signText) {
    // The ranges are read while the atlas is built, here.
    ImVector<ImWchar> signRanges;
    if (!signText.empty()) {
        ImFontGlyphRangesBuilder builder;
        builder.AddText(signText.data(), signText.data() + signText.size());
        builder.BuildRanges(&signRanges);
    }
    UiFonts fonts;
    fonts.text = addFont(io, text, textPixels, CODE_PAGE);
    fonts.sign =
        fonts.text ? addFont(io, sign, signPixels, signText.empty() ? CODE_PAGE : signRanges.Data) : nullptr;
    if (fonts.text && io.Fonts->Build()) {
        // What the build read (the ranges above among it) is not needed again.
        io.Fonts->ClearInputData();
        fonts.builtIn = true;
        fonts.textPixels = textPixels;
        if (!fonts.sign) fonts.sign = fonts.text;
        return fonts;
    }
    // ImGui's own font: small, but every menu still works.
    io.Fonts->Clear();
    fonts = UiFonts{};
    fonts.text = io.Fonts->AddFontDefault();
    fonts.sign = fonts.text;
    fonts.textPixels = 13.0f;
    io.Fonts->Build();
    return fonts;
}

} // namespace tundrix
