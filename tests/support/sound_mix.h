// Which of the game's sounds can sound at once, and the level their mix must stay under.
#pragma once

namespace tundrix::test {

// During play: both loops, the time warning, a big capture, a referee's cut, an opponent's bump or
// penalty, and the period-end horn (the loops and the warning run on through the time-up pause and the
// game-over banner), with one of the feedback layer's short sounds, its cut or its small-capture chime
// (the layer plays one of its sounds at a time).
constexpr int PLAY_MIX[] = {309, 310, 313, 311, 315, 312, 314, 321};
constexpr int PLAY_MIX_WITH_CHIME[] = {309, 310, 313, 311, 315, 312, 314, 320};
// Half a second into the period-won pause, when the layer's fanfare starts: the warning has stopped, the
// horn and the layer's short sounds have ended and no figure moves, so only the loops and a big capture's
// fanfare sound with it.
constexpr int WON_MIX[] = {309, 310, 311, 322};
// On the title screen: the tune and the two figures' swishes.
constexpr int TITLE_MIX[] = {308, 305, 317};
// The loudest any mix may reach, as a share of full scale: 0.9, a decibel below it.
constexpr double MIX_LIMIT = 0.9;

} // namespace tundrix::test
