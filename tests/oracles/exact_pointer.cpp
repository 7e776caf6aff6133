#include "oracles/exact_pointer.h"

#include <gmpxx.h>

#include <cmath>

namespace vesk::test {

double exact_slip(Bounds first, QPointF taken_at, Bounds now, QPointF now_at, PixelSize pixels) {
  using Exact = mpq_class;
  const Exact across = pixels.width - 1, down = pixels.height - 1, px = taken_at.x(), py = taken_at.y();
  const Exact x = Exact(first.x_from) + px / across * (Exact(first.x_to) - Exact(first.x_from));
  const Exact y = Exact(first.y_to) - py / down * (Exact(first.y_to) - Exact(first.y_from));
  const Exact off_x = (x - Exact(now.x_from)) * across / (Exact(now.x_to) - Exact(now.x_from)) - Exact(now_at.x());
  const Exact off_y = (Exact(now.y_to) - y) * down / (Exact(now.y_to) - Exact(now.y_from)) - Exact(now_at.y());
  return std::hypot(off_x.get_d(), off_y.get_d());
}

}  // namespace vesk::test
