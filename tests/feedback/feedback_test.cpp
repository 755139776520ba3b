// The feedback layer over whole scripted games: off, the picture is the game's own; on or off, the rules
// see the same world; the moments it finds add up to the game's score and chances and lie where they
// happened; and each one is drawn where it happened (with screenshots of each).
#include "bots/headless_game.h"
#include "feedback/feedback_world.h"
#include "game/world_digest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix {
namespace {

// A headless game whose every world has the feedback layer on top, shown or not.
struct FeedbackGame {
    explicit FeedbackGame(bool shownAtStart = true, uint32_t startMs = 7777)
        : shown(shownAtStart), game(startMs, {}, [this](std::unique_ptr<GameWorld> world) {
              auto layered =
                  std::make_unique<FeedbackWorld>(std::move(world), game.resources, [this] { return best; });
              layered->setShown(shown);
              top = layered.get();
              return std::unique_ptr<World>(std::move(layered));
          }) {}

    const Moments& moments() const { return top->layer().lastMoments(); }

    // Declared before the game, which builds its first world as it is built.
    bool shown;
    int32_t best = 0;
    FeedbackWorld* top = nullptr;
    HeadlessGame game;
};

// Scripted players: strips claimed one after another from the top or bottom edge, and a single raid down
// the left of the rink timed for when the referee is left of it, so the whole right side goes at once with
// every figure on it.
void stepUntil(HeadlessGame& g, const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit && !done(); ++i)
        g.step();
}

// From the title into play of period 1.
void startPlay(HeadlessGame& g) {
    leaveTitle(g);
    g.keys.tap(Key::Enter);
    g.step(2);
}

// Holds key until done or limit frames.
void skate(HeadlessGame& g, Key key, const std::function<bool()>& done, int limit) {
    g.keys.releaseAll();
    g.keys.press(key);
    stepUntil(g, done, limit);
    g.keys.releaseAll();
}

// A raid straight down from the top edge or up from the bottom one, until it closes or is cut.
void raidAcross(HeadlessGame& g) {
    const bool fromTop = g.world().player().y() < (EDGE_TOP + EDGE_BOTTOM) / 2;
    g.keys.releaseAll();
    g.keys.press(Key::Space);
    g.keys.press(fromTop ? Key::Down : Key::Up);
    g.step(1);
    stepUntil(
        g, [&] { return g.world().player().safe || g.world().gameOver(); }, 120);
    g.keys.releaseAll();
    g.step(1);
}

// Between periods: through the pauses and the match intro; false once the game is over.
bool throughPauses(HeadlessGame& g) {
    for (int i = 0; i < 200 && !g.world().gameOver(); ++i) {
        GameWorld& w = g.world();
        if (!w.inMatchIntro() && !w.periodWon() && !w.timeUp()) return true;
        g.keys.releaseAll();
        g.step(5);
        if (w.inMatchIntro()) g.keys.tap(Key::Enter);
    }
    return !g.world().gameOver();
}

// A period begins with the player halfway up the left edge: up to the top.
void toTopEdge(HeadlessGame& g) {
    if (g.world().player().y() > EDGE_TOP && g.world().player().y() < EDGE_BOTTOM)
        skate(
            g, Key::Up, [&] { return g.world().player().y() <= EDGE_TOP; }, 60);
}

// Strips `width` columns apart until the game is over or `raids` raids have run.
void playStrips(HeadlessGame& g, int width, int raids) {
    for (int i = 0; i < raids && throughPauses(g); ++i) {
        toTopEdge(g);
        const float target = g.world().player().x() + static_cast<float>(width);
        skate(
            g, Key::Right, [&] { return g.world().player().x() >= target; }, 60);
        raidAcross(g);
    }
}

// At column 100 of the top edge, waits for the referee to be left of it, then raids down: the right side,
// more than 80 % of the ice, is claimed with every opponent on it. Tries until a period is won or the game
// is over.
void winWithOneRaid(HeadlessGame& g) {
    const int32_t period = g.world().periodNumber().get();
    constexpr float LINE_X = 100, REFEREE_LEFT_OF = 80;
    while (throughPauses(g) && g.world().periodNumber().get() == period) {
        toTopEdge(g);
        skate(
            g, g.world().player().x() < LINE_X ? Key::Right : Key::Left,
            [&] { return std::abs(g.world().player().x() - LINE_X) < 2; }, 60);
        stepUntil(
            g, [&] { return g.world().referee() && g.world().referee()->x() < REFEREE_LEFT_OF; }, 500);
        raidAcross(g);
        stepUntil(
            g, [&] { return !g.world().periodWon(); }, 60);
    }
}

using Script = std::function<void(HeadlessGame&)>;

struct NamedScript {
    const char* name;
    Script play;
    uint64_t approvedLayer; // every picture the game shows with the layer on, looked at and approved
};

// Small raids from the left edge to the end of the game; and two periods won with one raid each, then
// strips until the chances are gone: between them every moment the layer shows.
const NamedScript SCRIPTS[] = {
    {"small raids", [](HeadlessGame& g) { playScriptedGame(g, 3); }, 0xdd9bb8bc7a0aafa2u},
    {"periods won",
     [](HeadlessGame& g) {
         startPlay(g);
         winWithOneRaid(g);
         winWithOneRaid(g);
         playStrips(g, 30, 40);
         g.step(80);
     },
     0x0b8618772d27d9f5u},
};
constexpr uint32_t START_MS = 1000; // a start at which the referee lets both one-raid periods be won

uint64_t hashFrame(const std::vector<uint8_t>& frame) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(frame.data()), frame.size()));
}

// What a game shows and what its rules see, frame by frame.
struct Trace {
    std::vector<uint64_t> pictures; // one per presented frame
    std::vector<uint64_t> digests;  // one per frame
};

// One game at a time: a world draws on the one screen the last world built. `also` sees each frame after.
Trace trace(HeadlessGame& g, const Script& script, const std::function<void(GameWorld&)>& also = {}) {
    Trace t;
    g.eachFrame = [&](GameWorld& w) {
        t.digests.push_back(worldDigest(w));
        if (static_cast<size_t>(g.video.presents) > t.pictures.size())
            t.pictures.push_back(hashFrame(g.video.frame));
        if (also) also(w);
    };
    script(g);
    return t;
}

// The same game bare, under the layer hidden and under the layer shown; over the last, every moment and the
// game's own count of what the moments stand for.
TEST(FeedbackLayer, OffItShowsTheGamesPictureOnOrOffTheRulesSeeTheSameWorldAndItsMomentsAddUpToTheGame) {
    for (const NamedScript& script : SCRIPTS) {
        SCOPED_TRACE(script.name);
        Trace game, layerOff;
        {
            HeadlessGame bare(START_MS);
            game = trace(bare, script.play);
            ASSERT_TRUE(bare.world().gameOver());
        }
        {
            FeedbackGame hidden(false, START_MS);
            layerOff = trace(hidden.game, script.play);
        }
        FeedbackGame g(true, START_MS);
        int32_t capturePoints = 0, penalties = 0, cuts = 0, wonPeriods = 0;
        int32_t timeUps = 0, wonPauses = 0; // counted from the world's flags
        std::vector<int32_t> periodsStarted;
        bool timeUp = false, won = false;
        const Trace layerOn = trace(g.game, script.play, [&](GameWorld& w) {
            const Moments& m = g.moments();
            const Rink& rink = w.rink();
            if (m.capture) {
                capturePoints += m.capture->points;
                EXPECT_GT(m.capture->cells, 0);
                // Closed on the edge or a claimed line, where the player skates on.
                const uint8_t under =
                    rink.cellAt(static_cast<int32_t>(m.capture->x), static_cast<int32_t>(m.capture->y));
                EXPECT_TRUE(under == CellEdge || under == CellClaimedLine || under == CellClaimed)
                    << int{under};
            }
            for (const PenaltyMoment& p : m.penalties) {
                ++penalties;
                const uint8_t under = rink.cellAt(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y));
                EXPECT_TRUE(under == CellClaimed || under == CellClaimedLine)
                    << "caught inside the claimed ice";
                EXPECT_NE(p.figure, nullptr);
            }
            if (m.cut) {
                ++cuts;
                ASSERT_FALSE(m.cut->line.empty());
                int erased = 0;
                for (const PathPoint& c : m.cut->line)
                    erased += rink.cellAt(static_cast<int32_t>(c.x), static_cast<int32_t>(c.y)) == CellIce;
                EXPECT_GE(erased * 10, static_cast<int>(m.cut->line.size()) * 9) << "the line is ice again";
            }
            if (m.periodStarted) periodsStarted.push_back(m.periodStarted);
            if (m.won) {
                ++wonPeriods;
                EXPECT_GE(m.won->percent, WINNING_PERCENT);
                EXPECT_EQ(m.won->period, w.periodNumber().get());
            }
            timeUps += w.timeUp() && !timeUp;
            wonPauses += w.periodWon() && !won;
            timeUp = w.timeUp(), won = w.periodWon();
        });

        EXPECT_EQ(layerOff.pictures, game.pictures) << "every presented frame, pixel for pixel";
        ASSERT_EQ(layerOn.pictures.size(), game.pictures.size());
        EXPECT_NE(layerOn.pictures, game.pictures) << "the layer shows, when on";
        const std::string_view shown(reinterpret_cast<const char*>(layerOn.pictures.data()),
                                     layerOn.pictures.size() * sizeof(uint64_t));
        EXPECT_EQ(std::hash<std::string_view>{}(shown), script.approvedLayer) << "what the layer draws";
        EXPECT_EQ(layerOff.digests, game.digests);
        EXPECT_EQ(layerOn.digests, game.digests);

        GameWorld& w = g.game.world();
        EXPECT_EQ(capturePoints + PENALTY_POINTS * penalties, w.score().get());
        EXPECT_EQ(cuts + timeUps, 3 - w.chances().get()) << "every chance lost";
        EXPECT_EQ(wonPeriods, wonPauses);
        std::vector<int32_t> played;
        for (int32_t p = 1; p <= w.periodNumber().get(); ++p)
            played.push_back(p);
        EXPECT_EQ(periodsStarted, played);
        if (std::string(script.name) == "periods won") {
            EXPECT_EQ(wonPeriods, 2);
            EXPECT_GT(penalties, 0);
            EXPECT_GT(cuts, 0);
        }
    }
}

// The picture as the game composed it and as the layer leaves it, on the frame just run.
struct Layered {
    std::vector<uint8_t> game, shown;
    int changedIn(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, SCREEN_HEIGHT); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, SCREEN_WIDTH); ++x) {
                const size_t i = static_cast<size_t>(y) * SCREEN_WIDTH + static_cast<size_t>(x);
                n += game[i] != shown[i];
            }
        return n;
    }
};

Layered look(FeedbackGame& g) {
    GameWorld& w = g.top->game();
    Layered l;
    w.compose();
    l.game.assign(w.screen().pixels(), w.screen().pixels() + SCREEN_WIDTH * SCREEN_HEIGHT);
    g.top->layer().draw();
    l.shown.assign(w.screen().pixels(), w.screen().pixels() + SCREEN_WIDTH * SCREEN_HEIGHT);
    return l;
}

void shoot(FeedbackGame& g, const std::string& name) {
    std::filesystem::create_directories(TUNDRIX_SHOT_DIR);
    EXPECT_TRUE(g.game.video.writePng(std::string(TUNDRIX_SHOT_DIR) + "/" + name + ".png"));
}

TEST(FeedbackLayer, EachMomentIsDrawnWhereItHappened) {
    FeedbackGame g(true, START_MS);
    g.best = 4321;
    using namespace feedback;
    struct Seen {
        bool capture = false, penalty = false, cut = false, card = false, won = false, raid = false;
    } seen;
    // A moment is looked at a few frames in, when its effect is well under way.
    struct Due {
        uint32_t frame;
        std::function<void()> check;
    };
    std::vector<Due> due;
    const auto later = [&](int frames, std::function<void()> check) {
        due.push_back({g.game.driver.frameCount() + static_cast<uint32_t>(frames), std::move(check)});
    };
    g.game.eachFrame = [&](GameWorld& w) {
        const Moments& m = g.moments();
        const uint32_t now = g.game.driver.frameCount();
        if (m.capture && !seen.capture) {
            seen.capture = true;
            const int x = static_cast<int>(m.capture->x), y = static_cast<int>(m.capture->y);
            later(2, [&, x, y] {
                const Layered l = look(g);
                EXPECT_GT(l.changedIn(x - 24, y - 24, x + 24, y + 24), 40) << "the flash where it closed";
                EXPECT_GT(l.changedIn(x - 40, y - 60, x + 40, y - 20), 40) << "+N above it";
                shoot(g, "feedback_capture");
            });
        }
        if (!m.penalties.empty() && !seen.penalty) {
            seen.penalty = true;
            later(SKATE_FRAMES / 2, [&] { shoot(g, "feedback_penalty_skating"); });
            later(SKATE_FRAMES + 1, [&] {
                const Layered l = look(g);
                EXPECT_GT(l.changedIn(BOX_SEAT_X, BOX_SEAT_Y, BOX_SEAT_X + 16, BOX_SEAT_Y + 16), 20)
                    << "a figure sits in the box";
                shoot(g, "feedback_penalty_box");
            });
        }
        if (m.cut && !seen.cut && m.cut->line.size() > 30) {
            seen.cut = true;
            const PathPoint mid = m.cut->line[m.cut->line.size() / 2];
            later(0, [&, mid] {
                const int x = static_cast<int>(mid.x), y = static_cast<int>(mid.y);
                // Shaking moves everything: look along the line's middle only for its own colours.
                EXPECT_GT(look(g).changedIn(x - 6, y - 6, x + 6, y + 6), 8) << "the line flashing away";
                shoot(g, "feedback_cut");
            });
            later(7, [&] { shoot(g, "feedback_cut_later"); });
        }
        if (m.periodStarted == 2 && !seen.card) {
            seen.card = true;
            later(CARD_SLIDE + 4, [&] {
                const Layered l = look(g);
                EXPECT_GT(l.changedIn(CARD_CENTRE_X - 90, CARD_Y, CARD_CENTRE_X + 90, CARD_Y + BIG_NUMERAL_H),
                          800);
                EXPECT_GT(l.changedIn(PANEL_X, PANEL_Y, PANEL_X + PANEL_W, PANEL_Y + PANEL_H), 600)
                    << "the panel";
                shoot(g, "feedback_period_card");
            });
        }
        if (m.won && !seen.won) {
            seen.won = true;
            later(BANNER_SLIDE + 8, [&] {
                const Layered l = look(g);
                EXPECT_GT(l.changedIn(WON_BANNER_X, WON_BANNER_Y, WON_BANNER_X + WON_BANNER_W,
                                      WON_BANNER_Y + WON_BANNER_H),
                          WON_BANNER_W * WON_BANNER_H / 2);
                shoot(g, "feedback_period_won");
            });
        }
        if (!seen.raid && !w.player().safe && w.rink().pathCount() > 80) {
            seen.raid = true;
            shoot(g, "feedback_raid_line");
        }
        for (const Due& d : due)
            if (d.frame == now) d.check();
    };
    SCRIPTS[1].play(g.game);
    EXPECT_TRUE(seen.capture && seen.penalty && seen.cut && seen.card && seen.won && seen.raid);
}

// On the title the chosen mascot carries a mark above it, which follows the choice; nothing else changes.
TEST(FeedbackLayer, TheChosenMascotIsMarkedOnTheTitle) {
    FeedbackGame g(true);
    g.game.step(60); // both figures have come in
    GameWorld& w = g.top->game();
    // Left of the middle or right of it, the figure marked; the prompt left as the game drew it.
    const auto marked = [&](int x0, int x1) {
        const Layered l = look(g);
        return l.changedIn(x0, 0, x1, 130);
    };
    EXPECT_GT(marked(160, 300), 100) << "Vessa is chosen at the start";
    EXPECT_EQ(marked(0, 160), 0);
    shoot(g, "title-vessa-chosen");
    g.game.keys.tap(Key::Left);
    g.game.step(2);
    ASSERT_EQ(w.player().mascot, 1);
    EXPECT_GT(marked(40, 160), 100) << "the mark moves to Brum";
    EXPECT_EQ(marked(160, 300), 0);
    g.game.step(1);
    shoot(g, "title-brum-chosen");
}

} // namespace
} // namespace tundrix
