// The program's resources as windres compiled them: every piece of art and every sound the same bytes as
// the generator drew, and menu 128 the shell's menu bar, label for label in the code page.
#include "net/channel.h"
#include "platform/win32/win32_resources.h"
#include "resources/embedded_resources.h"
#include "resources/embedded_table.h"
#include "shell/menu.h"
#include "shell/win32/resource_ids.h"
#include "shell/win32/wide_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tundrix {
namespace {

TEST(ProgramResources, EveryImageSetSoundAndThePaletteAreTheGeneratedBytes) {
    const EmbeddedResources generated;
    const Win32Resources program;
    int compared = 0;
    for (const EmbeddedEntry& e : embeddedEntries()) {
        const std::span<const uint8_t> want = generated.find(e.id), got = program.find(e.id);
        if (e.id == 101) {
            EXPECT_TRUE(got.empty()) << "the window icon is the program's ICON resource instead";
            continue;
        }
        // A BITMAP resource is its file without the 14-byte file header.
        const std::span<const uint8_t> body = e.id == 139 ? want.subspan(14) : want;
        ASSERT_EQ(got.size(), body.size()) << e.id;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), body.begin())) << e.id;
        ++compared;
    }
    EXPECT_EQ(compared, 29); // 15 image sets (5 of them the feedback layer's), the palette and 13 sounds
    EXPECT_TRUE(program.find(4711).empty());
    EXPECT_TRUE(program.find(0).empty());
    EXPECT_TRUE(program.find(-1).empty());
}

// The labels and commands of a loaded menu, as the shell writes them (a spacer as its label with no items).
std::vector<MenuPopup> readMenu(HMENU menu) {
    std::vector<MenuPopup> bar;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        auto labelOf = [](HMENU m, int at) {
            wchar_t text[256] = {};
            GetMenuStringW(m, static_cast<UINT>(at), text, 256, MF_BYPOSITION);
            return utf8Text(text);
        };
        MenuPopup popup{labelOf(menu, i), {}};
        if (HMENU sub = GetSubMenu(menu, i)) {
            for (int k = 0; k < GetMenuItemCount(sub); ++k) {
                const UINT id = GetMenuItemID(sub, k);
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_FTYPE;
                GetMenuItemInfoW(sub, static_cast<UINT>(k), TRUE, &info);
                if (info.fType & MFT_SEPARATOR)
                    popup.items.push_back({});
                else
                    popup.items.push_back({labelOf(sub, k), static_cast<int>(id)});
            }
        } else {
            EXPECT_EQ(GetMenuItemID(menu, i), static_cast<UINT>(CMD_NOTHING)) << popup.label;
        }
        bar.push_back(popup);
    }
    return bar;
}

TEST(ProgramResources, MenuBar128IsTheShellsMenuWithItsSwedishLetters) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU));
    ASSERT_NE(menu, nullptr);
    const std::vector<MenuPopup> got = readMenu(menu),
                                 want = menuBar(CHANNEL_HOST, MenuSet::WithoutPlayerSettings);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].label, want[i].label);
        ASSERT_EQ(got[i].items.size(), want[i].items.size()) << want[i].label;
        for (size_t k = 0; k < want[i].items.size(); ++k) {
            EXPECT_EQ(got[i].items[k].label, want[i].items[k].label);
            EXPECT_EQ(got[i].items[k].command, want[i].items[k].command) << want[i].items[k].label;
        }
    }
    EXPECT_EQ(got[1].label, "T\xC3\xA4vling"); // written in UTF-8, shown in the code page
    DestroyMenu(menu);
}

} // namespace
} // namespace tundrix
