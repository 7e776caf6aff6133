#include "surface/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace vesk {
namespace {

struct Segment {
  double ax, ay, bx, by;
};

// Moves the end (px, py) of the segment towards (qx, qy) onto the line
// x = edge. The other coordinate is kept between the two ends, so rounding
// error never carries a clipped end past the segment.
void move_end_to_x(double& px, double& py, double qx, double qy, double edge) {
  const double t = (edge - px) / (qx - px);
  py = std::clamp(py + t * (qy - py), std::min(py, qy), std::max(py, qy));
  px = edge;
}

void move_end_to_y(double& px, double& py, double qx, double qy, double edge) {
  const double t = (edge - py) / (qy - py);
  px = std::clamp(px + t * (qx - px), std::min(px, qx), std::max(px, qx));
  py = edge;
}

bool outside(const Segment& s, double x_min, double x_max, double y_min, double y_max) {
  return std::max(s.ax, s.bx) < x_min || std::min(s.ax, s.bx) > x_max ||
         std::max(s.ay, s.by) < y_min || std::min(s.ay, s.by) > y_max;
}

bool clip(Segment& s, double x_min, double x_max, double y_min, double y_max) {
  if (!std::isfinite(s.ax) || !std::isfinite(s.ay) || !std::isfinite(s.bx) || !std::isfinite(s.by))
    return false;
  if (outside(s, x_min, x_max, y_min, y_max)) return false;

  const Segment original = s;
  if (s.ax < x_min) move_end_to_x(s.ax, s.ay, original.bx, original.by, x_min);
  if (s.ax > x_max) move_end_to_x(s.ax, s.ay, original.bx, original.by, x_max);
  if (s.bx < x_min) move_end_to_x(s.bx, s.by, original.ax, original.ay, x_min);
  if (s.bx > x_max) move_end_to_x(s.bx, s.by, original.ax, original.ay, x_max);
  if (outside(s, x_min, x_max, y_min, y_max)) return false;

  const Segment x_clipped = s;
  if (s.ay < y_min) move_end_to_y(s.ax, s.ay, x_clipped.bx, x_clipped.by, y_min);
  if (s.ay > y_max) move_end_to_y(s.ax, s.ay, x_clipped.bx, x_clipped.by, y_max);
  if (s.by < y_min) move_end_to_y(s.bx, s.by, x_clipped.ax, x_clipped.ay, y_min);
  if (s.by > y_max) move_end_to_y(s.bx, s.by, x_clipped.ax, x_clipped.ay, y_max);
  return std::isfinite(s.ax) && std::isfinite(s.ay) && std::isfinite(s.bx) && std::isfinite(s.by);
}

void set_pixel(QImage& image, int x, int y, QRgb colour) {
  reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
}

}  // namespace

bool clip_segment(double& ax, double& ay, double& bx, double& by,
                  double x_min, double x_max, double y_min, double y_max) {
  Segment s{ax, ay, bx, by};
  if (!clip(s, x_min, x_max, y_min, y_max)) return false;
  ax = s.ax;
  ay = s.ay;
  bx = s.bx;
  by = s.by;
  return true;
}

int pixel_index(double p, int extent) {
  if (!(p >= -0.5)) return -1;  // NaN counts as before the first pixel
  if (p >= extent - 0.5) return extent;
  return static_cast<int>(std::floor(p + 0.5));
}

void draw_point(QImage& image, double px, double py, QRgb colour) {
  const int x = pixel_index(px, image.width());
  const int y = pixel_index(py, image.height());
  if (x >= 0 && x < image.width() && y >= 0 && y < image.height()) set_pixel(image, x, y, colour);
}

void draw_line(QImage& image, double ax, double ay, double bx, double by, QRgb colour) {
  const int width = image.width();
  const int height = image.height();
  Segment s{ax, ay, bx, by};
  if (!clip(s, -0.5, width - 0.5, -0.5, height - 0.5)) return;

  PixelPoint a{std::clamp(pixel_index(s.ax, width), 0, width - 1),
               std::clamp(pixel_index(s.ay, height), 0, height - 1)};
  PixelPoint b{std::clamp(pixel_index(s.bx, width), 0, width - 1),
               std::clamp(pixel_index(s.by, height), 0, height - 1)};
  // Always step from the left (then upper) end, so the pixels do not depend on
  // the order in which the ends were given.
  if (b.x < a.x || (b.x == a.x && b.y < a.y)) std::swap(a, b);

  if (a.x == b.x) return draw_vertical_run(image, a.x, a.y, b.y, colour);
  if (a.y == b.y) return draw_horizontal_run(image, a.y, a.x, b.x, colour);

  const int dx = b.x - a.x;
  const int dy = std::abs(b.y - a.y);
  const int step_y = a.y < b.y ? 1 : -1;
  int error = dx - dy;
  int x = a.x;
  int y = a.y;
  for (;;) {
    set_pixel(image, x, y, colour);
    if (x == b.x && y == b.y) break;
    const int twice = 2 * error;
    if (twice > -dy) {
      error -= dy;
      ++x;
    }
    if (twice < dx) {
      error += dx;
      y += step_y;
    }
  }
}

void draw_vertical_run(QImage& image, int column, int row_a, int row_b, QRgb colour) {
  if (column < 0 || column >= image.width()) return;
  const int first = std::max(std::min(row_a, row_b), 0);
  const int last = std::min(std::max(row_a, row_b), image.height() - 1);
  if (first > last) return;
  const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
  QRgb* pixel = reinterpret_cast<QRgb*>(image.scanLine(first)) + column;
  for (int y = first; y <= last; ++y, pixel += stride) *pixel = colour;
}

void draw_horizontal_run(QImage& image, int row, int column_a, int column_b, QRgb colour) {
  if (row < 0 || row >= image.height()) return;
  const int first = std::max(std::min(column_a, column_b), 0);
  const int last = std::min(std::max(column_a, column_b), image.width() - 1);
  QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
  std::fill(line + first, line + last + 1, colour);
}

}  // namespace vesk
