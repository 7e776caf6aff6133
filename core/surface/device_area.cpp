#include "surface/device_area.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vesk {
namespace {

// Rounding that forgives the last bits of a product such as 11 × 1.5.
int device_floor(qreal v) { return int(std::floor(v + 1e-6)); }
int device_ceil(qreal v) { return int(std::ceil(v - 1e-6)); }

// The pixel whose centre is nearest to `p`, as a double so that distant
// coordinates stay representable, limited to a little beyond the area.
double nearest_pixel(double p, int extent, int margin) {
  return std::clamp(std::floor(p + 0.5), double(-margin), double(extent + margin));
}

}  // namespace

DeviceArea device_area(QPoint area_in_window, QSize area_size, qreal ratio, qreal layout_scale) {
  // Every device pixel the area covers, those it shares with the border too:
  // left to the border, a pixel it half covers shows as a seam beside the plot.
  const int left = device_floor(area_in_window.x() * ratio);
  const int top = device_floor(area_in_window.y() * ratio);
  const int right = device_ceil((area_in_window.x() + area_size.width()) * ratio);
  const int bottom = device_ceil((area_in_window.y() + area_size.height()) * ratio);
  return {PixelSize{right - left, bottom - top},
          QPointF(left / ratio - area_in_window.x(), top / ratio - area_in_window.y()), ratio,
          std::max(1, int(std::lround(ratio * layout_scale)))};
}

QRect line_object_pixels(const LineObject& line, const Mapping& mapping, int line_width) {
  const PixelSize pixels = mapping.pixels();
  const int thickness = line.width * line_width;
  const int margin = thickness + line_width;
  const double ax = nearest_pixel(mapping.to_pixel_x(line.x1), pixels.width, margin);
  const double bx = nearest_pixel(mapping.to_pixel_x(line.x2), pixels.width, margin);
  const double ay = nearest_pixel(mapping.to_pixel_y(line.y1), pixels.height, margin);
  const double by = nearest_pixel(mapping.to_pixel_y(line.y2), pixels.height, margin);
  if (line.width == 0 || !std::isfinite(ax + bx + ay + by)) return {};
  // The line the surface draws at pixel p covers [start, start + line_width);
  // the object adds (thickness − line_width) / 2 on each side of that.
  const int brush_start = -(line_width - 1) / 2;
  const auto span = [&](double a, double b, bool across) {
    const int low = int(std::min(a, b)) + brush_start, high = int(std::max(a, b)) + brush_start + line_width - 1;
    if (!across) return std::pair{low, high};
    const int side = (thickness - line_width) / 2;
    return std::pair{low - side, low - side + thickness - 1};
  };
  const bool horizontal = line.y1 == line.y2;
  const auto [left, right] = span(ax, bx, !horizontal);
  const auto [top, bottom] = span(ay, by, horizontal);
  return QRect(QPoint(left, top), QPoint(right, bottom)) & QRect(0, 0, pixels.width, pixels.height);
}

}  // namespace vesk
