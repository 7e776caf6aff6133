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

double quartic_minimum_x() {
  double x = -1.6;  // Newton's method from nearby converges in a few steps; the rest change nothing
  for (int i = 0; i < 60; ++i) {
    const double slope = ((4 * x + 3) * x - 4) * x + 3;
    const double curvature = (12 * x + 6) * x - 4;
    x -= slope / curvature;
  }
  return x;
}

void clear_upper_vector_state() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace vesk
