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

// Where the line through (ax, a_other) and (bx, b_other) crosses `edge` along its first coordinate, in long
// double and from the end nearer the edge: from an end 1e18 pixels away (a deep view) the step to the edge would
// cancel against it. Kept between the two ends, so rounding never carries a clipped end past the segment.
double crossing(double ax, double a_other, double bx, double b_other, double edge) {
  using Wide = long double;
  const bool from_a = std::abs(Wide(edge) - ax) <= std::abs(Wide(edge) - bx);
  const Wide near = from_a ? ax : bx, near_other = from_a ? a_other : b_other;
  const Wide far = from_a ? bx : ax, far_other = from_a ? b_other : a_other;
  const Wide other = near_other + (far_other - near_other) * ((Wide(edge) - near) / (far - near));
  return std::clamp(double(other), std::min(a_other, b_other), std::max(a_other, b_other));
}

// Moves the end (px, py) of the segment towards (qx, qy) onto the line x = edge, or y = edge.
void move_end_to_x(double& px, double& py, double qx, double qy, double edge) {
  py = crossing(px, py, qx, qy, edge);
  px = edge;
}

void move_end_to_y(double& px, double& py, double qx, double qy, double edge) {
  px = crossing(py, px, qy, qx, edge);
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

void Raster::fill(int left, int right, int top, int bottom, QRgb colour) {
  left = std::max(left, 0);
  right = std::min(right, image_.width() - 1);
  top = std::max(top, 0);
  bottom = std::min(bottom, image_.height() - 1);
  if (left > right) return;
  for (int y = top; y <= bottom; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(row + left, row + right + 1, colour);
  }
}

void Raster::block(int column_a, int column_b, int row_a, int row_b, QRgb colour) {
  if (column_b < column_a) std::swap(column_a, column_b);
  if (row_b < row_a) std::swap(row_a, row_b);
  const int width = image_.width(), height = image_.height();
  fill(brush_start(column_a, width), brush_start(column_b, width) + brush_ - 1, brush_start(row_a, height),
       brush_start(row_b, height) + brush_ - 1, colour);
}

void Raster::point(double px, double py, QRgb colour) {
  const int x = pixel_index(px, image_.width());
  const int y = pixel_index(py, image_.height());
  if (x >= 0 && x < image_.width() && y >= 0 && y < image_.height()) block(x, x, y, y, colour);
}

void Raster::line(double ax, double ay, double bx, double by, QRgb colour) {
  const int width = image_.width();
  const int height = image_.height();
  Segment s{ax, ay, bx, by};
  if (!clip(s, -0.5, width - 0.5, -0.5, height - 0.5)) return;

  int x0 = std::clamp(pixel_index(s.ax, width), 0, width - 1);
  int y0 = std::clamp(pixel_index(s.ay, height), 0, height - 1);
  int x1 = std::clamp(pixel_index(s.bx, width), 0, width - 1);
  int y1 = std::clamp(pixel_index(s.by, height), 0, height - 1);
  // Always step from the left end, so the pixels do not depend on the order in
  // which the ends were given (a vertical line is one block).
  if (x1 < x0) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  if (x0 == x1 || y0 == y1) return block(x0, x1, y0, y1, colour);

  const int dx = x1 - x0;
  const int dy = std::abs(y1 - y0);
  const int step_y = y0 < y1 ? 1 : -1;
  int error = dx - dy;
  for (int x = x0, y = y0;;) {
    if (brush_ == 1) reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour;
    else block(x, x, y, y, colour);
    if (x == x1 && y == y1) break;
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

}  // namespace vesk
