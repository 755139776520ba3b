// Which menu of the bar is open and which of its items is lit, moved by the mouse and by the keys
// (F10 or Alt, arrows, Enter, Escape); no drawing and no SDL here.
#pragma once
#include "shell/menu.h"

#include <functional>
#include <vector>

namespace tundrix {

enum class MenuKey { OpenBar, Left, Right, Up, Down, Enter, Escape };

class MenuNavigator {
  public:
    // enabled tells whether a command can be chosen now; disabled items are skipped and take no clicks.
    MenuNavigator(std::vector<MenuPopup> bar, std::function<bool(int command)> enabled);

    const std::vector<MenuPopup>& bar() const { return bar_; }
    bool isOpen() const { return open_ >= 0; }
    int openMenu() const { return open_; }
    // The lit item of the open menu, or -1.
    int litItem() const { return lit_; }
    bool enabled(const MenuEntry& item) const;

    // A key; returns the command chosen with Enter, or 0.
    int key(MenuKey key);
    // A click on a top-level entry opens its menu, or closes it when it is open; spacers take no clicks.
    void clickTitle(int menu);
    // The pointer over a top-level entry while another menu is open moves there. While the keys lead (a
    // menu opened or moved by key) a pointer resting where it was is passed over, so the lit item stays
    // the keys' own until the pointer moves.
    void hoverTitle(int menu);
    void hoverItem(int item);
    void pointerMoved() { keysLead_ = false; }
    // A click on an item of the open menu: its command (0 for a separator or a disabled item).
    int clickItem(int item);
    void close();

  private:
    void openAt(int menu);
    int nextMenu(int from, int step) const;
    int nextItem(int from, int step) const;
    bool choosable(int item) const;

    std::vector<MenuPopup> bar_;
    std::function<bool(int)> enabled_;
    int open_ = -1;
    int lit_ = -1;
    bool keysLead_ = false;
};

} // namespace tundrix
