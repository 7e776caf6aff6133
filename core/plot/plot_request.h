#pragma once
// What one plot shows: the rounded range, the clarity and what to draw in it.

#include <cstdint>

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

// The one mapping from a range to a picture of `pixels`: x1r to the centre of
// the first column, x2r to that of the last, y2r to the centre of the first
// row and y1r to that of the last (y grows upward). `inset` moves the bounds
// that many pixels inwards (the vector files' finer cells).
inline Mapping mapping_for(double x1, double x2, double y1, double y2, PixelSize pixels, double inset = 0.0) {
  return Mapping(x1, y2, x2, y1, pixels, inset);
}
inline Mapping mapping_for(RoundedRange r, PixelSize pixels, double inset = 0.0) {
  return mapping_for(r.x1r, r.x2r, r.y1r, r.y2r, pixels, inset);
}

// The frame alone (at start-up), or the frame and the curve as segments
// ("plot by line") or as points ("plot by point").
enum class PlotMode { frame_only, line, point };

struct PlotRequest {
  RoundedRange range;
  int clarity = 0;  // samples per unit; 0 or less takes no sample
  PlotMode mode = PlotMode::frame_only;
  bool marks = false;  // the key points marked (key_points/marks.h), over the plot
  friend bool operator==(const PlotRequest&, const PlotRequest&) = default;
};

}  // namespace vesk
