#pragma once
// Window layouts are kept in twips (1/1440 inch), as they were drawn; this is
// the one place that turns them into pixels: 15 twips a pixel at 96 dots per inch.

#include <QRect>

namespace vesk {

inline constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

constexpr int to_pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect to_pixels(TwipsRect r) {
  return QRect(to_pixels(r.left), to_pixels(r.top), to_pixels(r.width), to_pixels(r.height));
}

}  // namespace vesk
