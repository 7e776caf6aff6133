#pragma once
// The drawing surface `pic_plot` draws on, without a window: a retained image of
// the drawable area, a user scale, and two line objects (`lin_x`, `lin_y`) that
// are shown above the image but are not part of it.
//
// The user scale maps the left bound to the centre of the first pixel column and
// the right bound to the centre of the last, the top bound to the centre of the
// first row and the bottom bound to the centre of the last (see mapping.h).
// Lines and points follow the rasteriser's rule (see raster.h).

#include <QImage>

#include "surface/colour.h"
#include "surface/mapping.h"

namespace vesk {

// A straight line owned by the surface, drawn above the image by the widget.
struct LineObject {
  double x1 = 0.0;
  double y1 = 0.0;
  double x2 = 0.0;
  double y2 = 0.0;
  Colour border_colour = kBlack;
  int border_width = 1;  // pixels
};

class Surface {
 public:
  Surface(PixelSize pixels, Colour background);

  // Cls: back to the background colour; the line objects stay.
  void clear();
  // Scale: left edge `left`, top edge `top`, right edge `right`, bottom edge `bottom`.
  void set_scale(double left, double top, double right, double bottom);
  void line(double xa, double ya, double xb, double yb, Colour colour);
  void point(double x, double y, Colour colour);

  const Mapping& mapping() const { return mapping_; }
  // All that was drawn since the last clear, on the background; what a save writes.
  const QImage& image() const { return image_; }
  // For renderers that write pixels themselves, in the same rule as line and point.
  QImage& pixels() { return image_; }

  LineObject& lin_x() { return lin_x_; }
  LineObject& lin_y() { return lin_y_; }
  const LineObject& lin_x() const { return lin_x_; }
  const LineObject& lin_y() const { return lin_y_; }

 private:
  QImage image_;
  Colour background_;
  Mapping mapping_;
  LineObject lin_x_;
  LineObject lin_y_;
};

}  // namespace vesk
