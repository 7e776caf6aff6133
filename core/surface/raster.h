#pragma once
// Our own rasteriser for the drawing surface. Qt's raster engine is not used for
// the plot: it limits coordinates to about ±32767, rounds fractional points and
// lines differently, and misplaces lines with very distant ends.
//
// The rule, in pixel coordinates (0.0 is the centre of the first pixel):
// - A point lights the pixel whose centre is nearest, if that pixel exists;
//   a coordinate exactly halfway goes to the higher pixel.
// - A line is first clipped, in double precision, to the drawable area
//   [−0.5, width − 0.5] × [−0.5, height − 0.5]; the clipped ends are rounded to
//   the nearest pixel centres (as points are, kept inside the image) and the
//   pixels between are those of the integer (Bresenham) line between them, the
//   same whichever end comes first. A line costs time in proportion to the
//   pixels it lights, however long it is in user units, and no out-of-range
//   double is ever converted to an integer.
// - A brush `width` pixels wide (more than 1 on screens scaled by 1.5 or more) turns every
//   pixel the rule lights into a width × width square starting (width − 1) / 2
//   pixels above and left of it, moved inside the image at its edges. Drawing many primitives and then widening
//   gives the same pixels as widening each, which keeps the fast renderers
//   exact at every width.

#include <QImage>
#include <algorithm>

namespace vesk {

// Where a pixel coordinate falls along an axis of `extent` pixels: −1 before the
// first pixel, `extent` past the last, else the pixel index. Monotone in `p`.
int pixel_index(double p, int extent);

// Clips the segment (ax, ay) – (bx, by) to [x_min, x_max] × [y_min, y_max] in
// place; false when nothing of it is left (or a coordinate is not finite).
bool clip_segment(double& ax, double& ay, double& bx, double& by,
                  double x_min, double x_max, double y_min, double y_max);

// A Format_RGB32 image with a square brush.
class Raster {
 public:
  Raster(QImage& image, int brush_width) : image_(image), brush_(brush_width) {}

  void point(double px, double py, QRgb colour);
  void line(double ax, double ay, double bx, double by, QRgb colour);
  // The pixel rectangle columns [column_a, column_b] × rows [row_a, row_b] (ends
  // in either order) lights, widened by the brush and clipped to the image.
  void block(int column_a, int column_b, int row_a, int row_b, QRgb colour);

  // The first pixel the brush covers around pixel `p` of an axis `extent`
  // pixels long: centred on it, but moved inside at the edges, so a line at the
  // outermost pixel is as wide as any other.
  int brush_start(int p, int extent) const { return std::clamp(p - (brush_ - 1) / 2, 0, std::max(0, extent - brush_)); }
  int brush_width() const { return brush_; }

 private:
  void fill(int left, int right, int top, int bottom, QRgb colour);

  QImage& image_;
  int brush_;
};

}  // namespace vesk
