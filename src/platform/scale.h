#pragma once
// Screen-resolution scaling: design values are units at 96 pixels per inch.

#include <cmath>

namespace korvane {

struct Scale {
  double x = 1.0;  // horizontal pixels per logical inch / 96
  double y = 1.0;  // vertical pixels per logical inch / 96

  static Scale FromPixelsPerInch(int dpiX, int dpiY) { return {dpiX / 96.0, dpiY / 96.0}; }

  // Rounded to the nearest integer, halves to the even neighbour (the floating-point unit's default
  // rounding): 12.5 gives 12, 13.5 gives 14.
  static int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

  int ScaledX(double units) const { return Round(units * x); }
  int ScaledY(double units) const { return Round(units * y); }
};

}  // namespace korvane
