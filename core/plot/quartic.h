#pragma once
// The one function the program plots, f(x) = x³ − 2·x² + x⁴ + 3·x, and the
// positions at which it is sampled.

#include <cstdint>

#include "surface/mapping.h"

namespace vesk {

// f in double precision, in this order: x³, minus 2·x², plus x⁴, plus 3·x, with
// std::pow for the powers. Every renderer evaluates f through this function, so
// they agree to the last bit.
double quartic(double x);

// f′(x) = 4x³ + 3x² − 4x + 3, the slope, in Horner form.
double quartic_slope(double x);

// Where f is lowest: the one real root of f′, about −1.639187. f falls left of
// it and rises right of it.
double quartic_minimum_x();

// The toolkit's start-up can leave the processor's upper vector state dirty;
// every SSE-encoded std::pow call then pays a transition penalty (measured ten
// times slower inside the program). Renderers call this before their loops.
void clear_upper_vector_state();

// The sample positions: every multiple of 1 / clarity, sample k at
// (first + k) / clarity from an exact integer numerator, so that a sample on a
// whole number lies exactly there and every view of the plot shares one grid.
// A plot command samples x1r … x2r, its first sample exactly x1r and its last
// exactly x2r, however many there are; a view, every sample whose pixel lies
// in the drawable area (half a pixel beyond the bounds) and the one just beyond
// each side (the segments that cross its edges). A clarity of 0 or less takes
// no sample.
class Sampling {
 public:
  Sampling(std::int16_t x1r, std::int16_t x2r, int clarity)
      : Sampling(std::int64_t(x1r) * clarity, std::int64_t(x2r) * clarity, clarity, 0) {}
  // A view's samples on the picture `mapping` makes: from the last whose pixel
  // coordinate lies before the drawable area's left edge (−0.5) to the first past
  // its right edge, found by those coordinates themselves, not a rounded product.
  static Sampling covering(const Mapping& mapping, int clarity);

  std::int64_t count() const {
    if (clarity_ <= 0 || last_ < first_) return 0;
    return last_ - first_ + 1;
  }
  double x(std::int64_t k) const { return double(first_ + k) / clarity_; }
  std::int64_t first_numerator() const { return first_; }
  int clarity() const { return clarity_; }

 private:
  Sampling(std::int64_t first, std::int64_t last, int clarity, int) : first_(first), last_(last), clarity_(clarity) {}

  std::int64_t first_;
  std::int64_t last_;
  int clarity_;
};

}  // namespace vesk
