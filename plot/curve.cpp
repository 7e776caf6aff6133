#include "plot/curve.h"

#include <cmath>

#include "plot/fast_curve.h"
#include "surface/surface.h"

namespace vesk {

double quartic(double x) {
  const double a = std::pow(x, 3);
  const double b = 2 * std::pow(x, 2);
  const double c = a - b;
  const double d = c + std::pow(x, 4);
  return d + 3 * x;
}

void plot_by_line_each_sample(Surface& surface, RoundedRange range, int clarity) {
  const Sampling sampling(range.x1r, range.x2r, clarity);
  const std::int64_t count = sampling.count();
  if (count == 0) return;
  double px = sampling.x(0);
  double py = quartic(px);
  for (std::int64_t k = 1; k < count; ++k) {
    const double x = sampling.x(k);
    const double y = quartic(x);
    surface.line(px, py, x, y, kRed);
    px = x;
    py = y;
  }
}

void plot_by_point_each_sample(Surface& surface, RoundedRange range, int clarity) {
  const Sampling sampling(range.x1r, range.x2r, clarity);
  const std::int64_t count = sampling.count();
  for (std::int64_t k = 0; k < count; ++k) {
    const double x = sampling.x(k);
    surface.point(x, quartic(x), kRed);
  }
}

void plot_by_line(Surface& surface, RoundedRange range, int clarity) {
  render_curve_by_line(surface, range, clarity);
}

void plot_by_point(Surface& surface, RoundedRange range, int clarity) {
  render_curve_by_point(surface, range, clarity);
}

void plot_curve(Surface& surface, RoundedRange range, int clarity, PlotMode mode) {
  if (mode == PlotMode::line) plot_by_line(surface, range, clarity);
  else plot_by_point(surface, range, clarity);
}

}  // namespace vesk
