// The two mascots of the title screen: entrance, sounds, blinks, winks and the selection blink.
#pragma once
#include "actors/actor.h"
#include "core/random.h"
#include "core/screen_layout.h"
#include "core/sound_effect.h"

namespace tundrix {

class TitleFigure : public Actor {
  public:
    TitleFigure(SpriteSheet& sheet, Random& random);
    ~TitleFigure() override = default;

    // Draws hair shape, portrait and eyes in place of the Actor draw. The hair of the selected figure
    // is left out on 3 of every 11 drawn frames.
    virtual void drawFigure(bool selected) = 0;

    // Frames since construction, raised by every check; the right figure's age is the title clock.
    int32_t age = 0;
    float speed = 0;
    int32_t blinkHold = 0;
    int32_t selectBlink = 0;

  protected:
    // Steps the selection blink; true when the hair shape is drawn this time.
    bool stepSelectBlink(bool selected);
    // Draws one frame of the sheet at an offset from the figure's position.
    void drawPart(uint16_t frame, layout::Offset offset);

    Random& random_;
};

// The female mascot (Vessa), entering from the right. Sheet: image set 263.
class RightTitleFigure : public TitleFigure {
  public:
    // Pans the figure's sound (WAVE 305) full right; the title tune is WAVE 308.
    RightTitleFigure(SpriteSheet& sheet, Random& random, SoundEffect& figureSound, SoundEffect& titleTune);
    void update() override;
    void check() override;
    void drawFigure(bool selected) override;

    // 0 both eyes closed, 1 a wink.
    uint8_t blinkKind = 0;

  private:
    SoundEffect& figureSound_;
    SoundEffect& titleTune_;
};

// The male mascot (Brum), entering from the left. Sheet: image set 264.
class LeftTitleFigure : public TitleFigure {
  public:
    // Pans the figure's sound (WAVE 317) full left.
    LeftTitleFigure(SpriteSheet& sheet, Random& random, SoundEffect& figureSound);
    void update() override;
    void check() override;
    void drawFigure(bool selected) override;

  private:
    SoundEffect& figureSound_;
};

} // namespace tundrix
