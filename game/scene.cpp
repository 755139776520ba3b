// Drawing each screen into the surface: title, match intro, and play with the banner and the HUD.
#include "core/screen_layout.h"
#include "game/game_world.h"

namespace tundrix {

int32_t GameWorld::bannerX() const {
    const int32_t slide = countdown_ - 20 > 0 ? countdown_ - 20 : 0;
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
    backgroundSheet_.drawFrame(0, 0, 3);
    leftFigure_->drawFigure(player_->mascot == 1);
    rightFigure_->drawFigure(player_->mascot == 0);
    backgroundSheet_.drawFrame(layout::PANEL_X, layout::PANEL_Y, 4);

    int& blink = services_.titleBlink;
    if (blink >= 8 || blink < 0) blink = 0;
    if (rightFigure_->age > TITLE_READY_AGE && blink <= 4)
        leftFigureSheet_.drawFrame(layout::CAPTION_X, layout::CAPTION_Y, 4);
    ++blink;
}

void GameWorld::drawMatchIntro() {
    backgroundSheet_.drawFrame(0, 0, 2);
    matchCardSheet_.drawFrame(layout::CARD_X, layout::CARD_Y, matchIndex());
}

void GameWorld::drawPlay() {
    rinkDisplay_.draw(0, 0);
    player_->draw();
    drawAll(actors_);

    if (gameOver_ && countdown_ < 40) {
        if (countdown_ == 25) sounds_->periodEndSound.play();
        gameOverBanner_->draw(bannerX(), layout::BANNER_Y);
    }

    clockSeconds_->draw();
    clockMinutes_->draw();
    score_->draw();
    claimedCells_->draw();
    digitSheet_.drawFrame(layout::SEPARATOR_X, layout::HUD_Y, 11);
    digitSheet_.drawFrame(layout::PERCENT_SIGN_X, layout::HUD_Y, 12);
    flagSheet_.drawFrame(layout::FLAG_X, layout::FLAG_Y, matchIndex());
    chances_->draw();
}

} // namespace tundrix
