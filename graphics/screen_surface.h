// The one 440 by 300 surface every frame is composed in, with the game's palette.
#pragma once
#include "core/resource_ids.h"
#include "graphics/image.h"
#include "platform/resource_store.h"
#include "platform/video.h"

#include <array>
#include <memory>

namespace tundrix {

constexpr int32_t SCREEN_WIDTH = 440;
constexpr int32_t SCREEN_HEIGHT = 300;

// An Image whose pixels appear once create has run: an 8-bit frame buffer, top row first, always
// 440 by 300. Before that the Image operations find no pixels and do nothing.
class ScreenSurface : public Image {
  public:
    // width and height size the Image part until create; the frame buffer is 440 by 300 regardless.
    ScreenSurface(VideoOut& video, const ResourceStore& resources, int32_t width = SCREEN_WIDTH,
                  int32_t height = SCREEN_HEIGHT);
    ~ScreenSurface() override;

    // Reads the palette from bitmap 139, hands it to the video output and makes the frame buffer.
    // Does nothing once it has succeeded; while bitmap 139 is missing or damaged it fails and is
    // tried again on the next call.
    void create();
    // Shows the frame buffer at 1:1, handing the palette to the video output again first when
    // g_paletteDirty asks for it. Nothing before create has succeeded.
    void present();

    bool created() const { return created_; }
    const std::array<Rgb, 256>& palette() const { return palette_; }

  private:
    VideoOut& video_;
    const ResourceStore& resources_;
    bool created_ = false;
    std::array<Rgb, 256> palette_{};
    std::unique_ptr<uint8_t[]> frame_;
};

// The surface all sprite drawing goes to; owned by the game world.
extern ScreenSurface* g_screen;
// Set by the window when the palette must be applied again (window created, palette regained);
// consumed by the next present.
extern bool g_paletteDirty;

} // namespace tundrix
