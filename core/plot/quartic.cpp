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

void clear_upper_vector_state() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace vesk
