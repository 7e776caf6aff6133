#include "reference_curve.h"

#include "plot/plot.h"
#include "plot/quartic.h"
#include "surface/surface.h"

namespace vesk {

void draw_curve_each_sample(Surface& surface, const PlotRequest& request) {
  const Sampling sampling = sampling_for(request, surface.mapping());
  clear_upper_vector_state();
  double previous_x = 0.0, previous_y = 0.0;
  for (std::int64_t k = 0; k < sampling.count(); ++k) {
    const double x = sampling.x(k);
    const double y = quartic(x);
    if (request.mode == PlotMode::point) surface.point(x, y, kRed);
    if (request.mode == PlotMode::line && k > 0) surface.line(previous_x, previous_y, x, y, kRed);
    previous_x = x;
    previous_y = y;
  }
}

}  // namespace vesk
