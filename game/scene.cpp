// Drawing each screen into the surface: title, match intro, and play with the banner and the HUD.
#include "core/screen_layout.h"
#include "game/game_world.h"

namespace tundrix {

namespace {
// The game-over banner shows once the countdown is below BANNER_SHOWN and slides in until it reaches
// BANNER_RESTS; the horn sounds at BANNER_HORN.
constexpr int BANNER_SHOWN = 40, BANNER_HORN = 25, BANNER_RESTS = 20;
// The title's prompt blinks over TITLE_BLINK_CYCLE drawn frames, showing on the first TITLE_BLINK_SHOWN.
constexpr int TITLE_BLINK_CYCLE = 8, TITLE_BLINK_SHOWN = 5;
} // namespace

int32_t GameWorld::bannerX() const {
    const int32_t slide = countdown_ - BANNER_RESTS > 0 ? countdown_ - BANNER_RESTS : 0;
    return slide * layout::BANNER_STEP + layout::BANNER_REST_X;
}

void GameWorld::draw() {
    compose();
    present();
}

void GameWorld::compose() {
    screen_->create();
    if (onTitle_)
        drawTitle();
    else if (inMatchIntro_)
        drawMatchIntro();
    else
        drawPlay();
}

void GameWorld::present() {
    screen_->present();
}

void GameWorld::drawTitle() {
    backgroundSheet_.drawFrame(0, 0, BACKGROUND_TITLE);
    leftFigure_->drawFigure(player_->mascot == MASCOT_BRUM);
    rightFigure_->drawFigure(player_->mascot == MASCOT_VESSA);
    backgroundSheet_.drawFrame(layout::PANEL_X, layout::PANEL_Y, BACKGROUND_PANEL);

    int& blink = services_.titleBlink;
    if (blink >= TITLE_BLINK_CYCLE || blink < 0) blink = 0;
    if (rightFigure_->age > TITLE_READY_AGE && blink < TITLE_BLINK_SHOWN)
        leftFigureSheet_.drawFrame(layout::CAPTION_X, layout::CAPTION_Y, BRUM_CAPTION_FRAME);
    ++blink;
}

void GameWorld::drawMatchIntro() {
    backgroundSheet_.drawFrame(0, 0, BACKGROUND_INTRO);
    matchCardSheet_.drawFrame(layout::CARD_X, layout::CARD_Y, matchIndex());
}

void GameWorld::drawPlay() {
    rinkDisplay_.draw(0, 0);
    player_->draw();
    drawAll(actors_);

    if (gameOver_ && countdown_ < BANNER_SHOWN) {
        if (countdown_ == BANNER_HORN) sounds_->periodEndSound.play();
        gameOverBanner_->draw(bannerX(), layout::BANNER_Y);
    }

    clockSeconds_->draw();
    clockMinutes_->draw();
    score_->draw();
    claimedCells_->draw();
    digitSheet_.drawFrame(layout::SEPARATOR_X, layout::HUD_Y, GLYPH_SEPARATOR);
    digitSheet_.drawFrame(layout::PERCENT_SIGN_X, layout::HUD_Y, GLYPH_PERCENT);
    flagSheet_.drawFrame(layout::FLAG_X, layout::FLAG_Y, matchIndex());
    chances_->draw();
}

} // namespace tundrix
