// What the game's actors and flow ask of a sound effect.
#pragma once

namespace tundrix {

class SoundEffect {
  public:
    virtual ~SoundEffect() = default;
    // Plays the sound; with a device exactly start, without one through the simple player.
    virtual void play() = 0;
    // Starts it unless it is already playing (never doubled); resumes where stop left it.
    virtual void start() = 0;
    virtual void stop() = 0;
    // -10000 full left .. +10000 full right, applied at the next start.
    virtual void setPan(int pan) = 0;
    virtual void setLoop(bool loop) = 0;
};

} // namespace tundrix
