// Checks the font bytes before ImGui sees them, then loads them with the Windows-1252 characters; the
// build's own check of the fonts it builds in.
#include "platform/sdl/imgui_fonts.h"

#include "platform/sdl/truetype_check.h"

#include <cstdio>
#include <imgui.h>
#include <vector>

namespace tundrix {

namespace {

// Latin-1 and the rest of Windows-1252 ("€" among them), which the dialogs show and take.
constexpr ImWchar CODE_PAGE[] = {0x0020, 0x00FF, 0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x0178, 0x017D,
                                 0x017E, 0x0192, 0x0192, 0x02C6, 0x02C6, 0x02DC, 0x02DC, 0x2013, 0x2014,
                                 0x2018, 0x201A, 0x201C, 0x201E, 0x2020, 0x2022, 0x2026, 0x2026, 0x2030,
                                 0x2030, 0x2039, 0x203A, 0x20AC, 0x20AC, 0x2122, 0x2122, 0};

// Characters a font may draw as nothing: the spaces.
bool blankByNature(uint32_t cp) {
    return cp == 0x20 || cp == 0xA0;
}

// Every character of ImGui's pairs of first and last characters, ended by a 0.
std::vector<uint32_t> charactersOf(const ImWchar* ranges) {
    std::vector<uint32_t> out;
    for (; ranges[0] != 0; ranges += 2)
        for (uint32_t cp = ranges[0]; cp <= ranges[1]; ++cp)
            out.push_back(cp);
    return out;
}

// The ranges of the sign's characters, or the code page when there is no sign text.
ImVector<ImWchar> signRangesOf(std::string_view signText) {
    ImVector<ImWchar> ranges;
    if (signText.empty()) {
        for (ImWchar c : CODE_PAGE)
            ranges.push_back(c);
        return ranges;
    }
    ImFontGlyphRangesBuilder builder;
    builder.AddText(signText.data(), signText.data() + signText.size());
    builder.BuildRanges(&ranges);
    return ranges;
}

ImFont* addFont(ImGuiIO& io, std::span<const uint8_t> bytes, float pixels, const ImWchar* ranges) {
    // stb_truetype, which builds the atlas, trusts every offset in the font: only a font whose glyphs it
    // can read and draw safely goes to it.
    if (!checkFont(bytes, charactersOf(ranges)).drawable) return nullptr;
    ImFontConfig config;
    config.FontDataOwnedByAtlas = false; // the bytes are the program's own
    return io.Fonts->AddFontFromMemoryTTF(const_cast<uint8_t*>(bytes.data()), static_cast<int>(bytes.size()),
                                          pixels, &config, ranges);
}

std::string hex(uint32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

// What keeps a font from drawing every one of these characters, or nothing.
std::string glyphProblem(std::span<const uint8_t> bytes, const std::vector<uint32_t>& characters) {
    const FontCheck check = checkFont(bytes, characters);
    if (!check.drawable) return check.problem;
    if (!check.missing.empty()) return "no glyph for " + hex(check.missing.front());
    for (uint32_t cp : check.blank)
        if (!blankByNature(cp)) return "no outline for " + hex(cp);
    return {};
}

} // namespace

UiFonts loadUiFonts(ImGuiIO& io, std::span<const uint8_t> text, float textPixels,
                    std::span<const uint8_t> sign, float signPixels, std::string_view signText) {
    // The ranges are read while the atlas is built, here.
    const ImVector<ImWchar> signRanges = signRangesOf(signText);
    UiFonts fonts;
    fonts.text = addFont(io, text, textPixels, CODE_PAGE);
    fonts.sign = fonts.text ? addFont(io, sign, signPixels, signRanges.Data) : nullptr;
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

std::string fontBuildProblem(std::span<const uint8_t> text, std::span<const uint8_t> sign,
                             std::string_view signText) {
    // The ranges hold the control characters 0x7F to 0x9F, which no font draws and no menu shows.
    std::vector<uint32_t> textCharacters = charactersOf(CODE_PAGE);
    std::erase_if(textCharacters, [](uint32_t cp) { return cp >= 0x7F && cp <= 0x9F; });
    const ImVector<ImWchar> signRanges = signRangesOf(signText);
    const std::vector<uint32_t> signCharacters = charactersOf(signRanges.Data);
    if (std::string why = glyphProblem(text, textCharacters); !why.empty()) return "the menu font: " + why;
    if (std::string why = glyphProblem(sign, signCharacters); !why.empty()) return "the sign font: " + why;

    // Then the atlas the game builds at start, with every glyph in it.
    ImGuiContext* const previous = ImGui::GetCurrentContext();
    ImGuiContext* const context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    const UiFonts fonts = loadUiFonts(io, text, MENU_TEXT_PIXELS, sign, SIGN_PIXELS, signText);
    std::string why;
    const auto everyPicture = [&why](const ImFont* font, const std::vector<uint32_t>& characters) {
        for (uint32_t cp : characters) {
            const ImFontGlyph* glyph = font->FindGlyphNoFallback(static_cast<ImWchar>(cp));
            if (why.empty() && (!glyph || (!glyph->Visible && !blankByNature(cp))))
                why = "the atlas has no picture of " + hex(cp);
        }
    };
    if (!fonts.builtIn || fonts.sign == fonts.text) {
        why = "the atlas did not build with both fonts";
    } else {
        everyPicture(fonts.text, textCharacters);
        everyPicture(fonts.sign, signCharacters);
    }
    ImGui::DestroyContext(context);
    ImGui::SetCurrentContext(previous);
    return why;
}

} // namespace tundrix
