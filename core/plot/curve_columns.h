#pragma once
// The samples of one curve grouped by the pixel column they fall in, found
// without visiting every sample: the widest range at the highest clarity has
// about 2.1 billion samples but the plot only 579 columns. The raster renderer
// and the vector files reduce the samples through this, each on its own grid of
// pixels, and both get exactly what drawing every sample would give there.
//
// How, in short:
// - With the closed-form sample positions a column's first and last sample
//   are found by a galloping search, without visiting the samples between.
// - f is decreasing left of its one stationary point (x ≈ −1.639187, the real
//   root of f′) and increasing right of it, so the lowest and highest sample of
//   a column lie at its ends or at the piece boundaries (the M4 reduction:
//   first, last, lowest and highest sample of each column). Close to the
//   stationary point rounding can make the evaluated f step the wrong way, so
//   a window of samples there is evaluated one by one.
// - On a monotone piece the rows the samples hit are monotone too, so the
//   distinct rows of a column are found by one search each.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "plot/plot_request.h"
#include "plot/quartic.h"
#include "surface/mapping.h"

namespace vesk {

using SampleIndex = std::int64_t;

class CurveColumns {
 public:
  CurveColumns(const Mapping& mapping, const Sampling& sampling);

  SampleIndex count() const { return count_; }
  double px(SampleIndex k) const { return mapping_.to_pixel_x(sampling_.x(k)); }
  double py(SampleIndex k) const { return mapping_.to_pixel_y(quartic(sampling_.x(k))); }
  int column(SampleIndex k) const;
  int row(SampleIndex k) const;

  // One column's samples [first, last], and those of them with the smallest
  // and the largest pixel y (rows grow downwards).
  struct Extremes {
    int column;
    SampleIndex first, last, top, bottom;
  };
  // Calls visit(Extremes) for each column that holds samples, left to right.
  template <typename Visit>
  void for_each_column(Visit visit) const;
  // Calls visit(column, row) once for each pixel of the area some sample falls
  // in, column by column, each column's rows in increasing order (a view's
  // samples beyond its edges fall in none).
  template <typename Visit>
  void for_each_cell(Visit visit) const;

 private:
  // The largest j in [from, to] with pred(j), given pred(from) and pred
  // monotone (true up to some index, false after). Galloping, so a short run
  // costs a few probes and a long one a logarithm of its length.
  template <typename Pred>
  static SampleIndex last_where(SampleIndex from, SampleIndex to, Pred pred);
  // Calls visit(first, last, column) for each column that holds samples.
  template <typename Visit>
  void for_each_run(Visit visit) const;
  // The samples [first, last] split into a falling piece, the window around the
  // stationary point and a rising piece; each part may be empty.
  struct Parts {
    SampleIndex falling_first, falling_last, window_first, window_last, rising_first, rising_last;
  };
  Parts split(SampleIndex first, SampleIndex last) const;

  Sampling sampling_;
  Mapping mapping_;
  SampleIndex count_;
  SampleIndex window_first_;
  SampleIndex window_last_;
};

template <typename Pred>
SampleIndex CurveColumns::last_where(SampleIndex from, SampleIndex to, Pred pred) {
  SampleIndex good = from;
  SampleIndex step = 1;
  SampleIndex bad = to + 1;
  while (good < to) {
    const SampleIndex probe = std::min(good + step, to);
    if (!pred(probe)) {
      bad = probe;
      break;
    }
    good = probe;
    step *= 2;
  }
  while (bad - good > 1) {
    const SampleIndex middle = good + (bad - good) / 2;
    if (pred(middle)) good = middle;
    else bad = middle;
  }
  return good;
}

template <typename Visit>
void CurveColumns::for_each_run(Visit visit) const {
  for (SampleIndex first = 0; first < count_;) {
    const int c = column(first);
    const SampleIndex last = last_where(first, count_ - 1, [&](SampleIndex k) { return column(k) == c; });
    visit(first, last, c);
    first = last + 1;
  }
}

template <typename Visit>
void CurveColumns::for_each_column(Visit visit) const {
  for_each_run([&](SampleIndex first, SampleIndex last, int c) {
    Extremes e{c, first, last, first, first};
    double top = py(first), bottom = top;
    const auto include = [&](SampleIndex k) {
      const double p = py(k);
      if (p < top) top = p, e.top = k;
      if (p > bottom) bottom = p, e.bottom = k;
    };
    include(last);
    const Parts parts = split(first, last);
    if (parts.falling_first <= parts.falling_last) include(parts.falling_last);
    for (SampleIndex k = parts.window_first; k <= parts.window_last; ++k) include(k);
    if (parts.rising_first <= parts.rising_last) include(parts.rising_first);
    visit(e);
  });
}

template <typename Visit>
void CurveColumns::for_each_cell(Visit visit) const {
  const int height = mapping_.pixels().height;
  std::vector<int> rows;
  for_each_run([&](SampleIndex first, SampleIndex last, int c) {
    if (c < 0 || c >= mapping_.pixels().width) return;
    rows.clear();
    const auto light = [&](int r) {
      if (r >= 0 && r < height) rows.push_back(r);
    };
    const auto monotone_piece = [&](SampleIndex from, SampleIndex to) {
      for (SampleIndex k = from; k <= to;) {
        const int r = row(k);
        light(r);
        k = last_where(k, to, [&](SampleIndex j) { return row(j) == r; }) + 1;
      }
    };
    const Parts parts = split(first, last);
    monotone_piece(parts.falling_first, parts.falling_last);
    for (SampleIndex k = parts.window_first; k <= parts.window_last; ++k) light(row(k));
    monotone_piece(parts.rising_first, parts.rising_last);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int r : rows) visit(c, r);
  });
}

}  // namespace vesk
