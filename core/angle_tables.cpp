// Fills the half-degree sine and cosine tables once, in extended precision.
#include "core/angle_tables.h"

#include <cmath>

namespace tundrix {

namespace {
// Half a degree with pi taken as 3.141592, as the game has always steered.
constexpr long double HALF_DEGREE = 0.008726644444444445L;
} // namespace

AngleTables::AngleTables() {
    for (int i = 0; i < ENTRIES; ++i) {
        long double a = static_cast<long double>(i) * HALF_DEGREE;
        sin_[i] = static_cast<double>(std::sin(a));
        cos_[i] = static_cast<double>(std::cos(a));
    }
}

int AngleTables::index(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    // fmod keeps the angle within a full turn either way; negative angles count back from 360.
    int deg = static_cast<int>(std::trunc(std::fmod(degrees, 360.0)));
    if (deg < 0) deg += 360;
    return 2 * deg;
}

} // namespace tundrix
