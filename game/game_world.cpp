// Building and tearing down a game world: surface, sounds, pictures, HUD, figures, first period.
#include "game/game_world.h"

#include "core/screen_layout.h"

namespace tundrix {

namespace {

std::unique_ptr<NumberDisplay> digitDisplay(SpriteSheet& digits, int32_t x) {
    auto d = std::make_unique<NumberDisplay>(&digits, g_screen);
    d->setPosition(x, layout::HUD_Y);
    d->spacing = layout::DIGIT_SPACING;
    d->alignment = NumberDisplay::EndAt;
    return d;
}
} // namespace

GameWorld::GameWorld(GameServices& services, const AngleTables& angles)
    : services_(services), angles_(angles), mode_(services.mode), rules_(rulesFor(mode_)),
      blankPicture_(SCREEN_WIDTH, SCREEN_HEIGHT) {
    tamperFlag = false;
    random_.seed(services_.clock.nowMs());

    screen_ = std::make_unique<ScreenSurface>(services_.video, services_.resources);
    g_screen = screen_.get();

    sounds_ = std::make_unique<GameSounds>(services_.audio, services_.resources);

    const ResourceStore& res = services_.resources;
    backgroundSheet_.load(res, SET_BACKGROUNDS);
    rinkDisplay_.setSize(SCREEN_WIDTH, SCREEN_HEIGHT);
    blankPicture_.fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0);
    rinkPicture_ =
        backgroundSheet_.frame(BACKGROUND_RINK) ? backgroundSheet_.frame(BACKGROUND_RINK) : &blankPicture_;
    claimedPicture_ = backgroundSheet_.frame(BACKGROUND_CLAIMED) ? backgroundSheet_.frame(BACKGROUND_CLAIMED)
                                                                 : &blankPicture_;

    chanceIconSheet_.load(res, SET_CHANCE_ICONS);
    playerSheet_.load(res, SET_PLAYER);
    opponentSheet_.load(res, SET_OPPONENTS);
    digitSheet_.load(res, SET_DIGITS);
    rightFigureSheet_.load(res, SET_RIGHT_FIGURE);
    leftFigureSheet_.load(res, SET_LEFT_FIGURE);
    flagSheet_.load(res, SET_FLAGS);
    matchCardSheet_.load(res, SET_MATCH_CARDS);
    gameOverBanner_ = std::make_unique<Image>(res, SET_GAME_OVER_BANNER);

    clockMinutes_ = digitDisplay(digitSheet_, layout::MINUTES_END);
    clockSeconds_ = digitDisplay(digitSheet_, layout::SECONDS_END);
    clockSeconds_->minDigits = 2;
    score_ = digitDisplay(digitSheet_, layout::SCORE_END);
    claimedCells_ = digitDisplay(digitSheet_, layout::PERCENT_END);
    claimedCells_->scale = PERCENT_SCALE;
    periodNumber_.set(1);
    // The period clock starts now; the first period's set-up starts it again. Recordings count this
    // reading of the clock, so it stays.
    periodStart_.set(static_cast<int32_t>(services_.clock.nowMs()));

    chanceIconSheet_.select(CHANCE_ICON_BRUM); // the chosen mascot's face once play begins
    chances_ =
        std::make_unique<NumberDisplay>(chanceIconSheet_.current(), layout::MAX_CHANCE_ICONS, g_screen);
    chances_->setPosition(layout::CHANCES_X, layout::CHANCES_Y);
    chances_->spacing = 0;
    chances_->alignment = NumberDisplay::StartAt;
    chances_->set(rules_.startChances);

    rink_.attachPictures(rinkDisplay_, *rinkPicture_, *claimedPicture_);
    ctx_ = std::unique_ptr<PlayContext>(new PlayContext{rink_, actors_, random_, angles_, services_.keyboard,
                                                        *score_, *claimedCells_, sounds_->bigCaptureSound,
                                                        sounds_->opponentSound, sounds_->refereeCutSound});
    ctx_->opponentSpeed = rules_.opponentSpeed;
    player_ = std::make_unique<Player>(*ctx_, playerSheet_);
    rightFigure_ = std::make_unique<TitleFigure>(VESSA, rightFigureSheet_, random_, sounds_->rightFigureSound,
                                                 &sounds_->titleTuneSound);
    leftFigure_ = std::make_unique<TitleFigure>(BRUM, leftFigureSheet_, random_, sounds_->leftFigureSound);

    setUpPeriod();
    onTitle_ = true;
}

GameWorld::~GameWorld() {
    // The period's figures go while the context they leave still stands; the members then go in reverse
    // order, so whatever plays or shows goes before the sounds' device, and the surface last.
    actors_.clear();
    if (g_screen == screen_.get()) g_screen = nullptr;
}

int32_t GameWorld::percentage() {
    return claimedPercent(claimedCells_->get());
}

int32_t GameWorld::matchIndex() {
    return (periodNumber_.get() - 1) / PERIODS_PER_MATCH;
}

} // namespace tundrix
