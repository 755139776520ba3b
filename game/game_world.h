// One game from the title screen to game over: everything it loads and every figure it runs.
#pragma once
#include "actors/opponent.h"
#include "actors/play_context.h"
#include "actors/play_frame.h"
#include "actors/player.h"
#include "actors/title_figure.h"
#include "core/angle_tables.h"
#include "core/game_rules.h"
#include "core/object_list.h"
#include "core/random.h"
#include "core/resource_ids.h"
#include "core/world.h"
#include "game/game_services.h"
#include "game/number_display.h"
#include "graphics/screen_surface.h"
#include "graphics/sprite_sheet.h"
#include "rink/rink.h"
#include "sound/game_sounds.h"

#include <memory>

namespace tundrix {

class GameWorld : public World {
  public:
    GameWorld(GameServices& services, const AngleTables& angles);
    ~GameWorld() override;
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // One frame of the game flow: title, match intro, play, the pauses and the game-over sequence.
    void update() override;
    // Composes the current screen in the surface and presents it: compose(), then present().
    void draw() override;
    // Composes the current screen in the surface without showing it, so more can be drawn on top.
    void compose();
    // Shows the surface as it stands in the window.
    void present();
    bool gameOver() const override { return gameOver_; }
    int countdown() const override { return countdown_; }
    void holdClock(uint32_t ms) override;

    // The shell compares this with its best score after every frame, and zeroes it after a submission.
    GuardedCounter& score() { return *score_; }
    GuardedCounter* scoreCounter() override { return score_.get(); }

    // What the flow, the scene and the tests read.
    bool onTitle() const override { return onTitle_; }
    bool inMatchIntro() const { return inMatchIntro_; }
    bool periodWon() const { return periodWon_; }
    bool timeUp() const { return timeUp_; }
    bool timeWarningOn() const { return timeWarningOn_; }
    // Percentage of the ice claimed this period, as the HUD shows it.
    int32_t percentage();
    // Match index from 0: three periods a match.
    int32_t matchIndex();
    GuardedCounter& chances() { return *chances_; }
    GuardedCounter& periodNumber() { return periodNumber_; }
    GuardedCounter& claimedCells() { return *claimedCells_; }
    GuardedCounter& clockMinutes() { return *clockMinutes_; }
    GuardedCounter& clockSeconds() { return *clockSeconds_; }
    Player& player() { return *player_; }
    Opponent* referee() { return ctx_->referee; }
    ObjectList& actors() { return actors_; }
    Rink& rink() { return rink_; }
    TitleFigure& rightFigure() { return *rightFigure_; }
    TitleFigure& leftFigure() { return *leftFigure_; }
    GameSounds& sounds() { return *sounds_; }
    ScreenSurface& screen() { return *screen_; }
    int32_t bannerX() const;
    const Random& randomSequence() const { return random_; }
    PlayMode mode() const { return mode_; }
    const ModeRules& rules() const { return rules_; }

    // Prepares the period numbered by periodNumber: fresh rink, referee and opponents, and either
    // the match's intro card or play at once.
    void setUpPeriod();

  private:
    void updateTitle();
    void updateMatchIntro();
    void updatePlay(int c);
    void showClock();
    void runClock();
    void endPeriod();
    void stopTimeWarning();
    void drawTitle();
    void drawMatchIntro();
    void drawPlay();

    GameServices& services_;
    const AngleTables& angles_;
    const PlayMode mode_;
    const ModeRules& rules_;
    Random random_;

    std::unique_ptr<ScreenSurface> screen_;
    std::unique_ptr<GameSounds> sounds_;

    SpriteSheet backgroundSheet_;
    SpriteSheet chanceIconSheet_;
    SpriteSheet playerSheet_;
    SpriteSheet opponentSheet_;
    SpriteSheet digitSheet_;
    SpriteSheet rightFigureSheet_;
    SpriteSheet leftFigureSheet_;
    SpriteSheet matchCardSheet_;
    SpriteSheet flagSheet_;
    Image rinkDisplay_;
    Image blankPicture_;
    Image* rinkPicture_ = nullptr;
    Image* claimedPicture_ = nullptr;
    std::unique_ptr<Image> gameOverBanner_;

    std::unique_ptr<NumberDisplay> clockMinutes_;
    std::unique_ptr<NumberDisplay> clockSeconds_;
    std::unique_ptr<NumberDisplay> score_;
    std::unique_ptr<NumberDisplay> claimedCells_;
    std::unique_ptr<NumberDisplay> chances_;
    GuardedCounter periodNumber_;
    GuardedCounter periodStart_;

    Rink rink_;
    ObjectList actors_;
    std::unique_ptr<PlayContext> ctx_;
    std::unique_ptr<Player> player_;
    std::unique_ptr<TitleFigure> rightFigure_;
    std::unique_ptr<TitleFigure> leftFigure_;

    bool onTitle_ = false;
    bool inMatchIntro_ = false;
    bool periodWon_ = false;
    bool timeUp_ = false;
    bool gameOver_ = false;
    bool timeWarningOn_ = false;
    int countdown_ = 0;
};

} // namespace tundrix
