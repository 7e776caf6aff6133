#include "plot/frame.h"

#include <climits>

#include "surface/raster.h"
#include "surface/surface.h"

namespace vesk {
namespace {
constexpr int kMarkerWidth = 3;  // pixels
}  // namespace

void draw_frame(Surface& surface, RoundedRange range) {
  const auto [x1r, x2r, y1r, y2r] = range;
  surface.set_scale(x1r, y2r, x2r, y1r);
  surface.line(0, y1r, 0, y2r, kGreen);
  surface.line(x1r, 0, x2r, 0, kRed);
  surface.lin_x() = LineObject{double(x1r), 0.0, double(x2r), 0.0, kGreen, kMarkerWidth};
  surface.lin_y() = LineObject{0.0, double(y1r), 0.0, double(y2r), kRed, kMarkerWidth};

  // A wide range puts many grid lines on one pixel column or row. Lines that
  // round to the same pixels light the same pixels, so each column and row is
  // drawn once; the pixel index is monotone in i, so equal ones are neighbours.
  const Mapping& mapping = surface.mapping();
  const PixelSize pixels = mapping.pixels();
  int last_column = INT_MIN;
  for (int i = x1r; i <= x2r; ++i) {
    if (i == 0) continue;
    const int column = pixel_index(mapping.to_pixel_x(i), pixels.width);
    if (column == last_column) continue;
    last_column = column;
    surface.line(i, y1r, i, y2r, kButtonFace);
  }
  int last_row = INT_MIN;
  for (int j = y1r; j <= y2r; ++j) {
    if (j == 0) continue;
    const int row = pixel_index(mapping.to_pixel_y(j), pixels.height);
    if (row == last_row) continue;
    last_row = row;
    surface.line(x1r, j, x2r, j, kButtonFace);
  }
}

}  // namespace vesk
