// Turning an angle in degrees into its entry of the tables.
#include "core/angle_tables.h"

#include <cmath>

namespace tundrix {

int AngleTables::index(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    double whole = std::trunc(std::fmod(degrees, 360.0));
    int deg = static_cast<int>(whole);
    deg %= 360;
    if (deg < 0) deg += 360;
    return 2 * deg;
}

} // namespace tundrix
