// FNV-1a over the rink's cells, the figures, the counters, the flow's state and the random sequence.
#include "game/world_digest.h"

#include <bit>
#include <cstring>

namespace tundrix {

namespace {

class Fnv {
  public:
    void bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < n; ++i)
            hash_ = (hash_ ^ p[i]) * 0x100000001B3ull;
    }
    void number(int64_t v) { bytes(&v, sizeof v); }
    void real(float v) { number(std::bit_cast<int32_t>(v)); }
    uint64_t value() const { return hash_; }

  private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

void figure(Fnv& h, const Actor& a) {
    h.real(a.x()), h.real(a.y()), h.real(a.vx), h.real(a.vy);
    h.number(a.marked), h.number(a.visible);
}

} // namespace

uint64_t worldDigest(GameWorld& w) {
    Fnv h;
    const Image& grid = w.rink().grid();
    h.bytes(grid.pixels(), static_cast<size_t>(grid.width()) * static_cast<size_t>(grid.height()));
    h.number(w.rink().pathCount());

    Player& p = w.player();
    figure(h, p);
    h.number(p.heading()), h.number(p.safe), h.number(p.caught), h.number(p.mascot);
    w.actors().forEach([&h](ListItem* item) {
        const auto* o = static_cast<const Opponent*>(item);
        figure(h, *o);
        h.number(o->kind()), h.real(o->angle()), h.real(o->turnRate()), h.number(o->facing());
        h.number(o->sampledCell);
    });
    for (const TitleFigure* t :
         {static_cast<TitleFigure*>(&w.rightFigure()), static_cast<TitleFigure*>(&w.leftFigure())}) {
        figure(h, *t);
        h.number(t->age), h.real(t->speed), h.number(t->blinkHold);
    }

    for (GuardedCounter* c : {&w.score(), &w.chances(), &w.periodNumber(), &w.claimedCells(),
                              &w.clockMinutes(), &w.clockSeconds()})
        h.number(c->get());
    h.number(w.onTitle()), h.number(w.inMatchIntro()), h.number(w.periodWon()), h.number(w.timeUp());
    h.number(w.gameOver()), h.number(w.timeWarningOn()), h.number(w.countdown());
    h.number(w.randomSequence().state());
    return h.value();
}

} // namespace tundrix
