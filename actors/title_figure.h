// The two mascots of the title screen: entrance, sounds, blinks, winks and the selection blink.
#pragma once
#include "actors/actor.h"
#include "core/random.h"
#include "core/resource_ids.h"
#include "core/screen_layout.h"
#include "core/sound_effect.h"

namespace tundrix {

// What sets one mascot apart: its entrance, the side its sound comes from, whether it also winks, and
// where its sheet's parts go.
struct TitleFigureStyle {
    layout::Entrance entrance;
    int pan; // of the figure's sound: -10000 full left .. +10000 full right
    bool winks;
    layout::Offset eyes;
    uint16_t winkFrame;
    layout::Offset wink;
    uint16_t hairFrame;
    layout::Offset hair;
};

// The female mascot (Vessa), entering from the right with her sound full right (sheet: image set 263).
constexpr TitleFigureStyle VESSA{layout::VESSA_ENTRANCE,
                                 10000,
                                 true,
                                 layout::VESSA_EYES,
                                 VESSA_WINK_FRAME,
                                 layout::VESSA_WINK,
                                 VESSA_HAIR_FRAME,
                                 layout::VESSA_HAIR};
// The male mascot (Brum), entering from the left with his sound full left (sheet: image set 264).
constexpr TitleFigureStyle BRUM{layout::BRUM_ENTRANCE, -10000,           false, layout::BRUM_EYES, 0, {},
                                BRUM_HAIR_FRAME,       layout::BRUM_HAIR};

class TitleFigure : public Actor {
  public:
    // The figure's sound plays as it sets off; the title tune, if there is one, starts with it.
    TitleFigure(const TitleFigureStyle& style, SpriteSheet& sheet, Random& random, SoundEffect& figureSound,
                SoundEffect* titleTune = nullptr);

    // Waits, then skates in and brakes to a stop.
    void update() override;
    // Sets off at the entrance's age; now and then closes both eyes for 2 frames, or (a figure that
    // winks, one time in ten) winks for 6. Each check without a blink running draws one number from the
    // shared sequence, one more when a blink starts on a figure that winks.
    void check() override;
    // Draws hair, portrait and eyes in place of the Actor draw. The hair of the selected figure is left
    // out on 3 of every 11 drawn frames.
    void drawFigure(bool selected);

    // Frames since construction, raised by every check; the right figure's age is the title clock.
    int32_t age = 0;
    float speed = 0;
    int32_t blinkHold = 0;
    int32_t selectBlink = 0;
    // 0 both eyes closed, 1 a wink.
    uint8_t blinkKind = 0;

  private:
    // Draws one frame of the sheet at an offset from the figure's position.
    void drawPart(uint16_t frame, layout::Offset offset);

    const TitleFigureStyle& style_;
    Random& random_;
    SoundEffect& figureSound_;
    SoundEffect* titleTune_;
};

} // namespace tundrix
