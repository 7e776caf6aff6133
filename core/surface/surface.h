#pragma once
// The drawing surface the plot is drawn on, without a window: an image of the
// drawable area, a user scale, and two line objects (`lin_x`, `lin_y`) that are
// shown above the image but are not part of it.
//
// The user scale maps the bounds to the centres of the outermost pixels (see
// mapping.h); lines and points follow the rasteriser's rule (see raster.h),
// `line_width` pixels wide: 1 for the saved picture, more on a scaled screen.

#include <QImage>

#include "surface/colours.h"
#include "surface/mapping.h"

namespace vesk {

// A straight line owned by the surface, drawn above the image by the widget,
// `width` pixels wide on a surface of line width 1 and proportionally wider on others.
struct LineObject {
  double x1 = 0.0;
  double y1 = 0.0;
  double x2 = 0.0;
  double y2 = 0.0;
  QRgb colour = 0;
  int width = 0;  // 0: not placed yet
};

class Surface {
 public:
  explicit Surface(PixelSize pixels, int line_width = 1);

  // Back to the background colour; the line objects stay.
  void clear();
  // `left` and `right` at the centres of the first and last columns, `top`
  // and `bottom` at those of the first and last rows (mapping.h).
  void set_scale(double left, double top, double right, double bottom);
  void set_mapping(const Mapping& mapping) { mapping_ = mapping; }
  void line(double xa, double ya, double xb, double yb, QRgb colour);
  void point(double x, double y, QRgb colour);

  const Mapping& mapping() const { return mapping_; }
  int line_width() const { return line_width_; }
  // All that was drawn since the last clear, on the background.
  const QImage& image() const { return image_; }
  // For renderers that write pixels themselves, by the same rule.
  QImage& pixels() { return image_; }

  LineObject lin_x;
  LineObject lin_y;

 private:
  QImage image_;
  int line_width_;
  Mapping mapping_;
};

}  // namespace vesk
