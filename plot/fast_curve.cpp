#include "plot/fast_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plot/curve.h"
#include "surface/raster.h"
#include "surface/surface.h"

namespace vesk {
namespace {

using Index = std::int64_t;

// Samples on each side of the stationary point that are evaluated one by one.
// Rounding can only reverse the order of two samples whose true values differ
// by less than a few units in the last place; past a couple of samples from
// the stationary point the values differ by far more at any clarity, so 64 is
// a wide margin (the identity tests check the result against every sample).
constexpr Index kWindow = 64;

// The toolkit's start-up can leave the processor's upper vector state dirty;
// every SSE-encoded std::pow call then pays a transition penalty (measured ten
// times slower on some machines). Clearing it before a hot loop is the cure.
void clear_upper_vector_state() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper" ::: "memory");
#endif
}

// The real root of f′(x) = 4x³ + 3x² − 4x + 3 (the cubic has one), by Newton's method.
double stationary_point() {
  double x = -1.6;
  for (int i = 0; i < 60; ++i) {
    const double slope = ((4 * x + 3) * x - 4) * x + 3;
    const double curvature = (12 * x + 6) * x - 4;
    x -= slope / curvature;
  }
  return x;
}

// The largest j in [from, to] with pred(j), given pred(from) and pred
// monotone (true up to some index, false after). Galloping, so a short run
// costs a few probes and a long one a logarithm of its length.
template <typename Pred>
Index last_where(Index from, Index to, Pred pred) {
  Index good = from;
  Index step = 1;
  Index bad = to + 1;
  while (good < to) {
    const Index probe = std::min(good + step, to);
    if (!pred(probe)) {
      bad = probe;
      break;
    }
    good = probe;
    step *= 2;
  }
  while (bad - good > 1) {
    const Index middle = good + (bad - good) / 2;
    if (pred(middle)) good = middle;
    else bad = middle;
  }
  return good;
}

// The samples of one plot as pixel coordinates, evaluated on demand.
class Curve {
 public:
  Curve(const Surface& surface, RoundedRange range, int clarity)
      : sampling_(range.x1r, range.x2r, clarity),
        mapping_(surface.mapping()),
        width_(mapping_.pixels().width),
        height_(mapping_.pixels().height),
        count_(sampling_.count()) {
    // Sample indices of the pieces where f is known to be monotone.
    const double centre = std::round((stationary_point() - range.x1r) * clarity);
    const double last = double(count_ - 1);
    window_first_ = Index(std::clamp(centre - kWindow, -1.0, last + 1));
    window_last_ = Index(std::clamp(centre + kWindow, -1.0, last + 1));
  }

  Index count() const { return count_; }
  int height() const { return height_; }
  double px(Index k) const { return mapping_.to_pixel_x(sampling_.x(k)); }
  double py(Index k) const { return mapping_.to_pixel_y(quartic(sampling_.x(k))); }
  int column(Index k) const { return pixel_index(px(k), width_); }
  int row(Index k) const { return pixel_index(py(k), height_); }

  // The samples [first, last] split into a falling piece, the window around
  // the stationary point and a rising piece; each part may be empty.
  struct Parts {
    Index falling_first, falling_last, window_first, window_last, rising_first, rising_last;
  };
  Parts split(Index first, Index last) const {
    return {first,
            std::min(last, window_first_ - 1),
            std::max(first, window_first_),
            std::min(last, window_last_),
            std::max(first, window_last_ + 1),
            last};
  }

 private:
  Sampling sampling_;
  const Mapping& mapping_;
  int width_;
  int height_;
  Index count_;
  Index window_first_;
  Index window_last_;
};

// Calls visit(first, last, column) for each pixel column that holds samples.
template <typename Visit>
void for_each_column(const Curve& curve, Visit visit) {
  for (Index first = 0; first < curve.count();) {
    const int column = curve.column(first);
    const Index last = last_where(first, curve.count() - 1, [&](Index k) { return curve.column(k) == column; });
    visit(first, last, column);
    first = last + 1;
  }
}

}  // namespace

void render_curve_by_line(Surface& surface, RoundedRange range, int clarity) {
  clear_upper_vector_state();
  const Curve curve(surface, range, clarity);
  if (curve.count() < 2) return;
  QImage& image = surface.pixels();
  const QRgb red = to_rgb(kRed);
  const double top_edge = -0.5;
  const double bottom_edge = curve.height() - 0.5;

  Index previous_last = -1;
  for_each_column(curve, [&](Index first, Index last, int column) {
    // The segment that enters this column from the previous one.
    if (previous_last >= 0)
      draw_line(image, curve.px(previous_last), curve.py(previous_last), curve.px(first), curve.py(first), red);
    previous_last = last;

    // The segments within the column light one run between the lowest and the
    // highest sample, as far as it lies in the area.
    double low = std::min(curve.py(first), curve.py(last));
    double high = std::max(curve.py(first), curve.py(last));
    const auto include = [&](Index k) {
      const double p = curve.py(k);
      low = std::min(low, p);
      high = std::max(high, p);
    };
    const Curve::Parts parts = curve.split(first, last);
    if (parts.falling_first <= parts.falling_last) include(parts.falling_last);
    for (Index k = parts.window_first; k <= parts.window_last; ++k) include(k);
    if (parts.rising_first <= parts.rising_last) include(parts.rising_first);
    if (high < top_edge || low > bottom_edge) return;
    const int height = curve.height();
    draw_vertical_run(image, column, std::clamp(pixel_index(std::max(low, top_edge), height), 0, height - 1),
                      std::clamp(pixel_index(std::min(high, bottom_edge), height), 0, height - 1), red);
  });
}

void render_curve_by_point(Surface& surface, RoundedRange range, int clarity) {
  clear_upper_vector_state();
  const Curve curve(surface, range, clarity);
  QImage& image = surface.pixels();
  const QRgb red = to_rgb(kRed);
  const int height = curve.height();

  for_each_column(curve, [&](Index first, Index last, int column) {
    const auto light = [&](int row) {
      if (row >= 0 && row < height) draw_vertical_run(image, column, row, row, red);
    };
    // On a monotone piece the rows are monotone: one search per distinct row.
    const auto monotone_piece = [&](Index from, Index to) {
      for (Index k = from; k <= to;) {
        const int row = curve.row(k);
        light(row);
        k = last_where(k, to, [&](Index j) { return curve.row(j) == row; }) + 1;
      }
    };
    const Curve::Parts parts = curve.split(first, last);
    monotone_piece(parts.falling_first, parts.falling_last);
    for (Index k = parts.window_first; k <= parts.window_last; ++k) light(curve.row(k));
    monotone_piece(parts.rising_first, parts.rising_last);
  });
}

}  // namespace vesk
