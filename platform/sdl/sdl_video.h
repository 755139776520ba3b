// The game window on SDL2: the 8-bit picture through a streaming texture with the palette applied, the
// ImGui layer over it, whole-factor zoom and full screen, and the event handling of the main loop.
#pragma once
#include "platform/sdl/imgui_fonts.h"
#include "platform/sdl/imgui_host.h"
#include "platform/video.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tundrix {

class SdlKeys;
class SdlGamepads;

// Expands width x height palette indices through a 256-entry 0xAARRGGBB table into 32-bit pixels,
// rows pitchBytes apart.
void expandPicture(const uint8_t* indices, int width, int height, const uint32_t* argb, void* pixels,
                   int pitchBytes);

struct WindowOptions {
    std::string title;
    int pictureWidth = 440;
    int pictureHeight = 300;
    int zoom = 1; // lowered at start to what fits the screen
    bool fullScreen = false;
    // TrueType bytes for the menus and dialogs and for the pause sign; ImGui's own font when they do not
    // load.
    std::span<const uint8_t> textFont;
    std::span<const uint8_t> signFont;
    std::string signText; // every character the sign shows: its large font holds these alone
    // The window's icon: iconSize rows of iconSize RGBA pixels, top row first; none when empty.
    std::span<const uint8_t> iconRgba;
    int iconSize = 0;
    float textPixels = MENU_TEXT_PIXELS;
    float signPixels = SIGN_PIXELS;
};

class SdlVideo : public VideoOut, public ImGuiHost {
  public:
    // Starts SDL's video, opens the window and sets up ImGui. Null when there is no display; whyNot
    // then holds one line saying so.
    static std::unique_ptr<SdlVideo> open(const WindowOptions& options, SdlKeys& keys, std::string& whyNot);
    ~SdlVideo() override;

    void setPalette(std::span<const Rgb, 256> colours) override;
    void present(const uint8_t* pixels, int width, int height) override;

    WindowEvent handleEvents(uint32_t waitMs) override;
    void beginFrame() override;
    void finishFrame() override;
    bool layerSettled() const override;
    bool showWithoutLayout() override;
    void wake() override;
    const std::vector<ShellKey>& keysPressed() const override;
    std::string takeDroppedFile() override;
    void setTextInput(bool on) override;
    void forgetTappedKeys() override;
    // Gamepad events go to these pads from now on, and their taps are forgotten with the keyboard's.
    void attachGamepads(SdlGamepads& pads);
    int menuBarHeight() const override;
    ImFont* signFont() const override;
    int zoom() const override;
    int maxZoom() const override;
    void setZoom(int zoom) override;
    bool fullScreen() const override;
    bool hasFocus() const override;
    void setFullScreen(bool on) override;
    void openUrl(const std::string& url) override;

    struct Impl;

  private:
    explicit SdlVideo(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace tundrix
