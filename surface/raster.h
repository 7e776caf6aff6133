#pragma once
// Our own rasteriser for the drawing surface. Qt's raster engine is not used for
// the plot: it limits coordinates to about ±32767, rounds fractional points and
// lines differently, and misplaces lines with very distant ends.
//
// The rule, in pixel coordinates (0.0 is the centre of the first pixel):
// - A point lights the pixel whose centre is nearest, if that pixel exists;
//   a coordinate exactly halfway goes to the higher pixel.
// - A line is one pixel wide. It is first clipped, in double precision, to the
//   drawable area [−0.5, width − 0.5] × [−0.5, height − 0.5]; the clipped ends
//   are rounded to the nearest pixel centres (as points are, kept inside the
//   image) and the pixels between are those of the integer (Bresenham) line
//   between them, the same whichever end comes first. A line costs time in
//   proportion to the pixels it lights, however long it is in user units, and
//   no out-of-range double is ever converted to an integer.

#include <QImage>

namespace vesk {

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(PixelPoint, PixelPoint) = default;
};

// Where a pixel coordinate falls along an axis of `extent` pixels: −1 before the
// first pixel, `extent` past the last, else the pixel index. Monotone in `p`.
int pixel_index(double p, int extent);

// Clips the segment (ax, ay) – (bx, by) to [x_min, x_max] × [y_min, y_max] in
// place; false when nothing of it is left (or a coordinate is not finite).
bool clip_segment(double& ax, double& ay, double& bx, double& by,
                  double x_min, double x_max, double y_min, double y_max);

// Draws into `image`, which must be Format_RGB32.
void draw_point(QImage& image, double px, double py, QRgb colour);
void draw_line(QImage& image, double ax, double ay, double bx, double by, QRgb colour);

// One column's run of rows, both ends included, clamped to the image.
void draw_vertical_run(QImage& image, int column, int row_a, int row_b, QRgb colour);
void draw_horizontal_run(QImage& image, int row, int column_a, int column_b, QRgb colour);

}  // namespace vesk
