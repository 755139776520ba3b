// A game window with a Dear ImGui layer over the picture: what the menus and the dialogs need from it.
#pragma once
#include <cstdint>
#include <string>

namespace tundrix {

// The whole factors the window can be scaled by.
constexpr int ZOOM_MIN = 1, ZOOM_MAX = 3;

enum class WindowEvent {
    None,           // nothing waiting (or nothing that mattered)
    Handled,        // one event was handled
    CloseRequested, // the close box, Alt-F4 or the session ending
};

class ImGuiHost {
  public:
    virtual ~ImGuiHost() = default;

    // Handles at most one waiting event; mouse motion and key auto-repeat are absorbed without counting,
    // since the state they carry is read directly.
    virtual WindowEvent handleOneEvent() = 0;
    // Waits up to timeoutMs for one event and handles it (the dialogs' own loop).
    virtual WindowEvent waitAndHandleEvent(uint32_t timeoutMs) = 0;

    // One ImGui frame: begin, then the caller's ImGui calls, then finish, which shows the last game picture
    // under the ImGui layer.
    virtual void beginFrame() = 0;
    virtual void finishFrame() = 0;

    // Typed characters reach ImGui only while text input is on (the register dialog).
    virtual void setTextInput(bool on) = 0;
    // Forgets keys tapped while a dialog was open, so the game does not act on them.
    virtual void forgetTappedKeys() = 0;

    virtual int menuBarHeight() const = 0;
    virtual int zoom() const = 0;
    // ZOOM_MIN to ZOOM_MAX: the window's content is scaled by that whole factor, nearest neighbour.
    virtual void setZoom(int zoom) = 0;

    // Opens a web page in the user's browser; fire and forget.
    virtual void openUrl(const std::string& url) = 0;
};

} // namespace tundrix
