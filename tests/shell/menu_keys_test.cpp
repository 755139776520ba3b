// The menu bar by keys and pointer: F10 or Alt opens it, arrows move over spacers, separators and
// disabled items, Enter chooses, Escape closes; every item of both languages can be reached.
#include "net/channel.h"
#include "shell/menu.h"
#include "shell/menu_navigation.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

// Zoom 3 does not fit this screen.
MenuNavigator navigator() {
    return MenuNavigator(menuBar(CHANNEL_HOST), [](int command) { return command != CMD_ZOOM_3; });
}

// The keys that choose item `item` of menu `menu`, starting with the bar closed.
std::vector<MenuKey> keysFor(const MenuNavigator& nav, int menu, int item) {
    std::vector<MenuKey> keys{MenuKey::OpenBar};
    for (int m = 0; m < menu; ++m)
        if (!nav.bar()[static_cast<size_t>(m)].spacer()) keys.push_back(MenuKey::Right);
    const auto& items = nav.bar()[static_cast<size_t>(menu)].items;
    for (int i = 0; i < item; ++i)
        if (nav.enabled(items[static_cast<size_t>(i)])) keys.push_back(MenuKey::Down);
    keys.push_back(MenuKey::Enter);
    return keys;
}

TEST(MenuKeys, EveryEnabledItemOfBothLanguagesIsChosenByKeysAndByPointer) {
    MenuNavigator nav = navigator();
    int reached = 0;
    for (int m = 0; m < static_cast<int>(nav.bar().size()); ++m) {
        const auto& items = nav.bar()[static_cast<size_t>(m)].items;
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            const MenuEntry& item = items[static_cast<size_t>(i)];
            if (!nav.enabled(item)) continue;
            int chosen = 0;
            for (MenuKey key : keysFor(nav, m, i))
                chosen = nav.key(key);
            EXPECT_EQ(chosen, item.command) << item.label;
            EXPECT_FALSE(nav.isOpen()) << "choosing closes the menu: " << item.label;

            nav.clickTitle(m);
            nav.hoverItem(i);
            EXPECT_EQ(nav.litItem(), i);
            EXPECT_EQ(nav.clickItem(i), item.command) << item.label;
            EXPECT_FALSE(nav.isOpen());
            ++reached;
        }
    }
    EXPECT_EQ(reached, 9 + 8 + 4 + 11 + 3) << "all but the zoom that does not fit";
}

TEST(MenuKeys, AMenuOpenedByKeyLightsItsFirstItemWhateverThePointerRestsOn) {
    MenuNavigator nav = navigator();
    nav.key(MenuKey::OpenBar);
    nav.hoverItem(2); // the pointer resting over "Avsluta" as the menu comes up
    nav.hoverTitle(2);
    EXPECT_EQ(std::pair(nav.openMenu(), nav.litItem()), std::pair(0, 0));
    EXPECT_EQ(nav.key(MenuKey::Enter), CMD_NEW_GAME)
        << "Enter takes the lit item, not the one under the pointer";
    nav.key(MenuKey::OpenBar);
    nav.pointerMoved();
    nav.hoverItem(2);
    EXPECT_EQ(nav.litItem(), 2) << "a pointer that moves leads again";
    nav.key(MenuKey::Down);
    nav.hoverItem(2);
    EXPECT_EQ(nav.litItem(), 4) << "and the keys take over again";
}

TEST(MenuKeys, ArrowsWrapAndSkipSpacersSeparatorsAndDisabledItemsWhichTakeNoClicksEscapeCloses) {
    MenuNavigator nav = navigator();
    EXPECT_EQ(nav.key(MenuKey::Down), 0);
    EXPECT_FALSE(nav.isOpen()) << "arrows alone do not open the bar: they steer the game";
    // Each key pressed so many times, then the open menu and its lit item (-1: not looked at).
    // clang-format off
    const struct { MenuKey key; int times, menu, lit; const char* why; } steps[] = {
        // clang-format off
        {MenuKey::OpenBar, 1, 0, 0, "the first menu"}, {MenuKey::Left, 1, 6, -1, "wraps to the last menu"},
        {MenuKey::Left, 1, 5, -1, ""}, {MenuKey::Left, 1, 2, -1, "over both spacers"}, {MenuKey::Right, 1, 5, -1, ""},
        {MenuKey::Up, 1, 5, 12, "up from the first wraps to the last: mute"}, {MenuKey::Up, 2, 5, 10, ""},
        {MenuKey::Up, 1, 5, 8, "over the zoom that does not fit"}, {MenuKey::Up, 3, 5, 4, "over the separator"},
        // clang-format on
    };
    // clang-format on
    for (const auto& step : steps) {
        for (int i = 0; i < step.times; ++i)
            nav.key(step.key);
        EXPECT_EQ(nav.openMenu(), step.menu) << step.why;
        EXPECT_TRUE(step.lit < 0 || nav.litItem() == step.lit) << nav.litItem() << ": " << step.why;
    }
    EXPECT_EQ(nav.key(MenuKey::Escape), 0);
    EXPECT_FALSE(nav.isOpen());
    nav.key(MenuKey::OpenBar);
    nav.key(MenuKey::OpenBar);
    EXPECT_FALSE(nav.isOpen()) << "F10 again closes the bar";
    EXPECT_EQ(nav.key(MenuKey::Enter), 0);

    // Nor do they take clicks.
    nav.clickTitle(3);
    nav.clickTitle(4);
    EXPECT_FALSE(nav.isOpen());
    nav.clickTitle(0);
    EXPECT_EQ(nav.clickItem(3), 0) << "separator";
    EXPECT_EQ(nav.clickItem(7), 0) << "zoom 3 does not fit";
    EXPECT_TRUE(nav.isOpen());
    nav.hoverTitle(1);
    EXPECT_EQ(nav.openMenu(), 1) << "the pointer moves the open menu along the bar";
    nav.clickTitle(1);
    EXPECT_FALSE(nav.isOpen()) << "a click on the open menu's title closes it";
    nav.hoverTitle(2);
    EXPECT_FALSE(nav.isOpen()) << "hovering alone opens nothing";
}

} // namespace
} // namespace tundrix
