#pragma once
// The plot frame: the user scale for the requested rectangle, the two axes, the
// two axis markers and a grid line at every integer.

#include <cstdint>

namespace vesk {

class Surface;

// The rounded bounds of a plot, each a 16-bit signed integer.
struct RoundedRange {
  std::int16_t x1r = 0;
  std::int16_t x2r = 0;
  std::int16_t y1r = 0;
  std::int16_t y2r = 0;
};

// Sets the scale so the surface shows exactly x1r … x2r by y1r … y2r (y upward),
// draws the y axis green and the x axis red at 0 (clipped when 0 lies outside),
// places `lin_x` (green) and `lin_y` (red) along them, then the vertical and the
// horizontal grid lines at every integer but 0 in button face. Draws over what is
// on the surface; callers pass x1r < x2r and y1r < y2r.
void draw_frame(Surface& surface, RoundedRange range);

}  // namespace vesk
