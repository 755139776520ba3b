// The menu bar's layout and the information texts it opens.
#include "shell/game_session.h"
#include "shell/info_texts.h"
#include "shell/menu.h"

#include <gtest/gtest.h>
#include <set>

namespace tundrix {
namespace {

TEST(MenuBar, SwedishMenusSpacersAndTheEnglishMenuInOrder) {
    const std::vector<MenuPopup> bar = menuBar();
    ASSERT_EQ(bar.size(), 6u);
    EXPECT_EQ(bar[0].label, "Spel");
    EXPECT_EQ(bar[1].label, "Tävling");
    EXPECT_EQ(bar[2].label, "Koppla upp");
    EXPECT_EQ(bar[3].label, " ");
    EXPECT_EQ(bar[4].label, "");
    EXPECT_TRUE(bar[3].items.empty());
    EXPECT_EQ(bar[3].command, CMD_NOTHING);
    EXPECT_EQ(bar[4].command, CMD_NOTHING);
    EXPECT_EQ(bar[5].label, "In English");
    EXPECT_EQ(bar[5].items.back().label, "Visit www.lumora.se");
    EXPECT_EQ(bar[0].items[0].label, "Starta nytt spel (F1)");
    EXPECT_EQ(bar[2].items[1].label, "Utmana dina vänner");

    // Every item runs a command the session knows: each either names an effect or raises a request.
    std::set<int> commands;
    for (const MenuPopup& p : bar)
        for (const MenuEntry& e : p.items)
            commands.insert(e.command);
    EXPECT_EQ(commands, (std::set<int>{CMD_NEW_GAME, CMD_RULES, CMD_QUIT, CMD_COMPETITION_RULES, CMD_ABOUT,
                                       CMD_REGISTER, CMD_CHALLENGE, CMD_BRAND_SITE, CMD_CHANNEL_SITE,
                                       CMD_HOW_TO_PLAY, CMD_ABOUT_ENGLISH}));
    EXPECT_EQ(zoomOfCommand(CMD_ZOOM_2), 2);
    EXPECT_EQ(zoomOfCommand(CMD_NEW_GAME), 0);
}

TEST(InfoTexts, FiveFullTextsWithTheirHeadings) {
    const char* const headings[INFO_TEXT_COUNT] = {"Tundrix Ice-Hockey Cup\n", "TÄVLINGSREGLER\n",
                                                   "OM Lumora\n", "ABOUT Lumora\n",
                                                   "Tundrix Ice-Hockey Cup\n"};
    for (int i = 0; i < INFO_TEXT_COUNT; ++i) {
        const std::string text = infoText(i);
        EXPECT_EQ(text.rfind(headings[i], 0), 0u) << i;
        EXPECT_GT(text.size(), 400u) << i;
    }
    EXPECT_NE(infoText(0).find("80 procent"), std::string::npos);
    EXPECT_NE(infoText(4).find("three chances"), std::string::npos);
    EXPECT_NE(infoText(3).find("Sweden only"), std::string::npos);
    EXPECT_NE(infoText(1).find("www.lumora.se"), std::string::npos);
    EXPECT_TRUE(infoText(-1).empty());
    EXPECT_TRUE(infoText(5).empty());
}

} // namespace
} // namespace tundrix
