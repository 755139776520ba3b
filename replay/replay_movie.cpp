// Drawing a replay frame by frame and writing the pictures as GIF frames: each frame only the rectangle
// that changed, with what did not change inside it transparent, and a run of equal frames as one frame
// shown longer.
#include "replay/replay_movie.h"

#include "platform/headless/recording_video.h"
#include "platform/headless/silent_audio.h"
#include "replay/replay_player.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace tundrix {

namespace {

constexpr int FRAME_CENTISECONDS = 4; // 40 ms: 25 frames a second

int appendTo(GifFileType* gif, const GifByteType* bytes, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + n);
    return n;
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The smallest rectangle holding every pixel where a and b differ (which they do somewhere).
Rect changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width, int height) {
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const uint8_t* ra = a.data() + static_cast<size_t>(y) * width;
        const uint8_t* rb = b.data() + static_cast<size_t>(y) * width;
        if (std::memcmp(ra, rb, static_cast<size_t>(width)) == 0) continue;
        top = std::min(top, y), bottom = y;
        int l = 0, r = width - 1;
        while (ra[l] == rb[l])
            ++l;
        while (ra[r] == rb[r])
            --r;
        left = std::min(left, l), right = std::max(right, r);
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

class GifWriter {
  public:
    GifWriter(std::vector<uint8_t>& out, int width, int height, const std::array<Rgb, 256>& palette)
        : width_(width), height_(height) {
        int error = 0;
        gif_ = EGifOpen(&out, appendTo, &error);
        if (!gif_) return;
        EGifSetGifVersion(gif_, true);
        GifColorType colours[256];
        for (size_t i = 0; i < 256; ++i)
            colours[i] = {palette[i].r, palette[i].g, palette[i].b};
        ColorMapObject* map = GifMakeMapObject(256, colours);
        bool ok = map && EGifPutScreenDesc(gif_, width, height, 8, 0, map) == GIF_OK;
        GifFreeMapObject(map);
        // Played in a loop, as a run on a leaderboard page should be.
        static const GifByteType loop[3] = {1, 0, 0};
        ok = ok && EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
             EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
             EGifPutExtensionBlock(gif_, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif_) == GIF_OK;
        failed_ = !ok;
    }
    ~GifWriter() { finish(); }

    // Adds the picture; a picture equal to the one before only makes that one stay longer.
    void add(const std::vector<uint8_t>& picture) {
        if (pending_.empty()) {
            rect_ = {0, 0, width_, height_};
        } else if (picture == pending_) {
            delay_ += FRAME_CENTISECONDS;
            return;
        } else {
            flush();
            rect_ = changed(shown_, picture, width_, height_);
        }
        pending_ = picture;
        delay_ = FRAME_CENTISECONDS;
    }
    bool finish() {
        if (gif_) {
            flush();
            int error = 0;
            failed_ = EGifCloseFile(gif_, &error) != GIF_OK || failed_;
            gif_ = nullptr;
        }
        return !failed_;
    }

  private:
    void flush() {
        if (pending_.empty() || !gif_ || failed_) return;
        // Pixels of the rectangle that did not change are written in a colour the new picture does not use
        // there, marked transparent: mostly runs of one index, which pack tightly.
        std::array<bool, 256> used{};
        for (int y = rect_.y; y < rect_.y + rect_.h; ++y)
            for (int x = rect_.x; x < rect_.x + rect_.w; ++x)
                used[pending_[static_cast<size_t>(y) * width_ + x]] = true;
        int clear = NO_TRANSPARENT_COLOR;
        if (!shown_.empty())
            for (int i = 255; i >= 0 && clear == NO_TRANSPARENT_COLOR; --i)
                if (!used[static_cast<size_t>(i)]) clear = i;
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = std::min(delay_, 65535);
        control.TransparentColor = clear;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        bool ok = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
                  EGifPutImageDesc(gif_, rect_.x, rect_.y, rect_.w, rect_.h, false, nullptr) == GIF_OK;
        std::vector<GifPixelType> row(static_cast<size_t>(rect_.w));
        for (int y = rect_.y; ok && y < rect_.y + rect_.h; ++y) {
            const size_t at = static_cast<size_t>(y) * width_ + rect_.x;
            for (int x = 0; x < rect_.w; ++x) {
                const uint8_t now = pending_[at + x];
                const bool same = clear != NO_TRANSPARENT_COLOR && now == shown_[at + x];
                row[static_cast<size_t>(x)] = same ? static_cast<GifPixelType>(clear) : now;
            }
            ok = EGifPutLine(gif_, row.data(), rect_.w) == GIF_OK;
        }
        failed_ = !ok;
        shown_ = std::move(pending_);
        pending_.clear();
    }

    GifFileType* gif_ = nullptr;
    int width_, height_;
    bool failed_ = true;
    std::vector<uint8_t> shown_, pending_;
    Rect rect_;
    int delay_ = 0;
};

} // namespace

Movie renderMovie(const Replay& replay, const ResourceStore& resources, const MovieLimits& limits) {
    Movie movie;
    headless::SilentAudio audio;
    headless::RecordingVideo video;
    ReplayPlayer player(replay, resources, audio, video);
    std::unique_ptr<GifWriter> writer;
    uint32_t updates = 0;
    while (player.next(false)) {
        if (player.updates() == updates || !player.world()) continue;
        updates = player.updates();
        if (movie.frames >= limits.maxFrames || movie.gif.size() >= limits.maxBytes) {
            movie.cut = true;
            break;
        }
        // Every frame is drawn, as on a machine that is never late.
        player.world()->draw();
        if (video.frame.empty()) continue;
        if (!writer)
            writer = std::make_unique<GifWriter>(movie.gif, video.width, video.height, video.palette);
        writer->add(video.frame);
        ++movie.frames;
    }
    movie.problem = player.problem();
    if (!writer || !writer->finish() || !movie.problem.empty()) {
        if (movie.problem.empty()) movie.problem = "the replay shows no picture";
        movie.gif.clear();
    }
    return movie;
}

} // namespace tundrix
