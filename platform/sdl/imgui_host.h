// A game window with a Dear ImGui layer over the picture: what the menus and the dialogs need from it.
#pragma once
#include "platform/zoom.h"

#include <cstdint>
#include <string>
#include <vector>

struct ImFont;

namespace tundrix {

enum class WindowEvent {
    None,           // nothing waiting (or nothing that mattered)
    Handled,        // one event was handled
    CloseRequested, // the close box, Alt-F4 or the session ending
};

// Keys the menus, the dialogs and the pause take, latched as they go down so that a short tap counts.
enum class ShellKey { OpenMenu, Left, Right, Up, Down, Enter, Escape, Pause, FullScreen, Mute };

class ImGuiHost {
  public:
    virtual ~ImGuiHost() = default;

    // Handles the events that are waiting: at most one that carries news for the player (a key, a click,
    // typed text, a close request) together with every one that does not (pointer motion, key repeat,
    // audio devices coming and going, window chatter). With waitMs above 0, first waits that long for one.
    virtual WindowEvent handleEvents(uint32_t waitMs) = 0;

    // One ImGui frame: begin, then the caller's ImGui calls, then finish, which shows the last game picture
    // under the ImGui layer.
    virtual void beginFrame() = 0;
    virtual void finishFrame() = 0;
    // True once no event has come for a few frames: what the ImGui layer shows has settled, and nothing
    // makes it change until the next event.
    virtual bool layerSettled() const = 0;
    // Instead of a frame: while the layer has settled, shows the newest game picture under the layer as
    // last drawn (nothing at all when the picture has not changed either) and returns true; false when a
    // whole frame is needed.
    virtual bool showWithoutLayout() = 0;
    // Something the layer shows changed without an event (a dialog opened or closed, an answer came): the
    // next few frames are laid out anew, as after an event, so that ImGui can size and show it.
    virtual void wake() = 0;
    // The shell keys pressed since the last frame began (filled by beginFrame).
    virtual const std::vector<ShellKey>& keysPressed() const = 0;

    // The path of the last file dropped onto the window since the last call (UTF-8), or empty.
    virtual std::string takeDroppedFile() = 0;

    // Typed characters reach ImGui only while text input is on (the register dialog).
    virtual void setTextInput(bool on) = 0;
    // Forgets game keys tapped while a dialog or a menu was open, so the game does not act on them.
    virtual void forgetTappedKeys() = 0;

    virtual int menuBarHeight() const = 0;
    // The large lettering of the pause sign (the menu font when it could not be loaded).
    virtual ImFont* signFont() const = 0;

    // The chosen zoom: the windowed picture is that whole factor larger.
    virtual int zoom() const = 0;
    // The largest zoom whose window fits the usable area of the screen.
    virtual int maxZoom() const = 0;
    // Sets the zoom, ZOOM_MIN to ZOOM_MAX (lowered to what fits) and keeps the window on screen.
    virtual void setZoom(int zoom) = 0;
    virtual bool fullScreen() const = 0;
    virtual void setFullScreen(bool on) = 0;
    // Whether the window has the keyboard's focus.
    virtual bool hasFocus() const { return true; }

    // Opens a web page in the user's browser; fire and forget.
    virtual void openUrl(const std::string& url) = 0;
};

} // namespace tundrix
