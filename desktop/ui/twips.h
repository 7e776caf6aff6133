#pragma once
// Window layouts are kept in twips (1/1440 inch), as they were drawn; this is
// the one place that turns them into pixels: 15 twips a pixel at 96 dots per
// inch, times the layout's scale where the desktop's text is larger than the
// design's (window_font.h), so that the whole window grows with its text as it
// does on a scaled screen.

#include <QRect>

namespace vesk {

inline constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// As drawn, at the design's text size.
constexpr int to_pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// Set once, before the windows are made: 1, or how much larger the text is.
inline double& layout_scale() {
  static double scale = 1.0;
  return scale;
}
inline int to_scaled_pixels(int twips) { return int(twips * layout_scale() / kTwipsPerPixel + 0.5); }
inline QRect to_pixels(TwipsRect r) {
  return QRect(to_scaled_pixels(r.left), to_scaled_pixels(r.top), to_scaled_pixels(r.width), to_scaled_pixels(r.height));
}

}  // namespace vesk
