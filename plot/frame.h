#pragma once
// The plot frame: the user scale for the requested rectangle, the two axes, the
// two axis markers and a grid line at every integer.

#include "plot/plot_request.h"

namespace vesk {

class Surface;

// Sets the scale so the surface shows exactly x1r … x2r by y1r … y2r (y upward)
// and places `lin_x` (green) and `lin_y` (red) along the axes.
void place_frame(Surface& surface, RoundedRange range);

// Places the frame, and paints the whole area: the background, the y axis
// green and the x axis red at 0 (clipped when 0 lies outside), then the
// vertical and the horizontal grid lines at every integer but 0 in button
// face, each drawn over the ones before.
void draw_frame(Surface& surface, RoundedRange range);

}  // namespace vesk
