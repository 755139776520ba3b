// The four headings the rink, the figures and the keyboard share.
#pragma once

namespace tundrix {

// 0 right (+x), 1 down (+y), 2 left (-x), 3 up (-y); -1 where no heading applies.
using Heading = int;
constexpr Heading HEADING_RIGHT = 0, HEADING_DOWN = 1, HEADING_LEFT = 2, HEADING_UP = 3, NO_HEADING = -1;
constexpr int HEADINGS = 4;

} // namespace tundrix
