// Shows a recorded game in the window at the pace it was played: its pictures and its sounds come from the
// game's own world, one update each frame time, the time the game stood still left out.
#pragma once
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/resource_store.h"
#include "platform/video.h"
#include "replay/replay.h"
#include "replay/replay_player.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tundrix {

class ReplayViewer {
  public:
    // The viewer keeps the replay; the resources, the outputs and the clock must outlive it. Its world takes
    // the game's screen and tamper flag while it lives, so no other world may be alive meanwhile; the flag
    // is as it found it once the viewer has gone.
    ReplayViewer(Replay replay, const ResourceStore& resources, AudioOut& audio, VideoOut& video,
                 Clock& clock);
    ~ReplayViewer();
    ReplayViewer(const ReplayViewer&) = delete;
    ReplayViewer& operator=(const ReplayViewer&) = delete;

    // Plays the frame that is due, if one is: the steps up to its update, the update and its picture.
    // False once the replay has ended: played out, stopped, or no longer matching the game.
    bool advance();
    // How long until the next frame is due; 0 when it is due now or the replay has ended.
    uint32_t msToNextFrame();
    // Ends the replay where it stands (Escape, the menu).
    void stop() { stopped_ = true; }
    bool playing() const;
    // Why the replay could not be shown to its end; empty when it played out or was stopped.
    const std::string& problem() const { return player_->problem(); }
    // Pictures shown so far.
    uint32_t pictures() const { return pictures_; }

  private:
    Replay replay_;
    Clock& clock_;
    bool savedTamperFlag_;
    std::unique_ptr<ReplayPlayer> player_;
    size_t entry_ = 0;    // the next entry of the replay
    uint32_t start_ = 0;  // when frame 0 was due
    uint32_t frames_ = 0; // frames played since start_
    uint32_t pictures_ = 0;
    uint32_t overFrames_ = 0; // frames played since the game-over sequence ended
    bool started_ = false;
    bool stopped_ = false;
};

} // namespace tundrix
