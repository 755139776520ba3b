// The sound effects on Windows: one DirectSound static buffer per WAVE, with pan and volume, and
// PlaySoundA as the simple player when no device opens.
#pragma once
#include "platform/audio.h"

#include <windows.h>

#include <cstdint>
#include <vector>

struct IDirectSound;
struct IDirectSoundBuffer;

namespace tundrix {

class Win32Audio : public AudioOut {
  public:
    // window: the main window, which the device is given exclusive use for.
    explicit Win32Audio(HWND window);
    ~Win32Audio() override;
    Win32Audio(const Win32Audio&) = delete;
    Win32Audio& operator=(const Win32Audio&) = delete;

    // The device is opened once and kept for later worlds; false (and the simple player) when there is no
    // device or it refuses the window exclusive use.
    bool open() override;
    // Releases every buffer (a new world builds its own); the device stays open.
    void close() override;

    BufferId createBuffer(const PcmFormat& format, std::span<const uint8_t> samples) override;
    void releaseBuffer(BufferId id) override;
    bool isPlaying(BufferId id) override;
    void start(BufferId id, bool loop, int pan, int volume) override;
    void stop(BufferId id) override;
    void setOutputVolume(int attenuation) override;

    void simplePlay(const PcmFormat& format, std::span<const uint8_t> samples, bool loop) override;
    void simpleStop() override;
    // Silences everything while the game is paused; kept across worlds.
    void setMuted(bool muted);

  private:
    struct Slot {
        IDirectSoundBuffer* buffer = nullptr;
        std::vector<uint8_t> samples; // copied in again after the buffer's memory was lost
        int volume = 0;               // the sound's own, as last started
    };
    Slot* slotOf(BufferId id);
    bool fill(Slot& slot);
    void restoreIfLost(Slot& slot);
    int deviceVolume(int ownVolume) const;

    HWND window_;
    IDirectSound* device_ = nullptr;
    bool tried_ = false;
    std::vector<Slot> slots_;
    int outputAttenuation_ = 0;
    bool muted_ = false;
    std::vector<uint8_t> simpleWave_; // what PlaySoundA plays from memory; kept until it is stopped
};

} // namespace tundrix
