#pragma once
// The numbered frame of an explored view: grid lines at a round spacing (1, 2
// or 5 × 10^k units, the least at least kGridPixels apart) and their numbers
// along the axes, or along the edge where an axis is out of view.
//
// The numbers are drawn with a pixel font of our own, 5 × 7 pixels a
// character, each pixel a square of the surface's line width: the same pixels
// in the window, the command line and the vector files, whatever fonts the
// desktop has, and never cut by an edge (a number that would be is left out).

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

#include "plot/plot_request.h"

namespace vesk {

inline constexpr double kGridPixels = 10.0;  // the least distance between grid lines, picture pixels

// The round spacing for a span of `units` over `pixels` pixels (a picture's width or height).
double grid_spacing(double units, int pixels);
// The multiples of `spacing` within [from, to], 0 left out (the axis is there), in order.
QList<double> grid_values(double from, double to, double spacing);
// How a view's grid values along one axis read, never more than kLongestNumber characters a line: fixed-point
// with as many decimals as the spacing needs while that is short enough ("-7.5", "1234.5676"); in powers of ten
// while few digits tell the lines apart ("-4e-17", "1.5e-9"); else each line as its distance from a round value
// near the view, that value shown once ("1.2345679e3", then "+2e-10", "-4e-10").
inline constexpr int kLongestNumber = 10;
struct GridText {
  std::optional<double> base;  // the value the lines are told from, where they are
  int decimals = -1;           // fixed-point with these decimals; −1: in powers of ten
  QString text(double value, double spacing) const;
  QString base_text(double spacing) const;
};
GridText grid_text(double from, double to, double spacing);

// One number in a picture: its text and the rectangle of device pixels its
// glyphs cover (`scale` device pixels a font pixel).
struct PlacedNumber {
  QString text;
  QRect place;
  int scale = 1;
};
// The numbers of the view's grid in a picture of `pixels` device pixels,
// `scale` device pixels a font pixel: along the x axis under it (or above it,
// near the bottom), along the y axis left of it (or right, near the left
// edge); along an edge where the axis is out of view. Where numbers would
// crowd, every second, fifth or tenth line's.
QList<PlacedNumber> grid_numbers(Bounds view, PixelSize pixels, int scale);

// Calls light(column, row) for each font pixel of `number`, in device pixels
// of its rectangle's grid (each is a scale × scale square from there).
template <typename Light>
void for_each_font_pixel(const PlacedNumber& number, Light light);

// The glyph of a character: 7 rows of 5 bits, the highest bit leftmost; all
// zero for a character the font lacks.
const unsigned char* glyph(QChar c);
inline constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kGlyphAdvance = 6;

template <typename Light>
void for_each_font_pixel(const PlacedNumber& number, Light light) {
  for (qsizetype i = 0; i < number.text.size(); ++i) {
    const unsigned char* rows = glyph(number.text[i]);
    for (int y = 0; y < kGlyphHeight; ++y)
      for (int x = 0; x < kGlyphWidth; ++x)
        if (rows[y] & (0x10 >> x))
          light(number.place.left() + int(i * kGlyphAdvance + x) * number.scale, number.place.top() + y * number.scale);
  }
}

}  // namespace vesk
