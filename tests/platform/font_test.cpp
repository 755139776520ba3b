// The fonts of the menus: the build's check and the game's start with damaged fonts. A damaged font is
// either refused by the build or drawn safely; at start a font that cannot be drawn leaves ImGui's own,
// and the menus work either way. Every damaged copy is tried in a child process, so a crash is seen as one.
#include "platform/sdl/imgui_fonts.h"
#include "platform/sdl/truetype_check.h"
#include "resources/embedded_fonts.h"
#include "shell/imgui/ui_theme.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tundrix {
namespace {

using Bytes = std::vector<uint8_t>;

// What a child found: the build's verdict and whether the game's start agreed with it.
enum Verdict : int { ACCEPTED = 10, REFUSED = 11, START_DISAGREES = 12 };

// Starts the menus with these fonts as the game does, draws a frame of them, and says whether the
// built-in fonts were used.
bool startMenus(std::span<const uint8_t> text, std::span<const uint8_t> sign) {
    ImGuiContext* context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    const UiFonts fonts = loadUiFonts(io, text, MENU_TEXT_PIXELS, sign, SIGN_PIXELS, PAUSE_SIGN_TEXT);
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
    io.DisplaySize = ImVec2(440, 321);
    io.DeltaTime = 0.04f;
    ImGui::NewFrame();
    if (ImGui::BeginMainMenuBar()) {
        ImGui::TextUnformatted("Spel  Tävling  In English €");
        ImGui::EndMainMenuBar();
    }
    ImGui::PushFont(fonts.sign);
    ImGui::TextUnformatted(PAUSE_SIGN_TEXT);
    ImGui::PopFont();
    ImGui::Render();
    const bool drawn = w * h > 0 && ImGui::GetDrawData()->TotalVtxCount > 0 && fonts.text && fonts.sign;
    ImGui::DestroyContext(context);
    if (!drawn) _exit(START_DISAGREES);
    return fonts.builtIn;
}

// The build's check and then the game's start, in a child; the verdict, or -1 when the child crashed.
int tryInChild(std::span<const uint8_t> text, std::span<const uint8_t> sign) {
    const pid_t child = fork();
    if (child == 0) {
        const bool accepted = fontBuildProblem(text, sign, PAUSE_SIGN_TEXT).empty();
        const bool builtIn = startMenus(text, sign);
        // A font the build accepts is drawn by the game with its own lettering.
        _exit(accepted && !builtIn ? START_DISAGREES : accepted ? ACCEPTED : REFUSED);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One damaged copy of a font: bytes overwritten in one of the tables the menus are read from, many bytes
// all over the outlines, bytes of the table directory, or the file cut short.
Bytes damagedCopy(std::span<const uint8_t> font, std::mt19937& random) {
    Bytes copy(font.begin(), font.end());
    const auto where = [&](size_t begin, size_t end) {
        return begin + std::uniform_int_distribution<size_t>(0, end - begin - 1)(random);
    };
    const auto anyByte = [&] { return static_cast<uint8_t>(random()); };
    const auto tableOf = [&](const char* tag) {
        const size_t tables = size_t{copy[4]} << 8 | copy[5];
        for (size_t i = 0; i < tables; ++i) {
            const uint8_t* entry = copy.data() + 12 + 16 * i;
            const auto be32 = [](const uint8_t* p) {
                return size_t{p[0]} << 24 | size_t{p[1]} << 16 | size_t{p[2]} << 8 | p[3];
            };
            if (std::equal(tag, tag + 4, entry))
                return std::pair(be32(entry + 8), be32(entry + 8) + be32(entry + 12));
        }
        return std::pair(size_t{0}, copy.size());
    };
    static constexpr const char* READ[] = {"cmap", "head", "hhea", "hmtx", "loca", "maxp"};
    switch (random() % 4) {
    case 0: {
        const auto [begin, end] = tableOf(READ[random() % std::size(READ)]);
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n)
            copy[where(begin, end)] = anyByte();
        break;
    }
    case 1: {
        const auto [begin, end] = tableOf("glyf");
        for (int n = 0; n < 2000; ++n)
            copy[where(begin, end)] = anyByte();
        break;
    }
    case 2:
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            copy[where(0, 12 + 16 * 24)] = anyByte();
        break;
    default:
        copy.resize(where(0, copy.size()));
        break;
    }
    return copy;
}

TEST(UiFonts, TheBuildRefusesOrTheGameDrawsEachOf300DamagedFontsAndNeverCrashes) {
    const std::span<const uint8_t> menu = menuFontData(), sign = signFontData();
    ASSERT_EQ(fontBuildProblem(menu, sign, PAUSE_SIGN_TEXT), "") << "the fonts built into the program pass";
    ASSERT_EQ(tryInChild(menu, sign), ACCEPTED);

    std::mt19937 random(19);
    int accepted = 0, refused = 0;
    for (int i = 0; i < 300; ++i) {
        // The menu font and the sign font by turns.
        const bool signDamaged = i % 2 == 1;
        const Bytes copy = damagedCopy(signDamaged ? sign : menu, random);
        const int verdict = signDamaged ? tryInChild(menu, copy) : tryInChild(copy, sign);
        ASSERT_TRUE(verdict == ACCEPTED || verdict == REFUSED)
            << "damaged copy " << i << ": " << (verdict < 0 ? "crashed" : "drawn, but not as the build said");
        ++(verdict == ACCEPTED ? accepted : refused);
    }
    std::printf("300 damaged fonts: %d refused by the build, %d accepted and drawn\n", refused, accepted);
    EXPECT_GT(refused, 100) << "the damage reaches what the menus read";
}

// The check says which characters the font has no glyph or no outline for; a font it cannot read at all
// leaves ImGui's own at start, and the menus work.
TEST(FontCheck, NamesWhatTheFontLacksAndADamagedFontAtStartLeavesImGuisOwn) {
    const std::span<const uint8_t> good = menuFontData();
    const FontCheck check =
        checkFont(good, std::vector<uint32_t>{'A', ' ', 0x20AC, 0xE5, 0x4E2D /* not in DejaVu Sans */});
    EXPECT_TRUE(check.drawable) << check.problem;
    EXPECT_EQ(check.missing, std::vector<uint32_t>{0x4E2D});
    EXPECT_EQ(check.blank, std::vector<uint32_t>{' '});

    const Bytes garbage(5000, 0x5A);
    const Bytes lyingDirectory(good.begin(), good.begin() + 4096); // tables point past the end
    const std::vector<std::span<const uint8_t>> damaged = {{}, garbage, good.first(12), lyingDirectory};
    for (size_t i = 0; i < damaged.size(); ++i) {
        EXPECT_FALSE(checkFont(damaged[i], std::vector<uint32_t>{'A'}).drawable) << i;
        EXPECT_EQ(tryInChild(damaged[i], signFontData()), REFUSED) << i;
    }
    // The intact font holds the euro sign at the menus' size (its own letters: the first test's check).
    ImGui::CreateContext();
    const UiFonts fonts = loadUiFonts(ImGui::GetIO(), good, MENU_TEXT_PIXELS, signFontData(), SIGN_PIXELS);
    EXPECT_EQ(fonts.textPixels, MENU_TEXT_PIXELS);
    EXPECT_NE(fonts.text->FindGlyphNoFallback(0x20AC), nullptr);
    ImGui::DestroyContext();
}

} // namespace
} // namespace tundrix
