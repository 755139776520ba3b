// Which of the game's sounds can sound at once, and the level their mix must stay under.
#pragma once

namespace tundrix::test {

// During play: both loops, the time warning, a big capture, a referee's cut, an opponent's bump or
// penalty, and the period-end horn (the loops and the warning run on through the time-up pause and the
// game-over banner).
constexpr int PLAY_MIX[] = {309, 310, 313, 311, 315, 312, 314};
// On the title screen: the tune and the two figures' swishes.
constexpr int TITLE_MIX[] = {308, 305, 317};
// The loudest any mix may reach, as a share of full scale: 0.9, a decibel below it.
constexpr double MIX_LIMIT = 0.9;

} // namespace tundrix::test
