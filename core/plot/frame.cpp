#include "plot/frame.h"

#include <cmath>
#include <vector>

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

}  // namespace

FrameLines frame_lines(RoundedRange range, PixelSize pixels) {
  QImage none;  // the kinds need only the brush of line width 1
  return kinds(range, mapping_for(range, pixels), Raster(none, 1));
}

void place_frame(Surface& surface, RoundedRange range) {
  const auto [x1r, x2r, y1r, y2r] = range;
  surface.set_mapping(mapping_for(range, surface.mapping().pixels()));
  surface.lin_x = LineObject{double(x1r), 0.0, double(x2r), 0.0, kGreen, kMarkerWidth};
  surface.lin_y = LineObject{0.0, double(y1r), 0.0, double(y2r), kRed, kMarkerWidth};
}

void draw_frame(Surface& surface, RoundedRange range) {
  place_frame(surface, range);

  // Every line of the frame runs from bound to bound, so it lights whole
  // columns or whole rows, and a pixel shows the last line drawn over it: a
  // horizontal grid line, else a vertical one, else the x axis, else the y
  // axis. So there are three kinds of rows, each one pattern, copied.
  QImage& image = surface.pixels();
  const Raster raster(image, surface.line_width());
  const auto [columns, rows] = kinds(range, surface.mapping(), raster);

  std::vector<QRgb> patterns[3];
  for (std::vector<QRgb>& pattern : patterns) pattern.resize(image.width(), kButtonFace);
  for (int x = 0; x < image.width(); ++x) {
    if (columns[x] == Kind::grid) continue;
    patterns[int(Kind::plain)][x] = columns[x] == Kind::axis ? kGreen : kPlotBackground;
    patterns[int(Kind::axis)][x] = kRed;
  }
  for (int y = 0; y < image.height(); ++y)
    std::copy(patterns[int(rows[y])].begin(), patterns[int(rows[y])].end(), reinterpret_cast<QRgb*>(image.scanLine(y)));
}

}  // namespace vesk
