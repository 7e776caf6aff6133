#pragma once
// What one plot shows: the rounded range or an explored view, the clarity and
// what to draw in it.

#include <cstdint>
#include <optional>

#include "surface/mapping.h"

namespace vesk {

// The bounds of a plot, each rounded to a 16-bit signed integer; x1r < x2r and
// y1r < y2r once checked.
struct RoundedRange {
  std::int16_t x1r = 0;
  std::int16_t x2r = 0;
  std::int16_t y1r = 0;
  std::int16_t y2r = 0;
  friend bool operator==(const RoundedRange&, const RoundedRange&) = default;
};

// A view's bounds in user units, unrounded: x_from < x_to, y_from < y_to.
struct Bounds {
  double x_from = 0.0;
  double x_to = 1.0;
  double y_from = 0.0;
  double y_to = 1.0;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};
inline Bounds bounds_of(RoundedRange r) { return {double(r.x1r), double(r.x2r), double(r.y1r), double(r.y2r)}; }

// The one mapping from bounds to a picture of `pixels`: the left bound to the
// centre of the first column, the right one to that of the last, the top to
// the centre of the first row and the bottom to that of the last (y grows
// upward). `inset` moves the bounds that many pixels inwards (the vector
// files' finer cells).
inline Mapping mapping_for(double x1, double x2, double y1, double y2, PixelSize pixels, double inset = 0.0) {
  return Mapping(x1, y2, x2, y1, pixels, inset);
}
inline Mapping mapping_for(Bounds b, PixelSize pixels, double inset = 0.0) {
  return mapping_for(b.x_from, b.x_to, b.y_from, b.y_to, pixels, inset);
}
inline Mapping mapping_for(RoundedRange r, PixelSize pixels, double inset = 0.0) {
  return mapping_for(bounds_of(r), pixels, inset);
}

// The frame alone (at start-up), or the frame and the curve as segments
// ("plot by line") or as points ("plot by point").
enum class PlotMode { frame_only, line, point };

struct PlotRequest {
  RoundedRange range;
  int clarity = 0;  // samples per unit; 0 or less takes no sample
  PlotMode mode = PlotMode::frame_only;
  bool marks = false;  // the key points marked (key_points/marks.h), over the plot
  // An explored view: the picture shows these bounds, with grid lines at round
  // spacings and their numbers (plot/numbers.h), instead of `range` with a grid
  // line at every integer. The curve's samples stay those of the plot command.
  std::optional<Bounds> view;
  bool numbers = true;  // the numbers of an explored view's grid
  friend bool operator==(const PlotRequest&, const PlotRequest&) = default;

  // What the picture shows.
  Bounds shown() const { return view ? *view : bounds_of(range); }
};

}  // namespace vesk
