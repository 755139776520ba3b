// Sine and cosine tables in half-degree steps for the actors that steer by angle.
#pragma once
#include <array>

namespace tundrix {

class AngleTables {
  public:
    static constexpr int ENTRIES = 720;
    AngleTables();

    // Looked up at entry 2 * trunc(degrees), so steering has whole-degree resolution. Angles outside
    // 0..360 (or one that rounded up to exactly 360) wrap around instead of reading past the tables.
    double sinDeg(double degrees) const { return sin_[index(degrees)]; }
    double cosDeg(double degrees) const { return cos_[index(degrees)]; }

  private:
    static int index(double degrees);

    std::array<double, ENTRIES> sin_{};
    std::array<double, ENTRIES> cos_{};
};

} // namespace tundrix
