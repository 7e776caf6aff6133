#pragma once
// The curve drawn the slow, obvious way: every sample in turn, with the
// surface's Line (consecutive samples joined, N samples give N − 1 segments) or
// Point (every sample, the first included). Its time grows with the number of
// samples. The benchmarks time the fast renderer against it.

#include "plot/plot_request.h"

namespace vesk {

class Surface;

// The curve of `request` over what is on the surface; nothing for the frame alone.
void draw_curve_each_sample(Surface& surface, const PlotRequest& request);

}  // namespace vesk
