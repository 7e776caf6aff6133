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

}  // namespace vesk
