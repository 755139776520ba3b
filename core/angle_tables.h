// Sine and cosine tables in half-degree steps for the actors that steer by angle.
#pragma once

namespace tundrix {

// The values are constants the build writes once (tools/angles), the same on every build of the game, so
// that a game steers alike whatever compiler or C library made the program.
class AngleTables {
  public:
    static constexpr int ENTRIES = 720;

    // Looked up at entry 2 * trunc(degrees), so steering has whole-degree resolution. Angles outside
    // 0..360 (or one that rounded up to exactly 360) wrap around instead of reading past the tables.
    double sinDeg(double degrees) const { return sin_[index(degrees)]; }
    double cosDeg(double degrees) const { return cos_[index(degrees)]; }

  private:
    static int index(double degrees);

    static const double sin_[ENTRIES];
    static const double cos_[ENTRIES];
};

} // namespace tundrix
