#pragma once
// The plot frame: the user scale for the requested rectangle, the two axes, the
// two axis markers and a grid line at every integer.

#include <vector>

#include "plot/plot_request.h"

namespace vesk {

class Surface;

// What a column (or row) of the frame shows at line width 1. Every frame line
// runs from bound to bound, so a whole column or row is one kind: where two
// cross, the later kind wins (grid over axis over nothing).
enum class FrameKind : unsigned char { plain, axis, grid };
struct FrameLines {
  std::vector<FrameKind> columns;
  std::vector<FrameKind> rows;
};
FrameLines frame_lines(RoundedRange range, PixelSize pixels);
// Those of an explored view's grid (numbers.h).
FrameLines frame_lines(Bounds view, PixelSize pixels);

// Sets the scale so the surface shows exactly x1r … x2r by y1r … y2r (y upward)
// and places `lin_x` (green) and `lin_y` (red) along the axes.
void place_frame(Surface& surface, RoundedRange range);
void place_frame(Surface& surface, Bounds view);

// Places the frame, and paints the whole area: the background, the y axis
// green and the x axis red at 0 (clipped when 0 lies outside), then the
// vertical and the horizontal grid lines at every integer but 0 in button
// face, each drawn over the ones before.
void draw_frame(Surface& surface, RoundedRange range);

// The same for an explored view: grid lines at a round spacing instead of
// every integer, and their numbers unless `numbers` is false (numbers.h).
void draw_numbered_frame(Surface& surface, Bounds view, bool numbers);

}  // namespace vesk
