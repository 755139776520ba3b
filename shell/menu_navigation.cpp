// The menu bar's state: one open menu at a time, the lit item, and the keys and clicks that move them.
#include "shell/menu_navigation.h"

namespace tundrix {

MenuNavigator::MenuNavigator(std::vector<MenuPopup> bar, std::function<bool(int)> enabled)
    : bar_(std::move(bar)), enabled_(std::move(enabled)) {}

bool MenuNavigator::enabled(const MenuEntry& item) const {
    return !item.separator() && (!enabled_ || enabled_(item.command));
}

bool MenuNavigator::choosable(int item) const {
    if (open_ < 0) return false;
    const auto& items = bar_[static_cast<size_t>(open_)].items;
    return item >= 0 && item < static_cast<int>(items.size()) && enabled(items[static_cast<size_t>(item)]);
}

int MenuNavigator::nextMenu(int from, int step) const {
    const int n = static_cast<int>(bar_.size());
    for (int i = 1; i <= n; ++i) {
        const int at = ((from + step * i) % n + n) % n;
        if (!bar_[static_cast<size_t>(at)].spacer()) return at;
    }
    return -1;
}

int MenuNavigator::nextItem(int from, int step) const {
    const int n = static_cast<int>(bar_[static_cast<size_t>(open_)].items.size());
    for (int i = 1; i <= n; ++i) {
        const int at = ((from + step * i) % n + n) % n;
        if (choosable(at)) return at;
    }
    return -1;
}

void MenuNavigator::openAt(int menu) {
    if (menu < 0 || menu >= static_cast<int>(bar_.size()) || bar_[static_cast<size_t>(menu)].spacer()) return;
    open_ = menu;
    lit_ = nextItem(-1, 1);
}

void MenuNavigator::close() {
    open_ = -1;
    lit_ = -1;
}

int MenuNavigator::key(MenuKey key) {
    keysLead_ = true;
    if (!isOpen()) {
        if (key == MenuKey::OpenBar) openAt(nextMenu(-1, 1));
        return 0;
    }
    switch (key) {
    case MenuKey::OpenBar:
    case MenuKey::Escape:
        close();
        break;
    case MenuKey::Left:
    case MenuKey::Right:
        openAt(nextMenu(open_, key == MenuKey::Left ? -1 : 1));
        break;
    case MenuKey::Up:
    case MenuKey::Down:
        if (const int next =
                nextItem(lit_ < 0 ? (key == MenuKey::Up ? 0 : -1) : lit_, key == MenuKey::Up ? -1 : 1);
            next >= 0)
            lit_ = next;
        break;
    case MenuKey::Enter:
        return clickItem(lit_);
    }
    return 0;
}

void MenuNavigator::clickTitle(int menu) {
    keysLead_ = false;
    if (menu == open_)
        close();
    else
        openAt(menu);
}

void MenuNavigator::hoverTitle(int menu) {
    if (isOpen() && menu != open_ && !keysLead_) openAt(menu);
}

void MenuNavigator::hoverItem(int item) {
    if (choosable(item) && !keysLead_) lit_ = item;
}

int MenuNavigator::clickItem(int item) {
    if (!choosable(item)) return 0;
    const int command = bar_[static_cast<size_t>(open_)].items[static_cast<size_t>(item)].command;
    close();
    return command;
}

} // namespace tundrix
