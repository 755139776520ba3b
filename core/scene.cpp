// Drawing each screen into the surface: title, match intro, and play with the banner and the HUD.
#include "core/game_world.h"

namespace tundrix {

namespace {
constexpr int32_t TITLE_READY_AGE = 50;
} // namespace

int32_t GameWorld::bannerX() const {
    const int32_t slide = countdown_ - 20 > 0 ? countdown_ - 20 : 0;
    return slide * 20 + 95;
}

void GameWorld::draw() {
    screen_->create();
    if (onTitle_)
        drawTitle();
    else if (inMatchIntro_)
        drawMatchIntro();
    else
        drawPlay();
    screen_->present();
}

void GameWorld::drawTitle() {
    backgroundSheet_.drawFrame(0, 0, 3);
    leftFigure_->drawFigure(player_->mascot == 1);
    rightFigure_->drawFigure(player_->mascot == 0);
    backgroundSheet_.drawFrame(383, 82, 4);

    int& blink = services_.titleBlink;
    if (blink >= 8 || blink < 0) blink = 0;
    if (rightFigure_->age > TITLE_READY_AGE && blink <= 4) leftFigureSheet_.drawFrame(286, 90, 4);
    ++blink;
}

void GameWorld::drawMatchIntro() {
    backgroundSheet_.drawFrame(0, 0, 2);
    matchCardSheet_.drawFrame(226, 128, matchIndex());
}

void GameWorld::drawPlay() {
    rinkDisplay_.draw(0, 0);
    player_->draw();
    drawAll(actors_);

    if (gameOver_ && countdown_ < 40) {
        if (countdown_ == 25) sounds_->periodEndSound.play();
        gameOverBanner_->draw(bannerX(), 134);
    }

    clockSeconds_->draw();
    clockMinutes_->draw();
    score_->draw();
    claimedCells_->draw();
    digitSheet_.drawFrame(56, 12, 11);
    digitSheet_.drawFrame(174, 12, 12);
    flagSheet_.drawFrame(348, 279, matchIndex());
    chances_->draw();
}

} // namespace tundrix
