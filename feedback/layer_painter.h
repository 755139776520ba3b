// Draws what the layer shows onto the composed picture, before it is presented.
#pragma once
#include "feedback/effects.h"
#include "feedback/layer_art.h"
#include "feedback/shades.h"

namespace tundrix {

// The numbers the bottom panel shows.
struct PanelFigures {
    int32_t period = 0;
    int32_t best = 0;
};

class LayerPainter {
  public:
    LayerPainter(const LayerArt& art, const Shades& shades) : art_(art), shades_(shades) {}

    // Everything, in order: on the ice (the flash of the newly claimed cells, the cut lines, the raid line),
    // then the figures' effects, the panel, the card and banner, and last the shake of the whole picture.
    // display is the rink as the world drew it under the figures; only the ice the figures leave
    // uncovered is marked. wonNow: the world is in its period-won pause.
    void paint(Image& screen, const Image& display, const Rink& rink, const Effects& effects,
               PanelFigures figures, bool wonNow) const;

    // The parts, for the ones above.
    void paintFlash(Image& screen, const Image& display, const Effects::Flash& flash) const;
    void paintCutLine(Image& screen, const Image& display, const Effects::CutLine& cut) const;
    void paintRaidLine(Image& screen, const Image& display, const Rink& rink) const;
    void paintPenaltyBox(Image& screen, const Effects& effects) const;
    void paintFloater(Image& screen, const Effects::Floater& floater) const;
    void paintPanel(Image& screen, PanelFigures figures) const;
    void paintCard(Image& screen, int32_t period, int age) const;
    void paintBanner(Image& screen, const PeriodWonMoment& won, int age) const;
    void shake(Image& screen, int age) const;
    // On the title: an arrow over the chosen mascot, its tip at (x, y), bobbing with age (frames).
    void paintChoice(Image& screen, int32_t x, int32_t y, int age) const;

  private:
    const LayerArt& art_;
    const Shades& shades_;
};

} // namespace tundrix
