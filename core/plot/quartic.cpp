#include "plot/quartic.h"

#include <cmath>

namespace vesk {

double quartic(double x) {
  const double a = std::pow(x, 3);
  const double b = 2 * std::pow(x, 2);
  const double c = a - b;
  const double d = c + std::pow(x, 4);
  return d + 3 * x;
}

double quartic_slope(double x) { return ((4 * x + 3) * x - 4) * x + 3; }

double quartic_minimum_x() {
  double x = -1.6;  // Newton's method from nearby converges in a few steps; the rest change nothing
  for (int i = 0; i < 60; ++i) x -= quartic_slope(x) / ((12 * x + 6) * x - 4);
  return x;
}

Sampling Sampling::covering(const Mapping& mapping, int clarity) {
  const double left = -0.5, right = mapping.pixels().width - 0.5;
  if (clarity <= 0 || !(mapping.to_user_x(left) <= mapping.to_user_x(right))) return Sampling(1, 0, clarity, 0);
  const auto at = [&](std::int64_t n) { return mapping.to_pixel_x(double(n) / clarity); };
  // From near guesses, by the samples' own pixel coordinates, which are monotone in n.
  auto first = std::int64_t(std::floor(mapping.to_user_x(left) * clarity)), last = std::int64_t(std::ceil(mapping.to_user_x(right) * clarity));
  while (at(first) >= left) --first;
  while (at(first + 1) < left) ++first;
  while (at(last) <= right) ++last;
  while (at(last - 1) > right) --last;
  return Sampling(first, last, clarity, 0);
}

void clear_upper_vector_state() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace vesk
