#pragma once
// The one function the program plots, f(x) = x³ − 2·x² + x⁴ + 3·x, and the
// positions at which it is sampled.

#include <cstdint>

namespace vesk {

// f in double precision, in this order: x³, minus 2·x², plus x⁴, plus 3·x, with
// std::pow for the powers. Every renderer evaluates f through this function, so
// they agree to the last bit.
double quartic(double x);

// Where f is lowest: the one real root of f′(x) = 4x³ + 3x² − 4x + 3, about
// −1.6395. f falls left of it and rises right of it.
double quartic_minimum_x();

// The toolkit's start-up can leave the processor's upper vector state dirty;
// every SSE-encoded std::pow call then pays a transition penalty (measured ten
// times slower inside the program). Renderers call this before their loops.
void clear_upper_vector_state();

// The sample positions. Sample k lies at (x1r · clarity + k) / clarity, from an
// exact integer numerator, so the first sample is exactly x1r and the last
// exactly x2r, however many there are. A clarity of 0 or less takes no sample.
class Sampling {
 public:
  Sampling(std::int16_t x1r, std::int16_t x2r, int clarity) : x1r_(x1r), x2r_(x2r), clarity_(clarity) {}

  std::int64_t count() const {
    if (clarity_ <= 0 || x2r_ < x1r_) return 0;
    return std::int64_t(x2r_ - x1r_) * clarity_ + 1;
  }
  double x(std::int64_t k) const { return double(std::int64_t(x1r_) * clarity_ + k) / clarity_; }

 private:
  std::int16_t x1r_;
  std::int16_t x2r_;
  int clarity_;
};

}  // namespace vesk
