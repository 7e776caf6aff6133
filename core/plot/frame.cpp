#include "plot/frame.h"

#include <cmath>
#include <vector>

#include "plot/numbers.h"
#include "plot/plot.h"
#include "surface/raster.h"
#include "surface/surface.h"

namespace vesk {
namespace {

constexpr int kMarkerWidth = 3;  // pixels

using Kind = FrameKind;

// The pixel a line across the whole area lights at pixel coordinate `p`, by the
// rasteriser's rule (clipped to the area, then the nearest pixel), or −1.
int lit_pixel(double p, int extent) {
  if (!(p >= -0.5 && p <= extent - 0.5)) return -1;
  return std::min(pixel_index(p, extent), extent - 1);
}

// Marks the pixels the brush covers around `pixel` as `kind`, unless a later kind is there.
void mark(std::vector<Kind>& kinds, const Raster& raster, int pixel, Kind kind) {
  if (pixel < 0) return;
  const int first = raster.brush_start(pixel, int(kinds.size()));
  const int last = std::min(first + raster.brush_width(), int(kinds.size()));
  for (int p = first; p < last; ++p) kinds[p] = std::max(kinds[p], kind);
}

// The kind of every pixel along one axis: the axis at 0, a grid line at every
// other integer from `low` to `high`. Where many integers share a pixel, most
// are passed over: the pixel index is monotone in the integer, so every
// integer between two that land on the same or neighbouring pixels lands there too.
std::vector<Kind> kinds_along(int low, int high, int extent, const Raster& raster, auto to_pixel) {
  std::vector<Kind> kinds(extent, Kind::plain);
  mark(kinds, raster, lit_pixel(to_pixel(0), extent), Kind::axis);
  const int jump = std::max(1, (high - low) / (extent - 1) - 2);  // under a pixel's worth of integers
  for (int i = low; i <= high;) {
    if (i != 0) mark(kinds, raster, lit_pixel(to_pixel(i), extent), Kind::grid);
    int next = i == high ? high + 1 : std::min(i + jump, high);
    if (next == 0) next = i < -1 ? -1 : 1;  // 0 draws no grid line: its neighbours are looked at
    i = next;
  }
  return kinds;
}

FrameLines kinds(RoundedRange range, const Mapping& mapping, const Raster& raster) {
  const PixelSize pixels = mapping.pixels();
  return {kinds_along(range.x1r, range.x2r, pixels.width, raster, [&](int x) { return mapping.to_pixel_x(x); }),
          kinds_along(range.y1r, range.y2r, pixels.height, raster, [&](int y) { return mapping.to_pixel_y(y); })};
}

// An explored view's lines along one axis: the axis at 0, a grid line at each value.
std::vector<Kind> kinds_at(const QList<double>& values, int extent, const Raster& raster, auto to_pixel) {
  std::vector<Kind> kinds(extent, Kind::plain);
  mark(kinds, raster, lit_pixel(to_pixel(0.0), extent), Kind::axis);
  for (const double value : values) mark(kinds, raster, lit_pixel(to_pixel(value), extent), Kind::grid);
  return kinds;
}

FrameLines kinds(Bounds view, const Mapping& mapping, const Raster& raster) {
  const PixelSize pixels = mapping.pixels();
  const QList<double> xs = grid_values(view.x_from, view.x_to, grid_spacing(view.x_to - view.x_from, kPictureSize.width));
  const QList<double> ys = grid_values(view.y_from, view.y_to, grid_spacing(view.y_to - view.y_from, kPictureSize.height));
  return {kinds_at(xs, pixels.width, raster, [&](double x) { return mapping.to_pixel_x(x); }),
          kinds_at(ys, pixels.height, raster, [&](double y) { return mapping.to_pixel_y(y); })};
}

// Every line of the frame runs from bound to bound, so it lights whole
// columns or whole rows, and a pixel shows the last line drawn over it: a
// horizontal grid line, else a vertical one, else the x axis, else the y
// axis. So there are three kinds of rows, each one pattern, copied.
void paint(QImage& image, const FrameLines& lines) {
  std::vector<QRgb> patterns[3];
  for (std::vector<QRgb>& pattern : patterns) pattern.resize(image.width(), kButtonFace);
  for (int x = 0; x < image.width(); ++x) {
    if (lines.columns[x] == Kind::grid) continue;
    patterns[int(Kind::plain)][x] = lines.columns[x] == Kind::axis ? kGreen : kPlotBackground;
    patterns[int(Kind::axis)][x] = kRed;
  }
  for (int y = 0; y < image.height(); ++y) {
    const std::vector<QRgb>& pattern = patterns[int(lines.rows[y])];
    std::copy(pattern.begin(), pattern.end(), reinterpret_cast<QRgb*>(image.scanLine(y)));
  }
}

}  // namespace

FrameLines frame_lines(RoundedRange range, PixelSize pixels) {
  QImage none;  // the kinds need only the brush of line width 1
  return kinds(range, mapping_for(range, pixels), Raster(none, 1));
}

FrameLines frame_lines(Bounds view, PixelSize pixels) {
  QImage none;
  return kinds(view, mapping_for(view, pixels), Raster(none, 1));
}

void place_frame(Surface& surface, Bounds view) {
  surface.set_mapping(mapping_for(view, surface.mapping().pixels()));
  surface.lin_x = LineObject{view.x_from, 0.0, view.x_to, 0.0, kGreen, kMarkerWidth};
  surface.lin_y = LineObject{0.0, view.y_from, 0.0, view.y_to, kRed, kMarkerWidth};
}

void place_frame(Surface& surface, RoundedRange range) { place_frame(surface, bounds_of(range)); }

void draw_frame(Surface& surface, RoundedRange range) {
  place_frame(surface, range);
  paint(surface.pixels(), kinds(range, surface.mapping(), Raster(surface.pixels(), surface.line_width())));
}

void draw_numbered_frame(Surface& surface, Bounds view, bool numbers) {
  place_frame(surface, view);
  QImage& image = surface.pixels();
  paint(image, kinds(view, surface.mapping(), Raster(image, surface.line_width())));
  if (!numbers) return;
  for (const PlacedNumber& number : grid_numbers(view, surface.mapping().pixels(), surface.line_width()))
    for_each_font_pixel(number, [&](int column, int row) {
      for (int y = row; y < row + number.scale; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)) + column, number.scale, kNumberColour);
    });
}

}  // namespace vesk
