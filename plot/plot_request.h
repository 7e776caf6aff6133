#pragma once
// What one plot shows: the rounded range, the clarity and what to draw in it.

#include <cstdint>

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

// The frame alone (at start-up), or the frame and the curve as segments
// ("plot by line") or as points ("plot by point").
enum class PlotMode { frame_only, line, point };

struct PlotRequest {
  RoundedRange range;
  int clarity = 0;  // samples per unit; 0 or less takes no sample
  PlotMode mode = PlotMode::frame_only;
  friend bool operator==(const PlotRequest&, const PlotRequest&) = default;
};

}  // namespace vesk
