#include "plot/curve_columns.h"

#include <cmath>

#include "surface/raster.h"

namespace vesk {
namespace {

// Samples on each side of the stationary point that are evaluated one by one.
// Rounding can only reverse the order of two samples whose true values differ
// by less than a few units in the last place; past a couple of samples from
// the stationary point the values differ by far more at any clarity, so 64 is
// a wide margin (the identity tests check the result against every sample).
constexpr SampleIndex kWindow = 64;

}  // namespace

CurveColumns::CurveColumns(const Mapping& mapping, const Sampling& sampling)
    : sampling_(sampling), mapping_(mapping), count_(sampling_.count()) {
  clear_upper_vector_state();
  // Sample indices of the pieces where f is known to be monotone.
  const double centre = std::round(quartic_minimum_x() * sampling.clarity()) - double(sampling.first_numerator());
  const double last = double(count_ - 1);
  window_first_ = SampleIndex(std::clamp(centre - kWindow, -1.0, last + 1));
  window_last_ = SampleIndex(std::clamp(centre + kWindow, -1.0, last + 1));
}

int CurveColumns::column(SampleIndex k) const { return pixel_index(px(k), mapping_.pixels().width); }
int CurveColumns::row(SampleIndex k) const { return pixel_index(py(k), mapping_.pixels().height); }

CurveColumns::Parts CurveColumns::split(SampleIndex first, SampleIndex last) const {
  return {first,
          std::min(last, window_first_ - 1),
          std::max(first, window_first_),
          std::min(last, window_last_),
          std::max(first, window_last_ + 1),
          last};
}

}  // namespace vesk
