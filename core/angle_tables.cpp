// Turning an angle in degrees into its entry of the tables.
#include "core/angle_tables.h"

#include <cmath>

namespace tundrix {

int AngleTables::index(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    // fmod keeps the angle within a full turn either way; negative angles count back from 360.
    int deg = static_cast<int>(std::trunc(std::fmod(degrees, 360.0)));
    if (deg < 0) deg += 360;
    return 2 * deg;
}

} // namespace tundrix
