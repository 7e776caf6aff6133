#include "surface/surface.h"

#include "surface/raster.h"

namespace vesk {

namespace {
// 96 dots per inch, so saved files carry the same resolution on every desktop.
constexpr int kDotsPerMetre = 3780;
}  // namespace

Surface::Surface(PixelSize pixels, int line_width)
    : image_(pixels.width, pixels.height, QImage::Format_RGB32),
      line_width_(line_width),
      mapping_(0.0, 0.0, pixels.width - 1.0, pixels.height - 1.0, pixels) {
  image_.setDotsPerMeterX(kDotsPerMetre);
  image_.setDotsPerMeterY(kDotsPerMetre);
  clear();
}

void Surface::clear() { image_.fill(kPlotBackground); }

void Surface::set_scale(double left, double top, double right, double bottom) {
  set_mapping(Mapping(left, top, right, bottom, mapping_.pixels()));
}

void Surface::line(double xa, double ya, double xb, double yb, QRgb colour) {
  Raster(image_, line_width_)
      .line(mapping_.to_pixel_x(xa), mapping_.to_pixel_y(ya), mapping_.to_pixel_x(xb), mapping_.to_pixel_y(yb), colour);
}

void Surface::point(double x, double y, QRgb colour) {
  Raster(image_, line_width_).point(mapping_.to_pixel_x(x), mapping_.to_pixel_y(y), colour);
}

}  // namespace vesk
